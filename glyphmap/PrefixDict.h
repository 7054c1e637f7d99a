#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
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

class ImageReader;
class ImageWriter;

// The code point of a well-formed character of `length` bytes (its lead
// byte decides the length), or kNoCodePoint for a malformed or overlong one.
constexpr uint32_t kNoCodePoint = 0xFFFFFFFF;
inline uint32_t DecodeCharacter(const unsigned char* p, size_t length) {
  static constexpr uint32_t kLeadMask[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
  static constexpr uint32_t kMinimum[] = {0, 0, 0x80, 0x800, 0x10000};
  if (length == 0 || length > 4) return kNoCodePoint;
  uint32_t cp = p[0] & kLeadMask[length];
  for (size_t i = 1; i < length; ++i) {
    if ((p[i] & 0xC0) != 0x80) return kNoCodePoint;
    cp = (cp << 6) | (p[i] & 0x3F);
  }
  if (cp < kMinimum[length] || cp > 0x10FFFF) return kNoCodePoint;
  return cp;
}

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
    uint32_t index = 0;  // the value's number: entries are numbered in the order given
  };

  // One key and its value, for lists built outside OpenCC's dictionaries.
  struct Entry {
    std::string key;
    std::string value;
  };

  // Every key with its first value. Where a key occurs twice, the first
  // occurrence wins, as in OpenCC.
  explicit PrefixDict(const opencc::Dict& dict);
  // The union of several dictionaries, one lookup for the longest key of any
  // of them; where they share a key, the first dictionary's value wins (as
  // OpenCC's union groups have it).
  explicit PrefixDict(const std::vector<const opencc::Dict*>& dicts);
  // Entries given directly, valid UTF-8 keys; the first of equal keys wins.
  explicit PrefixDict(const std::vector<Entry>& entries);
  // The entries of `dicts` as the constructor above numbers them: `visit`
  // gets each key with its number (a Match's index).
  static void ForEachKey(const std::vector<const opencc::Dict*>& dicts,
                         const std::function<void(std::string_view key, uint32_t index)>& visit);
  // How many values there are (one past the largest index).
  size_t ValueCount() const { return valueOffsets_.size() - 1; }
  ~PrefixDict();
  PrefixDict(const PrefixDict&) = delete;
  // Its compiled form as bytes, and back (ImageDamaged for bytes that do
  // not hold one).
  void Save(ImageWriter& out) const;
  static std::shared_ptr<const PrefixDict> Load(ImageReader& in);
  PrefixDict& operator=(const PrefixDict&) = delete;

  // The longest key that is a prefix of the `length` bytes at `text`, whose
  // first character is `first` (its code point, from DecodeCharacter) of
  // `firstLength` bytes.
  [[gnu::always_inline]] Match Longest(const char* text, size_t length, uint32_t first,
                                       size_t firstLength) const {
    if (!Starts(first)) return {};
    if (firstLength > length) return {};
    if (singleChars_) return {firstLength, Value(charValue_[first] - 1), charValue_[first] - 1};
    return WalkFrom(text, length, first, firstLength);
  }
  // Whether every key is one character.
  bool SingleCharacters() const { return singleChars_; }
  // Code points at or above this start no key.
  uint32_t StartLimit() const { return startLimit_; }
  // Whether some key starts with this code point.
  bool Starts(uint32_t first) const {
    return first < startLimit_ && (starts_[first >> 6] >> (first & 63) & 1);
  }
  size_t MemoryBytes() const;
  // The largest ratio of a value's bytes to its key's, as a fraction
  // (at least 1/1): no lookup writes more than that many times the bytes it
  // consumes.
  uint64_t ExpansionNumerator() const { return expandNum_; }
  uint64_t ExpansionDenominator() const { return expandDen_; }

 private:
  struct Item {
    std::string_view key;
    uint32_t value;
  };
  PrefixDict() = default;
  void AddValue(std::string_view key, const std::string& value, std::vector<Item>& items);
  void Compile(std::vector<Item>& items);

  using Trie = Darts::DoubleArrayImpl<void, void, int, void>;
  // Longest-prefix walks over the double array's units (darts-clone's own
  // layout, walked inline).
  static size_t Offset(uint32_t unit) { return (unit >> 10) << ((unit & (1U << 9)) >> 6); }
  // The walk with its first character taken from the tables.
  Match WalkFrom(const char* text, size_t length, uint32_t first, size_t firstLength) const {
    Match best;
    if (charValue_[first]) best = {firstLength, Value(charValue_[first] - 1), charValue_[first] - 1};
    if (length > maxKeyLength_) length = maxKeyLength_;
    const uint32_t* units = units_;
    size_t node = firstNode_[first];
    for (size_t i = firstLength; i < length; ++i) {
      const uint32_t byte = static_cast<unsigned char>(text[i]);
      node ^= byte;
      const uint32_t unit = units[node];
      if ((unit & ((1U << 31) | 0xFF)) != byte) break;
      node ^= Offset(unit);
      if ((unit >> 8) & 1) {
        best.keyLength = i + 1;
        best.index = keyValue_[units[node] & ((1U << 31) - 1)];
        best.value = Value(best.index);
      }
    }
    return best;
  }
  std::string_view Value(uint32_t index) const {
    return std::string_view(pool_.data() + valueOffsets_[index],
                            valueOffsets_[index + 1] - valueOffsets_[index]);
  }

  std::unique_ptr<Trie> trie_;        // null when loaded from bytes
  std::vector<uint32_t> loadedUnits_;  // the trie's units then
  const uint32_t* units_ = nullptr;    // the trie's units
  size_t unitCount_ = 0;
  size_t maxKeyLength_ = 0;
  std::string pool_;                    // every value, back to back
  std::vector<uint32_t> valueOffsets_;  // value i is pool_[offsets[i], offsets[i+1])
  std::vector<uint64_t> starts_;        // bit per code point that starts a key
  uint32_t startLimit_ = 0;             // code points at or above start no key
  bool singleChars_ = false;            // every key is one character
  std::vector<uint32_t> charValue_;     // per code point: its value index + 1 when it is a key
  std::vector<uint32_t> firstNode_;     // per starting code point: the trie node after it
  std::vector<uint32_t> keyValue_;      // the trie's key index -> value index
  std::vector<std::string> ownKeys_;    // keys of entries given directly
  uint64_t expandNum_ = 1, expandDen_ = 1;
};

}  // namespace glyphmap
