#include "glyphmap/FastConverter.h"

#include <cstring>
#include <map>

#include "Conversion.hpp"
#include "ConversionChain.hpp"
#include "Converter.hpp"
#include "Dict.hpp"
#include "MaxMatchSegmentation.hpp"
#include "UTF8Util.hpp"

namespace glyphmap {
namespace {

// How far an unmatched position reaches: a whole ideographic description
// sequence, else one character, never beyond the text. Description
// operators are U+2FF0..U+2FFF (E2 BF B0..BF); only those need OpenCC's
// parser.
inline size_t UnitLength(const char* p, size_t remaining) {
  const auto* u = reinterpret_cast<const unsigned char*>(p);
  size_t n = 0;
  if (u[0] == 0xE2 && remaining >= 3 && u[1] == 0xBF && u[2] >= 0xB0) {
    n = opencc::UTF8Util::NextIdeographicDescriptionSequenceLength(p, remaining);
  }
  if (n == 0) {
    unsigned char c = u[0];
    n = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4
      : (c & 0xFC) == 0xF8 ? 5 : 6;
  }
  return n < remaining ? n : remaining;
}

// The leaf dictionaries of a conversion's dictionary when they are looked
// up one after the other; false for shapes we leave to OpenCC.
bool CollectShortCircuitLeaves(const opencc::DictPtr& dict, std::vector<opencc::DictPtr>& out) {
  const auto* items = dict->GetDictGroupItems();
  if (items == nullptr) {
    out.push_back(dict);
    return true;
  }
  // A group of one is looked through, whatever its policy.
  if (items->size() == 1) return CollectShortCircuitLeaves(items->front(), out);
  if (dict->GetMatchPolicy() != opencc::DictGroupMatchPolicy::ShortCircuit) return false;
  for (const auto& item : *items) {
    if (item->GetDictGroupItems() != nullptr) return false;
    out.push_back(item);
  }
  return true;
}

}  // namespace

std::unique_ptr<FastConverter> FastConverter::TryBuild(const opencc::Converter& converter) {
  auto chain = converter.GetConversionChain();
  if (!chain) return nullptr;
  auto conversions = chain->GetConversions();
  if (conversions.size() != 1 || !conversions.front()) return nullptr;
  std::vector<opencc::DictPtr> leaves;
  if (!CollectShortCircuitLeaves(conversions.front()->GetDict(), leaves)) return nullptr;

  // A dictionary used twice (the phrases segment and convert) is compiled once.
  std::map<const opencc::Dict*, std::shared_ptr<const PrefixDict>> compiled;
  auto compile = [&compiled](const opencc::DictPtr& dict) {
    auto& slot = compiled[dict.get()];
    if (!slot) slot = std::make_shared<const PrefixDict>(*dict);
    return slot;
  };
  std::unique_ptr<FastConverter> fast(new FastConverter);
  if (auto segmentation = converter.GetSegmentation()) {
    auto* mmseg = dynamic_cast<const opencc::MaxMatchSegmentation*>(segmentation.get());
    if (!mmseg) return nullptr;
    std::vector<opencc::DictPtr> segLeaves;
    if (!CollectShortCircuitLeaves(mmseg->GetDict(), segLeaves) || segLeaves.size() != 1) {
      return nullptr;
    }
    fast->segmentation_ = compile(segLeaves.front());
  }
  for (const auto& leaf : leaves) fast->group_.push_back(compile(leaf));
  return fast;
}

char* FastConverter::ConvertSegment(const char* segment, size_t length, char* out) const {
  // Segments travel as C strings: one ends at its first NUL.
  if (const void* nul = std::memchr(segment, 0, length)) {
    length = static_cast<size_t>(static_cast<const char*>(nul) - segment);
  }
  size_t pos = 0;
  while (pos < length) {
    const size_t remaining = length - pos;
    PrefixDict::Match match;
    for (const auto& dict : group_) {
      match = dict->Longest(segment + pos, remaining);
      if (match.keyLength) break;
    }
    if (match.keyLength) {
      std::memcpy(out, match.value.data(), match.value.size());
      out += match.value.size();
      pos += match.keyLength;
    } else {
      size_t n = UnitLength(segment + pos, remaining);
      std::memcpy(out, segment + pos, n);
      out += n;
      pos += n;
    }
  }
  return out;
}

size_t FastConverter::Convert(const char* text, size_t length, char* out) const {
  char* const start = out;
  if (!segmentation_) return static_cast<size_t>(ConvertSegment(text, length, out) - start);

  size_t pos = 0;
  size_t runStart = 0;  // characters no key starts at, gathered into one segment
  while (pos < length) {
    PrefixDict::Match match = segmentation_->Longest(text + pos, length - pos);
    if (match.keyLength) {
      if (pos > runStart) out = ConvertSegment(text + runStart, pos - runStart, out);
      out = ConvertSegment(text + pos, match.keyLength, out);
      pos += match.keyLength;
      runStart = pos;
    } else {
      pos += UnitLength(text + pos, length - pos);
    }
  }
  if (pos > runStart) out = ConvertSegment(text + runStart, pos - runStart, out);
  return static_cast<size_t>(out - start);
}

size_t FastConverter::MemoryBytes() const {
  std::map<const PrefixDict*, size_t> counted;
  if (segmentation_) counted[segmentation_.get()] = segmentation_->MemoryBytes();
  for (const auto& dict : group_) counted[dict.get()] = dict->MemoryBytes();
  size_t total = 0;
  for (const auto& [dict, bytes] : counted) total += bytes;
  return total;
}

}  // namespace glyphmap
