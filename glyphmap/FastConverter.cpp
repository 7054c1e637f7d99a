#include "glyphmap/FastConverter.h"

#include <cstring>
#include <map>
#include <stdexcept>
#include <string>

#include "Conversion.hpp"
#include "ConversionChain.hpp"
#include "Converter.hpp"
#include "Dict.hpp"
#include "DictEntry.hpp"
#include "Lexicon.hpp"
#include "MaxMatchSegmentation.hpp"
#include "UTF8Util.hpp"

namespace glyphmap {
namespace {

inline size_t LeadLength(unsigned char c) {
  return c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4
       : (c & 0xFC) == 0xF8 ? 5 : 6;
}

// The character at `p`: its code point (or kNoCodePoint) and its length by
// its lead byte, which may reach beyond the text.
struct Character {
  uint32_t codePoint;
  size_t length;
};

[[gnu::always_inline]] inline Character CharacterAt(const char* p, size_t remaining) {
  const auto* u = reinterpret_cast<const unsigned char*>(p);
  if (u[0] < 0x80) return {u[0], 1};
  size_t n = LeadLength(u[0]);
  return {n <= remaining ? DecodeCharacter(u, n) : kNoCodePoint, n};
}

// How far an unmatched position reaches: a whole ideographic description
// sequence, else one character, never beyond the text. Description
// operators (U+2FF0..U+2FFF) have the lead byte E2; only characters with
// that lead byte go through OpenCC's own parser.
inline size_t UnitLength(const char* p, size_t remaining, const Character& c) {
  size_t n = 0;
  if (static_cast<unsigned char>(p[0]) == 0xE2) {
    n = opencc::UTF8Util::NextIdeographicDescriptionSequenceLength(p, remaining);
  }
  if (n == 0) n = c.length;
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

[[noreturn]] void ThrowInvalidUtf8(size_t at) {
  throw std::runtime_error("文本不是有效的 UTF-8 / Invalid UTF-8 at byte " + std::to_string(at));
}

// Short copies are the rule here (a character, a word); a loop beats a call.
inline char* Emit(char* out, const char* from, size_t n) {
  if (n > 16) {
    std::memcpy(out, from, n);
    return out + n;
  }
  for (size_t i = 0; i < n; ++i) out[i] = from[i];
  return out + n;
}

}  // namespace

std::unique_ptr<FastConverter> FastConverter::TryBuild(const opencc::Converter& converter) {
  auto chain = converter.GetConversionChain();
  if (!chain) return nullptr;
  auto conversions = chain->GetConversions();
  if (conversions.size() != 1 || !conversions.front()) return nullptr;
  std::vector<opencc::DictPtr> leaves;
  if (!CollectShortCircuitLeaves(conversions.front()->GetDict(), leaves)) return nullptr;
  opencc::DictPtr segmentationDict;
  if (auto segmentation = converter.GetSegmentation()) {
    auto* mmseg = dynamic_cast<const opencc::MaxMatchSegmentation*>(segmentation.get());
    if (!mmseg) return nullptr;
    std::vector<opencc::DictPtr> segLeaves;
    if (!CollectShortCircuitLeaves(mmseg->GetDict(), segLeaves) || segLeaves.size() != 1) {
      return nullptr;
    }
    segmentationDict = segLeaves.front();
  }
  return Build(segmentationDict, leaves);
}

std::unique_ptr<FastConverter> FastConverter::Build(const opencc::DictPtr& segmentation,
                                                    const std::vector<opencc::DictPtr>& dicts) {
  if (dicts.empty()) return nullptr;
  // A dictionary used twice (the phrases segment and convert) is compiled once.
  std::map<const opencc::Dict*, std::shared_ptr<const PrefixDict>> compiled;
  auto compile = [&compiled](const opencc::DictPtr& dict) {
    auto& slot = compiled[dict.get()];
    if (!slot) slot = std::make_shared<const PrefixDict>(*dict);
    return slot;
  };
  std::unique_ptr<FastConverter> fast(new FastConverter);
  if (segmentation) fast->segmentation_ = compile(segmentation);
  for (const auto& dict : dicts) {
    fast->group_.push_back(compile(dict));
    fast->groupRaw_.push_back(fast->group_.back().get());
  }
  fast->skipFirstInRuns_ = fast->segmentation_ && !fast->group_.empty() &&
                           fast->segmentation_ == fast->group_.front();
  fast->FindPlainBytes();
  fast->FindInnerCharacters(segmentation, dicts);
  fast->onePass_ = fast->skipFirstInRuns_;
  for (size_t d = 1; d < fast->groupRaw_.size(); ++d) {
    fast->onePass_ = fast->onePass_ && fast->groupRaw_[d]->SingleCharacters();
  }
  return fast;
}

char* FastConverter::ConvertSegment(const char* segment, size_t length, char* out,
                                    bool isRun) const {
  // Segments travel as C strings: one ends at its first NUL.
  if (isRun) {
    if (const void* nul = std::memchr(segment, 0, length)) {
      length = static_cast<size_t>(static_cast<const char*>(nul) - segment);
    }
  }
  // In a run, the segmentation dictionary had no key at any position; where
  // it is also the first dictionary of the conversion, it need not be asked.
  const PrefixDict* const* dicts = groupRaw_.data();
  const PrefixDict* const* const dictsEnd = dicts + groupRaw_.size();
  if (isRun && skipFirstInRuns_) ++dicts;

  size_t pos = 0;
  size_t copyFrom = 0;  // characters without an entry are copied in one go
  const bool* plain = isRun && skipFirstInRuns_ ? plainInRuns_ : plainAnywhere_;
  while (pos < length) {
    if (plain[static_cast<unsigned char>(segment[pos])]) {
      ++pos;
      continue;
    }
    const size_t remaining = length - pos;
    const Character c = CharacterAt(segment + pos, remaining);
    PrefixDict::Match match;
    for (const PrefixDict* const* d = dicts; d != dictsEnd; ++d) {
      match = (*d)->Longest(segment + pos, remaining, c.codePoint, c.length);
      if (match.keyLength) break;
    }
    if (match.keyLength) {
      out = Emit(out, segment + copyFrom, pos - copyFrom);
      out = Emit(out, match.value.data(), match.value.size());
      pos += match.keyLength;
      copyFrom = pos;
    } else {
      pos += UnitLength(segment + pos, remaining, c);
    }
  }
  return Emit(out, segment + copyFrom, pos - copyFrom);
}

size_t FastConverter::ConvertInOnePass(const char* text, size_t length, char* out) const {
  // The two-pass form gathers the characters no key starts at into runs and
  // converts each run afterwards. With single-character dictionaries after
  // the segmentation's, a run converts character by character exactly as
  // its characters do one at a time, so they are converted as they come.
  // What stays of the run is its C-string nature: after a NUL, nothing of
  // the run is passed on until the next key.
  char* const start = out;
  const PrefixDict* const* dicts = groupRaw_.data() + 1;
  const PrefixDict* const* const dictsEnd = groupRaw_.data() + groupRaw_.size();
  size_t pos = 0;
  size_t copyFrom = 0;    // characters copied as they are, in one go
  bool dropping = false;  // a NUL ended the run in hand
  while (pos < length) {
    const unsigned char lead = static_cast<unsigned char>(text[pos]);
    if (plainInRuns_[lead]) {
      ++pos;
      continue;
    }
    // Every character start passes here (keys and description sequences
    // hold whole characters), so this is where a stray byte is found.
    if ((lead >= 0x80 && lead < 0xC0) || lead >= 0xFE) ThrowInvalidUtf8(pos);
    const size_t remaining = length - pos;
    const Character c = CharacterAt(text + pos, remaining);
    PrefixDict::Match match = segmentation_->Longest(text + pos, remaining, c.codePoint, c.length);
    if (match.keyLength) {
      if (!dropping) out = Emit(out, text + copyFrom, pos - copyFrom);
      out = Emit(out, match.value.data(), match.value.size());
      pos += match.keyLength;
      copyFrom = pos;
      dropping = false;
      continue;
    }
    const size_t n = UnitLength(text + pos, remaining, c);
    if (!dropping) {
      const void* nul = std::memchr(text + pos, 0, n);
      if (nul || n != c.length) {
        // A NUL, or a whole description sequence: this unit is a run of
        // its own, up to a NUL in it.
        out = Emit(out, text + copyFrom, pos - copyFrom);
        size_t upTo = nul ? static_cast<size_t>(static_cast<const char*>(nul) - (text + pos)) : n;
        out = ConvertSegment(text + pos, upTo, out, true);
        dropping = nul != nullptr;
        copyFrom = pos + n;
      } else {
        for (const PrefixDict* const* d = dicts; d != dictsEnd; ++d) {
          PrefixDict::Match m = (*d)->Longest(text + pos, remaining, c.codePoint, c.length);
          if (m.keyLength) {
            out = Emit(out, text + copyFrom, pos - copyFrom);
            out = Emit(out, m.value.data(), m.value.size());
            copyFrom = pos + n;
            break;
          }
        }
      }
    }
    pos += n;
    if (dropping) copyFrom = pos;
  }
  if (!dropping) out = Emit(out, text + copyFrom, pos - copyFrom);
  return static_cast<size_t>(out - start);
}

size_t FastConverter::Convert(const char* text, size_t length, char* out) const {
  if (onePass_) return ConvertInOnePass(text, length, out);
  char* const start = out;
  if (!segmentation_) {
    return static_cast<size_t>(ConvertSegment(text, length, out, true) - start);
  }
  size_t pos = 0;
  size_t runStart = 0;  // characters no key starts at, gathered into one segment
  while (pos < length) {
    if (plainInRuns_[static_cast<unsigned char>(text[pos])]) {
      ++pos;
      continue;
    }
    const size_t remaining = length - pos;
    const Character c = CharacterAt(text + pos, remaining);
    PrefixDict::Match match = segmentation_->Longest(text + pos, remaining, c.codePoint, c.length);
    if (match.keyLength) {
      if (pos > runStart) out = ConvertSegment(text + runStart, pos - runStart, out, true);
      if (skipFirstInRuns_) {
        // The conversion's first dictionary is the segmentation's: its
        // longest key within the segment is the segment itself.
        out = Emit(out, match.value.data(), match.value.size());
      } else {
        out = ConvertSegment(text + pos, match.keyLength, out, false);
      }
      pos += match.keyLength;
      runStart = pos;
    } else {
      pos += UnitLength(text + pos, remaining, c);
    }
  }
  if (pos > runStart) out = ConvertSegment(text + runStart, pos - runStart, out, true);
  return static_cast<size_t>(out - start);
}

void FastConverter::FindPlainBytes() {
  // An ASCII byte other than NUL that starts no key of the segmentation
  // (nor, outside runs, of the first conversion dictionary) and no key of
  // the other conversion dictionaries is copied as it is wherever it stands.
  for (uint32_t b = 0; b < 256; ++b) {
    bool plain = b != 0 && b < 0x80 && b != 0xE2;
    for (size_t d = 1; d < groupRaw_.size(); ++d) plain = plain && !groupRaw_[d]->Starts(b);
    bool inRuns = plain && !(segmentation_ && segmentation_->Starts(b));
    if (!skipFirstInRuns_) inRuns = inRuns && !groupRaw_.front()->Starts(b);
    plainInRuns_[b] = inRuns;
    plainAnywhere_[b] = plain && !groupRaw_.front()->Starts(b) &&
                        !(segmentation_ && segmentation_->Starts(b));
  }
}

void FastConverter::FindInnerCharacters(const opencc::DictPtr& segmentation,
                                        const std::vector<opencc::DictPtr>& dicts) {
  innerLimit_ = 0x110000;
  inner_.assign(innerLimit_ / 64, 0);
  auto mark = [this](const opencc::DictPtr& dict) {
    if (!dict) return;
    for (const auto& entry : *dict->GetLexicon()) {
      const std::string key = entry->Key();
      const auto* p = reinterpret_cast<const unsigned char*>(key.data());
      for (size_t i = 0; i < key.size();) {
        const size_t n = LeadLength(p[i]);
        if (i + n >= key.size()) break;  // the last character
        const uint32_t cp = n <= 4 ? DecodeCharacter(p + i, n) : kNoCodePoint;
        if (cp == kNoCodePoint) {
          // A key this walk cannot read: trust no cut at all.
          innerLimit_ = 0;
          return;
        }
        inner_[cp >> 6] |= uint64_t{1} << (cp & 63);
        i += n;
      }
    }
  };
  mark(segmentation);
  for (const auto& dict : dicts) mark(dict);
}

size_t FastConverter::SafeCut(const char* text, size_t length) const {
  // Description sequences hold at most 64 characters (OpenCC's limit).
  constexpr size_t kDescriptionReach = 64;
  const auto* u = reinterpret_cast<const unsigned char*>(text);
  size_t best = 0;
  size_t sinceOperator = kDescriptionReach;
  for (size_t pos = 0; pos < length;) {
    const size_t n = u[pos] < 0x80 ? 1 : LeadLength(u[pos]);
    if (n > length - pos) break;  // cut off by the end: not a whole character
    const uint32_t cp = n <= 4 ? DecodeCharacter(u + pos, n) : kNoCodePoint;
    pos += n;
    if (cp == 0) {
      // The text after a NUL converts on its own (CompiledConversion).
      best = pos;
      sinceOperator = kDescriptionReach;
      continue;
    }
    if (cp == kNoCodePoint) {
      sinceOperator = 0;  // a byte OpenCC rejects or misreads: no cut near it
      continue;
    }
    if (cp >= 0x2FF0 && cp <= 0x2FFF) {
      sinceOperator = 0;
      continue;
    }
    if (sinceOperator < kDescriptionReach) ++sinceOperator;
    if (sinceOperator >= kDescriptionReach && !Inner(cp)) best = pos;
  }
  return best;
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
