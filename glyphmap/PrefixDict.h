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

// One dictionary as a double-array trie over the keys' bytes, with each
// key's first value in one pool. Immutable once built.
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

  // The longest key that is a prefix of the `length` bytes at `text`.
  Match Longest(const char* text, size_t length) const;
  size_t MemoryBytes() const;

 private:
  using Trie = Darts::DoubleArrayImpl<void, void, int, void>;
  std::unique_ptr<Trie> trie_;
  size_t maxKeyLength_ = 0;
  std::string pool_;                    // every value, back to back
  std::vector<uint32_t> valueOffsets_;  // value i is pool_[offsets[i], offsets[i+1])
};

}  // namespace glyphmap
