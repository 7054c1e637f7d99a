#pragma once
// Walking UTF-8 text the way OpenCC's converter does, shared by the
// converter and its proofreading pass.
#include <cstddef>
#include <cstdint>

#include "UTF8Util.hpp"
#include "glyphmap/PrefixDict.h"

namespace glyphmap {

inline size_t LeadLength(unsigned char c) {
  return c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4
       : (c & 0xFC) == 0xF8 ? 5 : 6;
}

// Writes the UTF-8 form of `cp` to `out` (4 bytes at most); its length.
inline size_t EncodeCharacter(uint32_t cp, char* out) {
  auto* u = reinterpret_cast<unsigned char*>(out);
  if (cp < 0x80) {
    u[0] = static_cast<unsigned char>(cp);
    return 1;
  }
  if (cp < 0x800) {
    u[0] = static_cast<unsigned char>(0xC0 | cp >> 6);
    u[1] = static_cast<unsigned char>(0x80 | (cp & 0x3F));
    return 2;
  }
  if (cp < 0x10000) {
    u[0] = static_cast<unsigned char>(0xE0 | cp >> 12);
    u[1] = static_cast<unsigned char>(0x80 | (cp >> 6 & 0x3F));
    u[2] = static_cast<unsigned char>(0x80 | (cp & 0x3F));
    return 3;
  }
  if (cp > 0x10FFFF) return 0;
  u[0] = static_cast<unsigned char>(0xF0 | cp >> 18);
  u[1] = static_cast<unsigned char>(0x80 | (cp >> 12 & 0x3F));
  u[2] = static_cast<unsigned char>(0x80 | (cp >> 6 & 0x3F));
  u[3] = static_cast<unsigned char>(0x80 | (cp & 0x3F));
  return 4;
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

// floor(n * num / den) without overflow for the sizes met here.
inline size_t Scaled(size_t n, uint64_t num, uint64_t den) {
  return static_cast<size_t>(static_cast<uint64_t>(n) / den * num +
                             static_cast<uint64_t>(n) % den * num / den);
}

}  // namespace glyphmap
