// The UTF-8 walk against a plain reading of the standard's table of
// well-formed sequences, over every lead byte with the bytes around each
// boundary of the continuation ranges.
#include <gtest/gtest.h>

#include <cstddef>
#include <vector>

#include "textio/Utf8Scan.h"

namespace {

// The bytes the well-formed sequence at `b` takes, or 0 (Unicode's table 3-7).
std::size_t ReferenceSequence(const unsigned char* b, std::size_t left) {
  auto in = [&](std::size_t k, unsigned lo, unsigned hi) {
    return k < left && b[k] >= lo && b[k] <= hi;
  };
  const unsigned c = b[0];
  if (c < 0x80) return 1;
  if (c >= 0xC2 && c <= 0xDF) return in(1, 0x80, 0xBF) ? 2 : 0;
  if (c == 0xE0) return in(1, 0xA0, 0xBF) && in(2, 0x80, 0xBF) ? 3 : 0;
  if ((c >= 0xE1 && c <= 0xEC) || c == 0xEE || c == 0xEF) {
    return in(1, 0x80, 0xBF) && in(2, 0x80, 0xBF) ? 3 : 0;
  }
  if (c == 0xED) return in(1, 0x80, 0x9F) && in(2, 0x80, 0xBF) ? 3 : 0;
  if (c == 0xF0) return in(1, 0x90, 0xBF) && in(2, 0x80, 0xBF) && in(3, 0x80, 0xBF) ? 4 : 0;
  if (c >= 0xF1 && c <= 0xF3) {
    return in(1, 0x80, 0xBF) && in(2, 0x80, 0xBF) && in(3, 0x80, 0xBF) ? 4 : 0;
  }
  if (c == 0xF4) return in(1, 0x80, 0x8F) && in(2, 0x80, 0xBF) && in(3, 0x80, 0xBF) ? 4 : 0;
  return 0;
}

std::size_t ReferencePrefix(const std::vector<unsigned char>& text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const std::size_t n = ReferenceSequence(text.data() + i, text.size() - i);
    if (n == 0) return i;
    i += n;
  }
  return i;
}

TEST(Utf8Scan, TheWellFormedStartIsTheStandardsForEveryLeadByte) {
  // Bytes on both sides of every boundary a second or third byte can meet.
  const unsigned char edges[] = {0x00, 0x41, 0x7F, 0x80, 0x8F, 0x90, 0x9F, 0xA0, 0xBF, 0xC0, 0xFF};
  for (unsigned lead = 0x80; lead <= 0xFF; ++lead) {
    for (unsigned char second : edges) {
      for (unsigned char third : edges) {
        for (unsigned char fourth : {static_cast<unsigned char>(0x80), static_cast<unsigned char>(0x41)}) {
          // After ASCII (the eight-byte steps), and cut short at each length.
          std::vector<unsigned char> text = {'a', 'b', 0xE4, 0xB8, 0xAD, static_cast<unsigned char>(lead),
                                             second, third, fourth};
          for (std::size_t cut = 5; cut <= text.size(); ++cut) {
            const std::vector<unsigned char> part(text.begin(), text.begin() + cut);
            ASSERT_EQ(WellFormedUtf8Prefix(part.data(), part.size()), ReferencePrefix(part))
                << std::hex << lead << " " << +second << " " << +third << " " << +fourth
                << " cut " << cut;
          }
        }
      }
    }
  }
}

}  // namespace
