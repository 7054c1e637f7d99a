#include "glyphmap/FastConverter.h"

#include <algorithm>
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
#include "glyphmap/CharacterWalk.h"
#include "glyphmap/FastSegments.h"
#include "glyphmap/ImageStream.h"
#include "glyphmap/Utf8Scan.h"

namespace glyphmap {
namespace {

// The dictionaries of a union group, however nested; false when a
// short-circuit group is among them.
bool CollectUnion(const opencc::DictPtr& dict, std::vector<opencc::DictPtr>& out) {
  const auto* items = dict->GetDictGroupItems();
  if (items == nullptr) {
    out.push_back(dict);
    return true;
  }
  if (items->size() != 1 && dict->GetMatchPolicy() != opencc::DictGroupMatchPolicy::Union) {
    return false;
  }
  for (const auto& item : *items) {
    if (!CollectUnion(item, out)) return false;
  }
  return true;
}

// A conversion's dictionary as lookup units tried one after the other: a
// short-circuit group is the sequence of its items (nested ones flatten, as
// the first that matches decides either way), a union group of dictionaries
// is one unit, a group of one is looked through whatever its policy. False
// for shapes we leave to OpenCC.
bool CollectUnits(const opencc::DictPtr& dict, std::vector<std::vector<opencc::DictPtr>>& out) {
  const auto* items = dict->GetDictGroupItems();
  if (items == nullptr) {
    out.push_back({dict});
    return true;
  }
  if (items->size() == 1) return CollectUnits(items->front(), out);
  if (dict->GetMatchPolicy() == opencc::DictGroupMatchPolicy::Union) {
    std::vector<opencc::DictPtr> unit;
    if (!CollectUnion(dict, unit)) return false;
    out.push_back(std::move(unit));
    return true;
  }
  if (dict->GetMatchPolicy() != opencc::DictGroupMatchPolicy::ShortCircuit) return false;
  for (const auto& item : *items) {
    if (!CollectUnits(item, out)) return false;
  }
  return true;
}

bool CollectChain(const opencc::Converter& converter,
                  std::vector<std::vector<std::vector<opencc::DictPtr>>>& steps) {
  auto chain = converter.GetConversionChain();
  if (!chain) return false;
  for (const auto& conversion : chain->GetConversions()) {
    if (!conversion) return false;
    steps.emplace_back();
    if (!CollectUnits(conversion->GetDict(), steps.back())) return false;
  }
  return !steps.empty();
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

std::unique_ptr<FastConverter> FastConverter::TryBuild(const opencc::Converter& converter,
                                                       const opencc::Converter* normalizer) {
  std::vector<std::vector<Unit>> chain, normalization;
  if (!CollectChain(converter, chain)) return nullptr;
  if (normalizer) {
    if (normalizer->GetSegmentation() || !CollectChain(*normalizer, normalization)) return nullptr;
  }
  Unit segmentation;
  if (auto seg = converter.GetSegmentation()) {
    auto* mmseg = dynamic_cast<const opencc::MaxMatchSegmentation*>(seg.get());
    if (!mmseg) return nullptr;
    std::vector<Unit> units;
    if (!CollectUnits(mmseg->GetDict(), units) || units.size() != 1) return nullptr;
    segmentation = std::move(units.front());
  }
  return BuildSteps(segmentation.empty() ? nullptr : &segmentation, chain, normalization);
}

std::unique_ptr<FastConverter> FastConverter::Build(const opencc::DictPtr& segmentation,
                                                    const std::vector<opencc::DictPtr>& dicts) {
  if (dicts.empty()) return nullptr;
  std::vector<std::vector<Unit>> chain(1);
  for (const auto& dict : dicts) chain.front().push_back({dict});
  Unit seg;
  if (segmentation) seg.push_back(segmentation);
  return BuildSteps(segmentation ? &seg : nullptr, chain, {});
}

std::unique_ptr<FastConverter> FastConverter::BuildSteps(
    const Unit* segmentation, const std::vector<std::vector<Unit>>& chain,
    const std::vector<std::vector<Unit>>& normalization) {
  if (chain.empty() || chain.front().empty()) return nullptr;
  // A unit met twice (the phrases segment and convert) is compiled once.
  std::map<std::vector<const opencc::Dict*>, std::shared_ptr<const PrefixDict>> compiled;
  std::unique_ptr<FastConverter> fast(new FastConverter);
  auto compile = [&](const Unit& unit) {
    std::vector<const opencc::Dict*> key;
    for (const auto& dict : unit) key.push_back(dict.get());
    auto& slot = compiled[key];
    if (!slot) {
      slot = std::make_shared<const PrefixDict>(key);
      fast->owned_.push_back(slot);
    }
    return slot;
  };
  auto makeStep = [&](const std::vector<Unit>& units) {
    Step step;
    for (const Unit& unit : units) step.dicts.push_back(compile(unit).get());
    FillStep(step);
    return step;
  };
  if (segmentation) fast->segmentation_ = compile(*segmentation);
  for (const Unit& unit : chain.front()) {
    fast->group_.push_back(compile(unit));
    fast->groupRaw_.push_back(fast->group_.back().get());
  }
  for (size_t i = 1; i < chain.size(); ++i) {
    if (chain[i].empty()) return nullptr;
    fast->laterSteps_.push_back(makeStep(chain[i]));
  }
  for (const auto& units : normalization) {
    if (units.empty()) return nullptr;
    fast->normalization_.push_back(makeStep(units));
    for (const PrefixDict* dict : fast->normalization_.back().dicts) {
      fast->normalizationStarts_.push_back(dict);
    }
  }
  for (Step& step : fast->laterSteps_) {
    step.firstIsSegmentation = fast->segmentation_ && step.dicts.front() == fast->segmentation_.get();
  }
  fast->skipFirstInRuns_ = fast->segmentation_ && !fast->group_.empty() &&
                           fast->segmentation_ == fast->group_.front();
  fast->FindPlainBytes();
  fast->FindInnerCharacters(segmentation, chain, normalization);
  fast->placeTable_ = std::make_unique<const PlaceTable>(segmentation, chain);
  fast->onePass_ = fast->skipFirstInRuns_ && fast->laterSteps_.empty();
  for (size_t d = 1; d < fast->groupRaw_.size(); ++d) {
    fast->onePass_ = fast->onePass_ && fast->groupRaw_[d]->SingleCharacters();
  }
  // The bound on the output: each step writes at most its largest
  // expansion times what it reads.
  Step first;
  first.dicts = fast->groupRaw_;
  FillStep(first);
  fast->firstNum_ = first.num;
  fast->firstDen_ = first.den;
  uint64_t num = first.num, den = first.den;
  for (const auto* steps : {&fast->laterSteps_, &fast->normalization_}) {
    for (const Step& step : *steps) {
      num *= step.num;
      den *= step.den;
    }
  }
  if (num > (uint64_t{1} << 31) || den > (uint64_t{1} << 31)) return nullptr;
  fast->ratioNum_ = num;
  fast->ratioDen_ = den;
  for (const PrefixDict* dict : fast->normalizationStarts_) {
    char bytes[4];
    for (uint32_t cp = 0; cp < dict->StartLimit(); ++cp) {
      if (dict->Starts(cp) && EncodeCharacter(cp, bytes) > 0) {
        fast->normalizationLead_[static_cast<unsigned char>(bytes[0])] = true;
      }
    }
  }
  for (uint32_t b = 256; b-- > 0;) {
    if (fast->normalizationLead_[b]) fast->normalizationLeast_ = static_cast<unsigned char>(b);
  }
  if (segmentation && !fast->onePass_ && !(fast->laterSteps_.empty() && fast->skipFirstInRuns_)) {
    fast->ConvertKeysAhead(*segmentation);
  }
  return fast;
}

void FastConverter::ConvertKeysAhead(const Unit& segmentation) {
  std::vector<const opencc::Dict*> dicts;
  for (const auto& dict : segmentation) dicts.push_back(dict.get());
  Scratch scratch;
  std::string buffer;
  keyResultEnds_.reserve(segmentation_->ValueCount());
  PrefixDict::ForEachKey(dicts, [&](std::string_view key, uint32_t index) {
    // An index whose key an earlier equal key shadows is never matched: it
    // keeps an empty result.
    const Character c = CharacterAt(key.data(), key.size());
    const PrefixDict::Match match = segmentation_->Longest(key.data(), key.size(), c.codePoint, c.length);
    if (match.keyLength == key.size() && match.index == index) {
      buffer.resize(Scaled(key.size(), ratioNum_, ratioDen_) + 64);
      const char* end = ConvertWholeSegment(key.data(), key.size(), buffer.data(), false, &match, scratch);
      keyResults_.append(buffer.data(), static_cast<size_t>(end - buffer.data()));
    }
    keyResultEnds_.push_back(static_cast<uint32_t>(keyResults_.size()));
  });
  if (keyResultEnds_.size() != segmentation_->ValueCount()) {
    keyResultEnds_.clear();  // numbered otherwise than the lookups: convert as it comes
    keyResults_.clear();
  }
  keyResults_.shrink_to_fit();
}

void FastConverter::FillStep(Step& step) {
  for (uint32_t b = 0; b < 256; ++b) {
    bool plain = b != 0 && b < 0x80;
    for (const PrefixDict* dict : step.dicts) plain = plain && !dict->Starts(b);
    step.plain[b] = plain;
  }
  for (const PrefixDict* dict : step.dicts) {
    if (dict->ExpansionNumerator() * step.den > step.num * dict->ExpansionDenominator()) {
      step.num = dict->ExpansionNumerator();
      step.den = dict->ExpansionDenominator();
    }
  }
}

char* FastConverter::ApplyStep(const Step& step, const char* text, size_t length, char* out,
                               size_t firstDict) {
  const PrefixDict* const* const dicts = step.dicts.data() + firstDict;
  const PrefixDict* const* const dictsEnd = step.dicts.data() + step.dicts.size();
  size_t pos = 0;
  size_t copyFrom = 0;
  while (pos < length) {
    if (step.plain[static_cast<unsigned char>(text[pos])]) {
      ++pos;
      continue;
    }
    const size_t remaining = length - pos;
    const Character c = CharacterAt(text + pos, remaining);
    PrefixDict::Match match;
    for (const PrefixDict* const* d = dicts; d != dictsEnd; ++d) {
      match = (*d)->Longest(text + pos, remaining, c.codePoint, c.length);
      if (match.keyLength) break;
    }
    if (match.keyLength) {
      out = Emit(out, text + copyFrom, pos - copyFrom);
      out = Emit(out, match.value.data(), match.value.size());
      pos += match.keyLength;
      copyFrom = pos;
    } else {
      pos += UnitLength(text + pos, remaining, c);
    }
  }
  return Emit(out, text + copyFrom, pos - copyFrom);
}

char* FastConverter::ConvertWholeSegment(const char* segment, size_t length, char* out, bool isRun,
                                         const PrefixDict::Match* key, Scratch& scratch) const {
  // Where the conversion's first dictionary is the segmentation's, its
  // longest key within a key segment is the segment itself.
  const bool keyValueFirst = key != nullptr && skipFirstInRuns_;
  if (laterSteps_.empty()) {
    if (keyValueFirst) return Emit(out, key->value.data(), key->value.size());
    return ConvertSegment(segment, length, out, isRun);
  }
  // The first step into a buffer, the steps between through two more, the
  // last into `out`.
  char* const first = scratch.first.Reserve(Scaled(length, firstNum_, firstDen_) + 64);
  const char* text = first;
  size_t n = static_cast<size_t>(
      (keyValueFirst ? Emit(first, key->value.data(), key->value.size())
                     : ConvertSegment(segment, length, first, isRun)) - first);
  // Whether the text is still the segment as the segmentation saw it.
  bool same = n == length && std::memcmp(text, segment, n) == 0;
  for (size_t i = 0; i < laterSteps_.size(); ++i) {
    const Step& step = laterSteps_[i];
    const bool last = i + 1 == laterSteps_.size();
    char* to = out;
    if (!last) to = scratch.later[i & 1].Reserve(Scaled(n, step.num, step.den) + 64);
    char* end;
    if (same && step.firstIsSegmentation && key != nullptr) {
      end = Emit(to, key->value.data(), key->value.size());
    } else {
      end = ApplyStep(step, text, n, to, same && step.firstIsSegmentation ? 1 : 0);
    }
    if (last) return end;
    const size_t m = static_cast<size_t>(end - to);
    same = same && m == n && std::memcmp(to, text, n) == 0;
    text = to;
    n = m;
  }
  return out;
}

char* FastConverter::ConvertSegment(const char* segment, size_t length, char* out,
                                    bool isRun) const {
  // Segments travel as C strings: one ends at its first NUL.
  if (isRun) {
    const size_t nul = FindNul(std::string_view(segment, length));
    if (nul != std::string_view::npos) length = nul;
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

bool FastConverter::NeedsNormalization(const char* text, size_t length) const {
  // A character some key starts with: then the normalization runs. Every
  // byte is looked at, not only those where the walk of the conversion
  // starts a character, so one may be found inside a malformed character;
  // the normalization then copies the text as it is, as no key matches
  // where its walk stands.
  const auto* u = reinterpret_cast<const unsigned char*>(text);
  auto startsKey = [&](size_t i) {
    if (u[i] < normalizationLeast_ || !normalizationLead_[u[i]]) return false;
    if (u[i] < 0x80) return true;
    const Character c = CharacterAt(text + i, length - i);
    for (const PrefixDict* dict : normalizationStarts_) {
      if (dict->Starts(c.codePoint)) return true;
    }
    return false;
  };
  size_t i = 0;
  if (normalizationLeast_ >= 0x80) {
    // Eight bytes at a time, looked at one by one only when one of them
    // reaches the least lead byte: a byte does when its high bit is set and
    // its low seven bits exceed the least's minus 0x81 (added to 127 minus
    // that, they carry into the high bit, never into the next byte).
    constexpr uint64_t kOnes = 0x0101010101010101ULL;
    const uint64_t add = kOnes * (127 - (normalizationLeast_ - 0x81));
    for (; i + 8 <= length; i += 8) {
      uint64_t word;
      std::memcpy(&word, u + i, 8);
      if ((((word & kOnes * 0x7F) + add) & word & kOnes * 0x80) == 0) continue;
      for (size_t k = i; k < i + 8; ++k) {
        if (startsKey(k)) return true;
      }
    }
  }
  for (; i < length; ++i) {
    if (startsKey(i)) return true;
  }
  return false;
}

void FastConverter::Normalize(const char*& text, size_t& length, Scratch& scratch) const {
  // Normalization runs over the whole text first, as one piece; a text where
  // none of its keys starts is left as it is.
  if (normalization_.empty() || !NeedsNormalization(text, length)) return;
  for (size_t i = 0; i < normalization_.size(); ++i) {
    const Step& step = normalization_[i];
    char* next = scratch.normalized[i & 1].Reserve(Scaled(length, step.num, step.den) + 1);
    length = static_cast<size_t>(ApplyStep(step, text, length, next) - next);
    text = next;
  }
}

size_t FastConverter::Convert(const char* text, size_t length, char* out) const {
  Scratch scratch;
  Normalize(text, length, scratch);
  return ConvertMain(text, length, out, scratch);
}

size_t FastConverter::ConvertMain(const char* text, size_t length, char* out,
                                  Scratch& scratch) const {
  if (onePass_) return ConvertInOnePass(text, length, out);
  char* const start = out;
  if (!segmentation_) {
    return static_cast<size_t>(ConvertWholeSegment(text, length, out, true, nullptr, scratch) - start);
  }
  Segment(
      text, length,
      [&](const char* run, size_t n) { out = ConvertWholeSegment(run, n, out, true, nullptr, scratch); },
      [&](const char* key, const PrefixDict::Match& match) { out = ConvertKey(key, match, out, scratch); });
  return static_cast<size_t>(out - start);
}

char* FastConverter::ConvertKey(const char* key, const PrefixDict::Match& match, char* out,
                                Scratch& scratch) const {
  if (keyResultEnds_.empty()) return ConvertWholeSegment(key, match.keyLength, out, false, &match, scratch);
  const uint32_t from = match.index ? keyResultEnds_[match.index - 1] : 0;
  return Emit(out, keyResults_.data() + from, keyResultEnds_[match.index] - from);
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

void FastConverter::FindInnerCharacters(const Unit* segmentation,
                                        const std::vector<std::vector<Unit>>& chain,
                                        const std::vector<std::vector<Unit>>& normalization) {
  innerLimit_ = 0x110000;
  // The steps in the order the text meets them; one step's units all count.
  std::vector<std::vector<const Unit*>> steps;
  for (const auto& units : normalization) {
    steps.emplace_back();
    for (const Unit& unit : units) steps.back().push_back(&unit);
  }
  for (size_t i = 0; i < chain.size(); ++i) {
    steps.emplace_back();
    if (i == 0 && segmentation) steps.back().push_back(segmentation);
    for (const Unit& unit : chain[i]) steps.back().push_back(&unit);
  }
  // From the last step back: a character is inner for a step when one of
  // its keys holds it before its end, when it passes unchanged into a step
  // it is inner for, or when it ends a key whose value ends with a
  // character the next step holds as inner.
  std::vector<uint64_t> later;  // the next step's, empty after the last
  bool unreadable = false;
  auto lastCharacter = [](const std::string& text) -> uint32_t {
    if (text.empty()) return kNoCodePoint;
    size_t i = text.size() - 1;
    while (i > 0 && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) --i;
    const auto* p = reinterpret_cast<const unsigned char*>(text.data()) + i;
    const size_t n = text.size() - i;
    if (n != (p[0] < 0x80 ? 1 : LeadLength(p[0]))) return kNoCodePoint;
    return n <= 4 ? DecodeCharacter(p, n) : kNoCodePoint;
  };
  for (size_t s = steps.size(); s-- > 0 && !unreadable;) {
    std::vector<uint64_t> inner = later.empty() ? std::vector<uint64_t>(innerLimit_ / 64, 0) : later;
    auto isLater = [&later](uint32_t cp) {
      return !later.empty() && (cp == kNoCodePoint || (later[cp >> 6] >> (cp & 63) & 1));
    };
    for (const Unit* unit : steps[s]) {
      for (const auto& dict : *unit) {
        if (!dict || unreadable) continue;
        for (const auto& entry : *dict->GetLexicon()) {
          const std::string key = entry->Key();
          const auto* p = reinterpret_cast<const unsigned char*>(key.data());
          for (size_t i = 0; i < key.size();) {
            const size_t n = p[i] < 0x80 ? 1 : LeadLength(p[i]);
            const uint32_t cp = n <= 4 && i + n <= key.size() ? DecodeCharacter(p + i, n) : kNoCodePoint;
            if (cp == kNoCodePoint) {
              // A key this walk cannot read: trust no cut at all.
              unreadable = true;
              break;
            }
            bool mark = i + n < key.size();
            if (!mark && !later.empty()) {
              for (const std::string& value : entry->Values()) mark = mark || isLater(lastCharacter(value));
            }
            if (mark) inner[cp >> 6] |= uint64_t{1} << (cp & 63);
            i += n;
          }
        }
      }
    }
    later = std::move(inner);
  }
  if (unreadable) {
    innerLimit_ = 0;
    inner_.clear();
    return;
  }
  inner_ = std::move(later);
  if (inner_.empty()) inner_.assign(innerLimit_ / 64, 0);
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
  for (const auto& dict : owned_) counted[dict.get()] = dict->MemoryBytes();
  size_t total = keyResults_.capacity() + keyResultEnds_.capacity() * sizeof(uint32_t);
  for (const auto& [dict, bytes] : counted) total += bytes;
  return total;
}

namespace {

constexpr uint32_t kNoDict = 0xFFFFFFFF;

}  // namespace

uint32_t FastConverter::IndexOf(const PrefixDict* dict) const {
  for (size_t i = 0; i < owned_.size(); ++i) {
    if (owned_[i].get() == dict) return static_cast<uint32_t>(i);
  }
  return kNoDict;
}

const PrefixDict* FastConverter::DictAt(uint32_t index) const {
  ImageCheck(index < owned_.size());
  return owned_[index].get();
}

void FastConverter::SaveStep(const Step& step, ImageWriter& out) const {
  out.PutSize(step.dicts.size());
  for (const PrefixDict* dict : step.dicts) out.Put(IndexOf(dict));
  out.PutBools(step.plain, 256);
  out.Put(step.num);
  out.Put(step.den);
  out.Put<uint8_t>(step.firstIsSegmentation);
}

FastConverter::Step FastConverter::LoadStep(ImageReader& in) const {
  Step step;
  step.dicts.resize(in.GetSize());
  ImageCheck(!step.dicts.empty());
  for (const PrefixDict*& dict : step.dicts) dict = DictAt(in.Get<uint32_t>());
  in.GetBools(step.plain, 256);
  step.num = in.Get<uint64_t>();
  step.den = in.Get<uint64_t>();
  step.firstIsSegmentation = in.GetBool();
  return step;
}

void FastConverter::Save(ImageWriter& out) const {
  out.PutSize(owned_.size());
  for (const auto& dict : owned_) dict->Save(out);
  out.Put(segmentation_ ? IndexOf(segmentation_.get()) : kNoDict);
  out.PutSize(group_.size());
  for (const auto& dict : group_) out.Put(IndexOf(dict.get()));
  out.Put<uint8_t>(skipFirstInRuns_);
  out.Put<uint8_t>(onePass_);
  out.PutBools(plainInRuns_, 256);
  out.PutBools(plainAnywhere_, 256);
  out.PutSize(laterSteps_.size());
  for (const Step& step : laterSteps_) SaveStep(step, out);
  out.PutSize(normalization_.size());
  for (const Step& step : normalization_) SaveStep(step, out);
  out.PutSize(normalizationStarts_.size());
  for (const PrefixDict* dict : normalizationStarts_) out.Put(IndexOf(dict));
  out.PutBools(normalizationLead_, 256);
  out.Put(normalizationLeast_);
  out.PutString(keyResults_);
  out.PutVector(keyResultEnds_);
  for (uint64_t v : {firstNum_, firstDen_, ratioNum_, ratioDen_}) out.Put(v);
  out.PutSparse(inner_);
  out.Put(innerLimit_);
  placeTable_->Save(out);
}

std::unique_ptr<FastConverter> FastConverter::Load(ImageReader& in) {
  std::unique_ptr<FastConverter> fast(new FastConverter);
  FastConverter& f = *fast;
  f.owned_.resize(in.GetSize());
  for (auto& dict : f.owned_) dict = PrefixDict::Load(in);
  const uint32_t seg = in.Get<uint32_t>();
  if (seg != kNoDict) {
    ImageCheck(seg < f.owned_.size());
    f.segmentation_ = f.owned_[seg];
  }
  f.group_.resize(in.GetSize());
  ImageCheck(!f.group_.empty());
  for (auto& dict : f.group_) {
    const uint32_t i = in.Get<uint32_t>();
    ImageCheck(i < f.owned_.size());
    dict = f.owned_[i];
    f.groupRaw_.push_back(dict.get());
  }
  f.skipFirstInRuns_ = in.GetBool();
  f.onePass_ = in.GetBool();
  ImageCheck(!(f.skipFirstInRuns_ || f.onePass_) || f.segmentation_);
  in.GetBools(f.plainInRuns_, 256);
  in.GetBools(f.plainAnywhere_, 256);
  f.laterSteps_.resize(in.GetSize());
  for (Step& step : f.laterSteps_) step = f.LoadStep(in);
  f.normalization_.resize(in.GetSize());
  for (Step& step : f.normalization_) step = f.LoadStep(in);
  f.normalizationStarts_.resize(in.GetSize());
  for (const PrefixDict*& dict : f.normalizationStarts_) dict = f.DictAt(in.Get<uint32_t>());
  in.GetBools(f.normalizationLead_, 256);
  f.normalizationLeast_ = in.Get<unsigned char>();
  f.keyResults_ = in.GetString();
  f.keyResultEnds_ = in.GetVector<uint32_t>();
  ImageCheck(f.keyResultEnds_.empty() ||
             (f.segmentation_ && f.keyResultEnds_.size() == f.segmentation_->ValueCount() &&
              std::is_sorted(f.keyResultEnds_.begin(), f.keyResultEnds_.end()) &&
              f.keyResultEnds_.back() <= f.keyResults_.size()));
  for (uint64_t* v : {&f.firstNum_, &f.firstDen_, &f.ratioNum_, &f.ratioDen_}) {
    *v = in.Get<uint64_t>();
    ImageCheck(*v > 0 && *v <= (uint64_t{1} << 31));
  }
  f.inner_ = in.GetSparse<uint64_t>();
  f.innerLimit_ = in.Get<uint32_t>();
  ImageCheck(f.innerLimit_ <= f.inner_.size() * 64);
  f.placeTable_ = PlaceTable::Load(in);
  return fast;
}

}  // namespace glyphmap
