#include "textio/TReaderUtf32.h"

#include <utility>

namespace {

std::uint32_t UnitAt(const BYTE* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

char* PutUtf8(char* out, std::uint32_t cp) {
  if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
  if (cp < 0x80) {
    *out++ = static_cast<char>(cp);
  } else if (cp < 0x800) {
    *out++ = static_cast<char>(0xC0 | cp >> 6);
    *out++ = static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    *out++ = static_cast<char>(0xE0 | cp >> 12);
    *out++ = static_cast<char>(0x80 | (cp >> 6 & 0x3F));
    *out++ = static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    *out++ = static_cast<char>(0xF0 | cp >> 18);
    *out++ = static_cast<char>(0x80 | (cp >> 12 & 0x3F));
    *out++ = static_cast<char>(0x80 | (cp >> 6 & 0x3F));
    *out++ = static_cast<char>(0x80 | (cp & 0x3F));
  }
  return out;
}

}  // namespace

const BYTE* TReaderUtf32::FindLineEnd() {
  const BYTE* data = Data();
  if (!data || position_ >= Size()) return nullptr;
  const BYTE* end = data + Size();
  for (const BYTE* p = data + position_; end - p >= 4; p += 4) {
    if (UnitAt(p) == 0x0A) return p;
  }
  return nullptr;
}

ConvertedLine TReaderUtf32::ConvertLine(const BYTE* start, std::uint64_t length) {
  // At most four UTF-8 bytes per four-byte unit (the line's own length),
  // and three for the U+FFFD of bytes short of a unit.
  LineError error = LineError::None;
  char* utf8 = LineRoom(length + 3, &error);
  if (!utf8) return Failed(error);
  const std::uint64_t units = length / 4;
  // Bytes short of a unit at the end of the file are one damaged place.
  const bool partial = length % 4 != 0;
  char* out = utf8;
  for (std::uint64_t i = 0; i < units; ++i) {
    const std::uint32_t unit = UnitAt(start + 4 * i);
    if (unit > 0x10FFFF || (unit >= 0xD800 && unit <= 0xDFFF)) ++replacements_;
    out = PutUtf8(out, unit);
  }
  if (partial) {
    out = PutUtf8(out, 0xFFFD);
    ++replacements_;
  }
  return ConvertedLine{utf8, static_cast<std::int32_t>(out - utf8)};
}

void TReaderUtf32be::OnLoaded() {
  BYTE* data = Data();
  const std::uint64_t size = Size();
  if (!data) return;
  for (std::uint64_t i = 0; i + 3 < size; i += 4) {
    std::swap(data[i], data[i + 3]);
    std::swap(data[i + 1], data[i + 2]);
  }
}
