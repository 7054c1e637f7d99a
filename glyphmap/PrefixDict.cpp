#include "glyphmap/PrefixDict.h"

#include <darts.h>

#include <algorithm>
#include <stdexcept>

#include "Dict.hpp"
#include "DictEntry.hpp"
#include "Lexicon.hpp"
#include "glyphmap/ImageStream.h"

namespace glyphmap {

namespace {

size_t LeadLength(unsigned char c) {
  return c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
}

}  // namespace

void PrefixDict::AddValue(std::string_view key, const std::string& value, std::vector<Item>& items) {
  if (key.empty()) return;
  items.push_back({key, static_cast<uint32_t>(valueOffsets_.size() - 1)});
  pool_ += value;
  valueOffsets_.push_back(static_cast<uint32_t>(pool_.size()));
  maxKeyLength_ = std::max(maxKeyLength_, key.size());
  if (value.size() * expandDen_ > expandNum_ * key.size()) {
    expandNum_ = value.size();
    expandDen_ = key.size();
  }
}

PrefixDict::PrefixDict(const opencc::Dict& dict) : PrefixDict(std::vector<const opencc::Dict*>{&dict}) {}

PrefixDict::PrefixDict(const std::vector<const opencc::Dict*>& dicts)
    : trie_(std::make_unique<Trie>()) {
  std::vector<opencc::LexiconPtr> lexicons;
  size_t total = 0;
  for (const opencc::Dict* dict : dicts) {
    lexicons.push_back(dict->GetLexicon());
    total += lexicons.back()->Length();
  }
  std::vector<Item> items;
  items.reserve(total);
  valueOffsets_.push_back(0);
  for (const auto& lexicon : lexicons) {
    for (const auto& entry : *lexicon) AddValue(entry->KeyView(), entry->GetDefault(), items);
  }
  Compile(items);
}

void PrefixDict::ForEachKey(const std::vector<const opencc::Dict*>& dicts,
                            const std::function<void(std::string_view, uint32_t)>& visit) {
  // AddValue's numbering: every entry with a key, in order.
  uint32_t index = 0;
  for (const opencc::Dict* dict : dicts) {
    const opencc::LexiconPtr lexicon = dict->GetLexicon();
    for (const auto& entry : *lexicon) {
      const std::string_view key = entry->KeyView();
      if (!key.empty()) visit(key, index++);
    }
  }
}

PrefixDict::PrefixDict(const std::vector<Entry>& entries) : trie_(std::make_unique<Trie>()) {
  ownKeys_.reserve(entries.size());
  for (const Entry& e : entries) ownKeys_.push_back(e.key);
  std::vector<Item> items;
  items.reserve(entries.size());
  valueOffsets_.push_back(0);
  for (size_t i = 0; i < entries.size(); ++i) AddValue(ownKeys_[i], entries[i].value, items);
  Compile(items);
}

void PrefixDict::Compile(std::vector<Item>& items) {
  // The trie wants its keys sorted bytewise and unique; the first of equal
  // keys is the one a character walk would have kept.
  auto byKey = [](const Item& a, const Item& b) { return a.key < b.key; };
  if (!std::is_sorted(items.begin(), items.end(), byKey)) {
    std::stable_sort(items.begin(), items.end(), byKey);
  }
  items.erase(std::unique(items.begin(), items.end(),
                          [](const Item& a, const Item& b) { return a.key == b.key; }),
              items.end());

  // Which characters start a key, and whether every key is one character.
  singleChars_ = true;
  std::vector<std::pair<uint32_t, uint32_t>> firsts;  // code point, value
  for (const Item& item : items) {
    const auto* p = reinterpret_cast<const unsigned char*>(item.key.data());
    size_t n = LeadLength(p[0]);
    uint32_t cp = n && n <= item.key.size() ? DecodeCharacter(p, n) : kNoCodePoint;
    if (cp == kNoCodePoint) {
      throw std::runtime_error("词典的词条不是有效的 UTF-8 / A dictionary key is not valid UTF-8");
    }
    firsts.emplace_back(cp, item.value);
    if (n != item.key.size()) singleChars_ = false;
  }
  for (const auto& [cp, value] : firsts) startLimit_ = std::max(startLimit_, cp + 1);
  starts_.assign((startLimit_ + 63) / 64, 0);
  for (const auto& [cp, value] : firsts) starts_[cp >> 6] |= uint64_t{1} << (cp & 63);
  charValue_.assign(startLimit_, 0);
  for (size_t i = 0; i < items.size(); ++i) {
    const auto* p = reinterpret_cast<const unsigned char*>(items[i].key.data());
    if (LeadLength(p[0]) == items[i].key.size()) charValue_[firsts[i].first] = items[i].value + 1;
  }

  if (singleChars_) return;
  // Built without values (no minimising pass, much quicker): the trie then
  // answers with the key's index in sorted order, which keyValue_ maps.
  std::vector<const char*> keys;
  std::vector<size_t> lengths;
  for (const Item& item : items) {
    keys.push_back(item.key.data());
    lengths.push_back(item.key.size());
    keyValue_.push_back(item.value);
  }
  if (trie_->build(keys.size(), keys.data(), lengths.data(), nullptr) != 0) {
    throw std::runtime_error("词典无法编译 / Cannot compile a dictionary");
  }
  units_ = static_cast<const uint32_t*>(trie_->array());
  unitCount_ = trie_->size();
  // Where the walk stands after each starting character, so that lookups
  // begin there.
  firstNode_.assign(startLimit_, 0);
  for (size_t i = 0; i < items.size(); ++i) {
    const uint32_t cp = firsts[i].first;
    size_t node = Offset(units_[0]);
    const size_t n = LeadLength(static_cast<unsigned char>(items[i].key[0]));
    for (size_t b = 0; b < n; ++b) {
      node ^= static_cast<unsigned char>(items[i].key[b]);
      node ^= Offset(units_[node]);
    }
    firstNode_[cp] = static_cast<uint32_t>(node);
  }
}

PrefixDict::~PrefixDict() = default;

void PrefixDict::Save(ImageWriter& out) const {
  out.PutArray(units_, unitCount_);
  out.PutSize(maxKeyLength_);
  out.PutString(pool_);
  out.PutVector(valueOffsets_);
  out.PutSparse(starts_);
  out.Put(startLimit_);
  out.Put<uint8_t>(singleChars_);
  out.PutSparse(charValue_);
  out.PutSparse(firstNode_);
  out.PutVector(keyValue_);
  out.Put(expandNum_);
  out.Put(expandDen_);
}

std::shared_ptr<const PrefixDict> PrefixDict::Load(ImageReader& in) {
  std::shared_ptr<PrefixDict> dict(new PrefixDict);
  PrefixDict& d = *dict;
  d.loadedUnits_ = in.GetVector<uint32_t>();
  d.units_ = d.loadedUnits_.data();
  d.unitCount_ = d.loadedUnits_.size();
  d.maxKeyLength_ = in.GetSize();
  d.pool_ = in.GetString();
  d.valueOffsets_ = in.GetVector<uint32_t>();
  d.starts_ = in.GetSparse<uint64_t>();
  d.startLimit_ = in.Get<uint32_t>();
  d.singleChars_ = in.GetBool();
  d.charValue_ = in.GetSparse<uint32_t>();
  d.firstNode_ = in.GetSparse<uint32_t>();
  d.keyValue_ = in.GetVector<uint32_t>();
  d.expandNum_ = in.Get<uint64_t>();
  d.expandDen_ = in.Get<uint64_t>();
  // What the lookups index stays within what is there.
  const auto& offsets = d.valueOffsets_;
  ImageCheck(!offsets.empty() && offsets.front() == 0 && offsets.back() == d.pool_.size() &&
             std::is_sorted(offsets.begin(), offsets.end()));
  ImageCheck(d.startLimit_ <= 0x110000 && d.starts_.size() == (d.startLimit_ + 63) / 64 &&
             d.charValue_.size() == d.startLimit_);
  ImageCheck(d.expandNum_ > 0 && d.expandDen_ > 0);
  const size_t values = d.ValueCount();
  for (uint32_t v : d.charValue_) ImageCheck(v <= values);
  if (!d.singleChars_) {
    ImageCheck(d.unitCount_ > 0 && d.firstNode_.size() == d.startLimit_);
    for (uint32_t node : d.firstNode_) ImageCheck(node < d.unitCount_);
    for (uint32_t v : d.keyValue_) ImageCheck(v < values);
  }
  return dict;
}

size_t PrefixDict::MemoryBytes() const {
  return unitCount_ * sizeof(uint32_t) + keyValue_.capacity() * sizeof(uint32_t) +
         firstNode_.capacity() * sizeof(uint32_t) + pool_.capacity() + valueOffsets_.capacity() * sizeof(uint32_t) +
         starts_.capacity() * sizeof(uint64_t) + charValue_.capacity() * sizeof(uint32_t);
}

}  // namespace glyphmap
