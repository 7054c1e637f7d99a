// The proofreading pass: the conversion FastConverter::Convert makes,
// walked segment by segment as OpenCC walks it, noting where a character
// entry with several values chose alone.
#include <algorithm>
#include <cstring>

#include "glyphmap/FastSegments.h"

namespace glyphmap {

namespace {

// A place in the text of one step: where its character stands and which
// of the run's places it is.
struct Mark {
  size_t at;
  size_t length;
  size_t place;
};

void RemoveRepeatedCandidates(Place& place) {
  std::vector<PlaceCandidate> kept;
  for (auto& candidate : place.candidates) {
    const bool seen = std::any_of(kept.begin(), kept.end(),
                                  [&](const PlaceCandidate& k) { return k.text == candidate.text; });
    if (!seen) kept.push_back(std::move(candidate));
  }
  place.candidates = std::move(kept);
}

}  // namespace

// Where each piece a step wrote came from in the run: the piece's offset
// in the step's text and in the run. None before the first step, where
// the two are one.
struct Anchor {
  size_t at;
  size_t source;
};

struct FastConverter::TraceState {
  std::string text[2];  // the run before and after a step
  std::vector<Mark> marks[2];
  std::vector<Anchor> anchors[2];
  int current = 0;
  size_t runLength = 0;
  std::vector<Place> found;  // the run's places, marks point into it
  bool everyPlace = false;   // every place is reported, not only those worth a look
  std::vector<bool> laterChoices;  // per step: a later step has entries with several values

