#include "textio/Utf8Scan.h"

#include <cstdint>
#include <cstring>

namespace {

// The bytes a well-formed sequence starting at `bytes` takes (2 to 4), or
// 0 when none starts there; `good` is then how many bytes form the longest
// possible start (at least 1), which counts as one damaged place.
std::size_t SequenceAt(const unsigned char* bytes, std::size_t left, std::size_t& good) {
  const unsigned c = bytes[0];
  std::size_t length = 0;
  unsigned low = 0x80, high = 0xBF;  // the second byte's range
  if (c >= 0xC2 && c <= 0xDF) {
    length = 2;
  } else if (c >= 0xE0 && c <= 0xEF) {
    length = 3;
    if (c == 0xE0) low = 0xA0;   // no overlong forms
    if (c == 0xED) high = 0x9F;  // no surrogates
  } else if (c >= 0xF0 && c <= 0xF4) {
    length = 4;
    if (c == 0xF0) low = 0x90;   // no overlong forms
    if (c == 0xF4) high = 0x8F;  // nothing beyond U+10FFFF
  }
  good = 1;
  if (length == 0) return 0;
  for (std::size_t k = 1; k < length; ++k) {
    if (k >= left) return 0;
    const unsigned b = bytes[k];
    const bool fits = k == 1 ? (b >= low && b <= high) : (b >= 0x80 && b <= 0xBF);
    if (!fits) return 0;
    good = k + 1;
  }
  return length;
}

bool AsciiWord(const unsigned char* bytes) {
  std::uint64_t word;
  std::memcpy(&word, bytes, sizeof word);
  return (word & 0x8080808080808080ull) == 0;
}

// Walks `size` bytes, passing over ASCII (eight bytes at a time where it
// can), and tells `place` of each other place: the bytes the well-formed
// character there takes, or 0 for a damaged place (which is then passed
// over). Stops where `place` returns false and returns that position;
// `size` when it walked them all.
template <class Place>
std::size_t WalkUtf8(const unsigned char* bytes, std::size_t size, Place place) {
  std::size_t i = 0;
  while (i < size) {
    if (size - i >= 8 && AsciiWord(bytes + i)) {
      i += 8;
      continue;
    }
    const unsigned c = bytes[i];
    if (c < 0x80) {
      ++i;
      continue;
    }
    // Most Chinese text is three-byte characters whose lead byte allows
    // every continuation byte (all but E0 and ED): told apart here in one go.
    if (c >= 0xE1 && c <= 0xEF && c != 0xED && size - i >= 3 && (bytes[i + 1] & 0xC0) == 0x80 &&
        (bytes[i + 2] & 0xC0) == 0x80) {
      if (!place(3)) return i;
      i += 3;
      continue;
    }
    std::size_t good = 0;
    const std::size_t length = SequenceAt(bytes + i, size - i, good);
    if (!place(length)) return i;
    i += length != 0 ? length : good;
  }
  return size;
}

}  // namespace

std::size_t WellFormedUtf8Prefix(const unsigned char* bytes, std::size_t size) {
  return WalkUtf8(bytes, size, [](std::size_t length) { return length != 0; });
}

Utf8Tally TallyUtf8(const unsigned char* bytes, std::size_t size) {
  Utf8Tally tally;
  WalkUtf8(bytes, size, [&tally](std::size_t length) {
    ++(length != 0 ? tally.characters : tally.damaged);
    return true;
  });
  return tally;
}

std::size_t MendUtf8(const unsigned char* bytes, std::size_t size, char* out) {
  std::size_t i = 0, o = 0;
  while (i < size) {
    const std::size_t run = WellFormedUtf8Prefix(bytes + i, size - i);
    std::memcpy(out + o, bytes + i, run);
    i += run;
    o += run;
    if (i >= size) break;
    std::size_t good = 0;
    SequenceAt(bytes + i, size - i, good);
    std::memcpy(out + o, kReplacementUtf8, 3);
    o += 3;
    i += good;
  }
  return o;
}
