#include "textio/TReaderAnsi.h"

#include <limits>

namespace {
constexpr std::int32_t kInt32Max = std::numeric_limits<std::int32_t>::max();
}

TReaderAnsi::~TReaderAnsi() { utf8Buffer_.reset(); }

char* TReaderAnsi::GetUtf8Buffer(std::int32_t n) { return GrowBuffer(utf8Buffer_, utf8Capacity_, n); }

std::int32_t TReaderAnsi::ToUtf16(const BYTE* start, std::int32_t length, wchar_t** units) {
  // Each source byte gives at most one UTF-16 unit in the code pages we
  // meet; should one ever give more, the exact count is asked for.
  std::int32_t room = length;
  for (int attempt = 0; attempt < 2; ++attempt) {
    auto* buffer = reinterpret_cast<wchar_t*>(GetLineBuffer(room * 2));
    if (!buffer) return -1;
    int n = MultiByteToWideChar(codePage_, 0, reinterpret_cast<const char*>(start), length, buffer,
                                room);
    if (n > 0) {
      *units = buffer;
      return n;
    }
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return -1;
    room = MultiByteToWideChar(codePage_, 0, reinterpret_cast<const char*>(start), length,
                               nullptr, 0);
    if (room <= 0 || room > kInt32Max / 2) return -1;
  }
  return -1;
}

std::int32_t TReaderAnsi::ConvertLine(const BYTE* start, std::uint64_t length,
                                      const char** line) {
  if (length > static_cast<std::uint64_t>(kInt32Max / 2)) return -1;
  wchar_t* units = nullptr;
  std::int32_t count = ToUtf16(start, static_cast<std::int32_t>(length), &units);
  if (count <= 0) return -1;
  // One unit becomes at most three UTF-8 bytes (a surrogate pair, two
  // units, becomes four), so three bytes a unit always suffice; a one-byte
  // euro sign of code page 1252 already needs three.
  if (count > kInt32Max / 3) return -1;
  const std::int32_t room = count * 3;
  char* utf8 = GetUtf8Buffer(room);
  if (!utf8) return -1;
  int n = WideCharToMultiByte(CP_UTF8, 0, units, count, utf8, room, nullptr, nullptr);
  if (n <= 0) return -1;
  *line = utf8;
  return n;
}