  // The run's offset of the piece at `at` of the current text (its end:
  // the run's length).
  size_t SourceAt(size_t at) const {
    const std::vector<Anchor>& a = anchors[current];
    if (a.empty()) return at;
    if (at >= text[current].size()) return runLength;
    auto it = std::upper_bound(a.begin(), a.end(), at,
                               [](size_t value, const Anchor& anchor) { return value < anchor.at; });
    return it == a.begin() ? 0 : (it - 1)->source;
  }
};

std::string FastConverter::MapThroughStep(size_t step, const std::string& text) const {
  if (step == 0 || step > laterSteps_.size() || text.empty()) return text;
  const Step& s = laterSteps_[step - 1];
  std::string out(Scaled(text.size(), s.num, s.den) + 64, '\0');
  out.resize(static_cast<size_t>(ApplyStep(s, text.data(), text.size(), out.data()) - out.data()));
  return out;
}

void FastConverter::MapPlace(size_t step, Place& place) const {
  for (auto& candidate : place.candidates) {
    candidate.text = MapThroughStep(step, candidate.text);
    for (auto& hint : candidate.hints) hint = MapThroughStep(step, hint);
  }
  RemoveRepeatedCandidates(place);
}

void FastConverter::TraceStep(size_t step, bool skipFirst, TraceState& state) const {
  const std::vector<const PrefixDict*>& dicts = step == 0 ? groupRaw_ : laterSteps_[step - 1].dicts;
  const std::string& in = state.text[state.current];
  const std::vector<Mark>& inMarks = state.marks[state.current];
  std::string& out = state.text[state.current ^ 1];
  std::vector<Mark>& outMarks = state.marks[state.current ^ 1];
  std::vector<Anchor>& anchors = state.anchors[state.current ^ 1];
  out.clear();
  outMarks.clear();
  anchors.clear();
  // Later steps need to know where their pieces came from.
  const bool anchored = step < laterSteps_.size();
  const char* text = in.data();
  const size_t n = in.size();
  // Bytes no key of the step starts with go over as they are, a stretch at
  // a time (no place is ever at one).
  const bool* plain = step == 0 ? plainInRuns_ : laterSteps_[step - 1].plain;
  size_t next = 0;  // the first mark not yet passed
  for (size_t pos = 0; pos < n;) {
    if (plain[static_cast<unsigned char>(text[pos])]) {
      size_t end = pos + 1;
      while (end < n && plain[static_cast<unsigned char>(text[end])]) ++end;
      if (anchored) anchors.push_back({out.size(), state.SourceAt(pos)});
      out.append(text + pos, end - pos);
      pos = end;
      continue;
    }
    const size_t remaining = n - pos;
    const Character c = CharacterAt(text + pos, remaining);
    while (next < inMarks.size() && inMarks[next].at < pos) ++next;  // taken by a phrase
    const Mark* incoming = next < inMarks.size() && inMarks[next].at == pos &&
                                   inMarks[next].length == c.length
                               ? &inMarks[next]
                               : nullptr;
    PrefixDict::Match match;
    for (size_t d = skipFirst ? 1 : 0; d < dicts.size() && !match.keyLength; ++d) {
      match = dicts[d]->Longest(text + pos, remaining, c.codePoint, c.length);
    }
    if (anchored) anchors.push_back({out.size(), state.SourceAt(pos)});
    if (!match.keyLength) {
      const size_t unit = UnitLength(text + pos, remaining, c);
      if (incoming) {
        MapPlace(step, state.found[incoming->place]);
        outMarks.push_back({out.size(), unit, incoming->place});
      }
      out.append(text + pos, unit);
      pos += unit;
      continue;
    }
    const bool single = match.keyLength == c.length;
    const CharacterChoice* choice = single ? placeTable_->Find(step, c.codePoint) : nullptr;
    if (choice && choice->values.front() != match.value) choice = nullptr;  // another entry decided
    // A place that will not be reported is not kept: one below the default's
    // bar, when no later step can raise it.
    if (choice && !incoming && !state.everyPlace && !state.laterChoices[step] &&
        !PlaceTable::WorthALook(choice->rank, choice->words)) {
      choice = nullptr;
    }
    if (single && (choice || incoming)) {
      size_t id = incoming ? incoming->place : state.found.size();
      if (incoming) {
        MapPlace(step, state.found[id]);
      } else {
        Place place;
        place.source.assign(text + pos, c.length);
        place.sourceOffset = state.SourceAt(pos);
        place.sourceLength = state.SourceAt(pos + c.length) - place.sourceOffset;
        state.found.push_back(std::move(place));
      }
      if (choice) {
        // This step's own values join in, its choice first.
        Place& place = state.found[id];
        std::vector<PlaceCandidate> merged;
        for (size_t v = 0; v < choice->values.size(); ++v) {
          merged.push_back({choice->values[v], choice->hints[v]});
        }
        for (auto& candidate : place.candidates) merged.push_back(std::move(candidate));
        place.candidates = std::move(merged);
        RemoveRepeatedCandidates(place);
        place.rank = std::max(place.rank, choice->rank);
        place.words = std::max(place.words, choice->words);
      }
      outMarks.push_back({out.size(), match.value.size(), id});
    }
    out.append(match.value.data(), match.value.size());
    pos += match.keyLength;
  }
  state.current ^= 1;
}

bool FastConverter::MayHavePlaces(const char* run, size_t length, bool everyPlace) const {
  for (size_t pos = 0; pos < length;) {
    const unsigned char lead = static_cast<unsigned char>(run[pos]);
    if (lead < 0x80) {
      if (placeTable_->MayLead(lead, everyPlace)) return true;
      ++pos;
      continue;
    }
    const Character c = CharacterAt(run + pos, length - pos);
    if (c.codePoint == kNoCodePoint || placeTable_->MayLead(c.codePoint, everyPlace)) return true;
    pos += c.length;
  }
  return false;
}

void FastConverter::TraceRun(const char* run, size_t length, TraceState& state) const {
  state.current = 0;
  state.runLength = length;
  state.text[0].assign(run, length);
  state.marks[0].clear();
  state.anchors[0].clear();
  state.found.clear();
  TraceStep(0, skipFirstInRuns_, state);
  for (size_t s = 1; s <= laterSteps_.size(); ++s) TraceStep(s, false, state);
}

size_t FastConverter::ConvertWithPlaces(const char* text, size_t length, char* out, bool everyPlace,
                                        size_t base, size_t sourceBase,
                                        std::vector<Place>& places) const {
  Scratch scratch;
  Normalize(text, length, scratch);
  char* const start = out;
  const char* const source = text;
  TraceState state;
  state.everyPlace = everyPlace;
  state.laterChoices.assign(laterSteps_.size() + 1, false);
  for (size_t s = laterSteps_.size(); s-- > 0;) {
    state.laterChoices[s] = state.laterChoices[s + 1] || placeTable_->Count(s + 1) > 0;
  }
  auto flushRun = [&](const char* run, size_t n) {
    if (!MayHavePlaces(run, n, everyPlace)) {
      out = ConvertWholeSegment(run, n, out, true, nullptr, scratch);
      return;
    }
    TraceRun(run, n, state);
    const std::string& result = state.text[state.current];
    const size_t at = base + static_cast<size_t>(out - start);
    for (const Mark& mark : state.marks[state.current]) {
      Place& place = state.found[mark.place];
      if (!everyPlace && !PlaceTable::WorthALook(place.rank, place.words)) continue;
      place.offset = at + mark.at;
      place.length = mark.length;
      place.sourceOffset += sourceBase + static_cast<size_t>(run - source);
      places.push_back(place);
    }
    std::memcpy(out, result.data(), result.size());
    out += result.size();
  };
  if (!segmentation_) {
    flushRun(text, length);
    return static_cast<size_t>(out - start);
  }
  // A segmentation key is a phrase: it decides every character in it.
  Segment(
      text, length, flushRun,
      [&](const char* key, const PrefixDict::Match& match) { out = ConvertKey(key, match, out, scratch); });
  return static_cast<size_t>(out - start);
}

}  // namespace glyphmap
