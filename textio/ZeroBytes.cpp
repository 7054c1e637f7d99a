#include "textio/ZeroBytes.h"

#include <cstring>

namespace {

bool IsCrOrLf(unsigned b) { return b == 0x0D || b == 0x0A; }

// Control characters text carries: tab, line ends, form feed, escape and
// the old end-of-file mark.
bool IsTextControl(unsigned u) {
  return u == 0x09 || u == 0x0A || u == 0x0B || u == 0x0C || u == 0x0D || u == 0x1A || u == 0x1B;
}

}  // namespace

Utf16Reading ReadAsUtf16(const unsigned char* data, std::size_t size, bool bigEndian) {
  Utf16Reading r;
  r.units = size / 2;
  bool wantLow = false;  // a low surrogate must come next
  for (std::size_t i = 0; i + 1 < size && !r.broken; i += 2) {
    const unsigned hi = bigEndian ? data[i] : data[i + 1];
    const unsigned lo = bigEndian ? data[i + 1] : data[i];
    const unsigned u = hi << 8 | lo;
    const bool low = u >= 0xDC00 && u <= 0xDFFF;
    if (wantLow != low) {
      // A pair cut by the end of the data is no fault.
      r.broken = !(wantLow && i + 2 >= size);
      break;
    }
    wantLow = u >= 0xD800 && u <= 0xDBFF;
    if (u == 0) {
      ++r.zeroUnits;
      continue;
    }
    if (u == 0xFFFE || u == 0xFFFF) r.broken = true;
    if (u < 0x100) {
      ++r.latin;
      if ((u < 0x20 && !IsTextControl(u)) || (u >= 0x7F && u < 0xA0)) ++r.controls;
      if (IsCrOrLf(u)) ++r.lineEnds;
      if (u < 0x41 || (u > 0x5A && u < 0x61) || (u > 0x7A && u < 0x7F)) ++r.structural;
      continue;
    }
    r.strayCrLf += IsCrOrLf(hi) + IsCrOrLf(lo);
    if (lo == 0) ++r.lowZero;
    if (lo >= 0x20 && lo <= 0x7E && hi >= 0x20 && hi <= 0x7E) ++r.asciiPairs;
  }
  return r;
}

bool IsCleanUtf16(const Utf16Reading& r) {
  return !r.broken && (r.controls + r.zeroUnits) * kControlShare <= r.units;
}

ZeroBytes JudgeZeroBytes(const unsigned char* data, std::size_t size) {
  if (data == nullptr) return ZeroBytes::Stray;
  std::size_t zeros = 0;
  for (std::size_t i = 0; i < size; ++i) zeros += data[i] == 0;
  if (zeros < kStrayZeroBytes || zeros * kZeroByteShare < size) return ZeroBytes::Stray;
  const Utf16Reading le = ReadAsUtf16(data, size, false);
  const Utf16Reading be = ReadAsUtf16(data, size, true);
  const bool isLe = IsCleanUtf16(le);
  const bool isBe = IsCleanUtf16(be);
  // Both clean (Chinese text with few Latin characters, or many
  // characters such as U+2500 whose zero byte is the low one): the order
  // in which the line ends are line ends, then the one with more Latin
  // characters.
  if (isLe && isBe) {
    const bool bigEndian =
        be.lineEnds != le.lineEnds ? be.lineEnds > le.lineEnds : be.latin > le.latin;
    return bigEndian ? ZeroBytes::Utf16Be : ZeroBytes::Utf16Le;
  }
  return isLe ? ZeroBytes::Utf16Le : isBe ? ZeroBytes::Utf16Be : ZeroBytes::NotText;
}
