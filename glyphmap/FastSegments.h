#pragma once
// FastConverter's segmentation walk, shared by the conversion and its
// proofreading pass.
#include "glyphmap/CharacterWalk.h"
#include "glyphmap/FastConverter.h"

namespace glyphmap {

template <typename Run, typename Key>
void FastConverter::Segment(const char* text, size_t length, Run&& run, Key&& key) const {
  size_t pos = 0;
  size_t runStart = 0;  // characters no key starts at, gathered into one run
  while (pos < length) {
    if (plainInRuns_[static_cast<unsigned char>(text[pos])]) {
      ++pos;
      continue;
    }
    const size_t remaining = length - pos;
    const Character c = CharacterAt(text + pos, remaining);
    const PrefixDict::Match match = segmentation_->Longest(text + pos, remaining, c.codePoint, c.length);
    if (!match.keyLength) {
      pos += UnitLength(text + pos, remaining, c);
      continue;
    }
    if (pos > runStart) run(text + runStart, pos - runStart);
    key(text + pos, match);
    pos += match.keyLength;
    runStart = pos;
  }
  if (pos > runStart) run(text + runStart, pos - runStart);
}

}  // namespace glyphmap
