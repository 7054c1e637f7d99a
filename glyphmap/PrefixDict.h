#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace opencc {
class Dict;
}
namespace Darts {
template <typename, typename, typename, typename>
class DoubleArrayImpl;
}

namespace glyphmap {

// The code point of a well-formed character of `length` bytes (its lead
// byte decides the length), or kNoCodePoint for a malformed or overlong one.
constexpr uint32_t kNoCodePoint = 0xFFFFFFFF;
uint32_t DecodeCharacter(const unsigned char* p, size_t length);

// One dictionary, compiled for fast longest-prefix lookups: a double-array
// trie over the keys' bytes, each key's first value in one pool, a bitmap
// of the code points that start a key, and for a dictionary of single
// characters a table from code point to value. Immutable once built.
//
// Longest-prefix search over bytes gives the same answer as OpenCC's
// character-by-character walk: keys are valid UTF-8, so a key that matches
// the text byte for byte also matches it character for character.
class PrefixDict {
 public:
  struct Match {
    size_t keyLength = 0;  // 0: no key is a prefix
    std::string_view value;
  };

  // Every key with its first value. Where a key occurs twice, the first
  // occurrence wins, as in OpenCC.
  explicit PrefixDict(const opencc::Dict& dict);
  ~PrefixDict();
  PrefixDict(const PrefixDict&) = delete;
  PrefixDict& operator=(const PrefixDict&) = delete;

  // The longest key that is a prefix of the `length` bytes at `text`, whose
  // first character is `first` (its code point, from DecodeCharacter) of
  // `firstLength` bytes.
  Match Longest(const char* text, size_t length, uint32_t first, size_t firstLength) const {
    if (first >= startLimit_ || !(starts_[first >> 6] >> (first & 63) & 1)) return {};
    if (singleChars_) {
      if (firstLength > length) return {};
      uint32_t v = charValue_[first];
      return {firstLength, Value(v - 1)};
    }
    return Walk(text, length);
  }
  size_t MemoryBytes() const;

 private:
  using Trie = Darts::DoubleArrayImpl<void, void, int, void>;
  Match Walk(const char* text, size_t length) const;
  std::string_view Value(uint32_t index) const {
    return std::string_view(pool_.data() + valueOffsets_[index],
                            valueOffsets_[index + 1] - valueOffsets_[index]);
  }

  std::unique_ptr<Trie> trie_;
  size_t maxKeyLength_ = 0;
  std::string pool_;                    // every value, back to back
  std::vector<uint32_t> valueOffsets_;  // value i is pool_[offsets[i], offsets[i+1])
  std::vector<uint64_t> starts_;        // bit per code point that starts a key
  uint32_t startLimit_ = 0;             // code points at or above start no key
  bool singleChars_ = false;            // every key is one character
  std::vector<uint32_t> charValue_;     // single characters: value index + 1
};

}  // namespace glyphmap
