#include "textio/TReaderUtf16.h"

#include <cstring>
#include <utility>

#include "textio/Utf8Scan.h"

const BYTE* TReaderUtf16::FindLineEnd() {
  const BYTE* data = Data();
  if (!data || position_ >= Size()) return nullptr;
  const BYTE* end = data + Size();
  for (const BYTE* p = data + position_; end - p >= 2; p += 2) {
    if (p[0] == 0x0A && p[1] == 0) return p;
  }
  return nullptr;
}

namespace {

bool IsHigh(wchar_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLow(wchar_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

// Lone surrogates among `count` units: each is one damaged place.
size_t LoneSurrogates(const wchar_t* units, size_t count) {
  size_t lone = 0;
  for (size_t i = 0; i < count; ++i) {
    if ((units[i] & 0xF800) != 0xD800) continue;
    if (IsHigh(units[i]) && i + 1 < count && IsLow(units[i + 1])) {
      ++i;
    } else {
      ++lone;
    }
  }
  return lone;
}

// UTF-8 of `count` units, a lone surrogate as U+FFFD; `out` has room for
// three bytes a unit. Returns the bytes written.
size_t Utf8WithReplacements(const wchar_t* units, size_t count, char* out) {
  char* o = out;
  for (size_t i = 0; i < count; ++i) {
    std::uint32_t c = units[i];
    if (IsHigh(units[i]) && i + 1 < count && IsLow(units[i + 1])) {
      c = 0x10000 + ((c - 0xD800) << 10) + (units[i + 1] - 0xDC00u);
      ++i;
    } else if ((c & 0xF800) == 0xD800) {
      c = 0xFFFD;
    }
    if (c < 0x80) {
      *o++ = static_cast<char>(c);
    } else if (c < 0x800) {
      *o++ = static_cast<char>(0xC0 | c >> 6);
      *o++ = static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      *o++ = static_cast<char>(0xE0 | c >> 12);
      *o++ = static_cast<char>(0x80 | (c >> 6 & 0x3F));
      *o++ = static_cast<char>(0x80 | (c & 0x3F));
    } else {
      *o++ = static_cast<char>(0xF0 | c >> 18);
      *o++ = static_cast<char>(0x80 | (c >> 12 & 0x3F));
      *o++ = static_cast<char>(0x80 | (c >> 6 & 0x3F));
      *o++ = static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return static_cast<size_t>(o - out);
}

}  // namespace

ConvertedLine TReaderUtf16::ConvertLine(const BYTE* start, std::uint64_t length) {
  // Three bytes a unit at most, and three for an odd last byte's U+FFFD.
  const std::uint64_t room64 = length / 2 * 3 + 3;
  LineError error = LineError::None;
  char* utf8 = LineRoom(room64, &error);
  if (!utf8) return Failed(error);
  const auto room = static_cast<std::int32_t>(room64);
  const auto units = static_cast<int>(length / 2);
  // An odd last byte of the file is half a unit: it becomes U+FFFD.
  const bool oddByte = (length & 1) != 0;
  const auto* wide = reinterpret_cast<const wchar_t*>(start);
  int n = 0;
  const size_t lone = LoneSurrogates(wide, static_cast<size_t>(units));
  if (lone != 0) {
    n = static_cast<int>(Utf8WithReplacements(wide, static_cast<size_t>(units), utf8));
    replacements_ += lone;
  } else if (units > 0) {
    n = WideCharToMultiByte(CP_UTF8, 0, wide, units, utf8, room, nullptr, nullptr);
    if (n <= 0) return Failed(LineError::Undecodable);
  }
  if (oddByte) {
    std::memcpy(utf8 + n, kReplacementUtf8, 3);
    n += 3;
    ++replacements_;
  }
  return ConvertedLine{utf8, n};
}

void TReaderUtf16be::OnLoaded() {
  BYTE* data = Data();
  const std::uint64_t size = Size();
  if (!data || size < 2) return;
  for (std::uint64_t i = 0; i + 1 < size; i += 2) std::swap(data[i], data[i + 1]);
}
