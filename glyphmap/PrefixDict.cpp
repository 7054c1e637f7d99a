#include "glyphmap/PrefixDict.h"

#include <darts.h>

#include <algorithm>
#include <stdexcept>

#include "Dict.hpp"
#include "DictEntry.hpp"
#include "Lexicon.hpp"

namespace glyphmap {

PrefixDict::PrefixDict(const opencc::Dict& dict) : trie_(std::make_unique<Trie>()) {
  struct Item {
    std::string_view key;
    uint32_t value;
  };
  opencc::LexiconPtr lexicon = dict.GetLexicon();
  std::vector<Item> items;
  items.reserve(lexicon->Length());
  valueOffsets_.push_back(0);
  for (const auto& entry : *lexicon) {
    std::string_view key = entry->KeyView();
    if (key.empty()) continue;
    std::string value = entry->GetDefault();
    items.push_back({key, static_cast<uint32_t>(valueOffsets_.size() - 1)});
    pool_ += value;
    valueOffsets_.push_back(static_cast<uint32_t>(pool_.size()));
    maxKeyLength_ = std::max(maxKeyLength_, key.size());
  }
  // The trie wants its keys sorted bytewise and unique; the first of equal
  // keys is the one a character walk would have kept.
  std::stable_sort(items.begin(), items.end(), [](const Item& a, const Item& b) {
    return a.key < b.key;
  });
  items.erase(std::unique(items.begin(), items.end(),
                          [](const Item& a, const Item& b) { return a.key == b.key; }),
              items.end());
  std::vector<const char*> keys;
  std::vector<size_t> lengths;
  std::vector<int> values;
  for (const Item& item : items) {
    keys.push_back(item.key.data());
    lengths.push_back(item.key.size());
    values.push_back(static_cast<int>(item.value));
  }
  if (trie_->build(keys.size(), keys.data(), lengths.data(), values.data()) != 0) {
    throw std::runtime_error("词典无法编译 / Cannot compile a dictionary");
  }
}

PrefixDict::~PrefixDict() = default;

PrefixDict::Match PrefixDict::Longest(const char* text, size_t length) const {
  Match best;
  if (length > maxKeyLength_) length = maxKeyLength_;
  size_t node = 0;
  for (size_t i = 0; i < length;) {
    size_t keyPos = i;
    int result = trie_->traverse(text, node, keyPos, i + 1);
    if (result == -2) break;
    ++i;
    if (result >= 0) {
      best.keyLength = i;
      uint32_t begin = valueOffsets_[static_cast<size_t>(result)];
      uint32_t end = valueOffsets_[static_cast<size_t>(result) + 1];
      best.value = std::string_view(pool_.data() + begin, end - begin);
    }
  }
  return best;
}

size_t PrefixDict::MemoryBytes() const {
  return trie_->total_size() + pool_.capacity() + valueOffsets_.capacity() * sizeof(uint32_t);
}

}  // namespace glyphmap
