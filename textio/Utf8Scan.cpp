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

}  // namespace

std::size_t WellFormedUtf8Prefix(const unsigned char* bytes, std::size_t size) {
  std::size_t i = 0;
  while (i < size) {
    if (size - i >= 8 && AsciiWord(bytes + i)) {
      i += 8;
      continue;
    }
    if (bytes[i] < 0x80) {
      ++i;
      continue;
    }
    std::size_t good = 0;
    const std::size_t length = SequenceAt(bytes + i, size - i, good);
    if (length == 0) return i;
    i += length;
  }
  return size;
}

Utf8Tally TallyUtf8(const unsigned char* bytes, std::size_t size) {
  Utf8Tally tally;
  std::size_t i = 0;
  while (i < size) {
    if (size - i >= 8 && AsciiWord(bytes + i)) {
      i += 8;
      continue;
    }
    if (bytes[i] < 0x80) {
      ++i;
      continue;
    }
    std::size_t good = 0;
    const std::size_t length = SequenceAt(bytes + i, size - i, good);
    if (length != 0) {
      ++tally.characters;
      i += length;
    } else {
      ++tally.damaged;
      i += good;
    }
  }
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
