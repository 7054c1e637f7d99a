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
  const auto* bytes = reinterpret_cast<const char*>(start);
  std::int32_t room = length;
  for (int attempt = 0; attempt < 2; ++attempt) {
    auto* buffer = reinterpret_cast<wchar_t*>(GetLineBuffer(room * 2));
    if (!buffer) return -1;
    // Strict first: a line with bytes that are no character in the code
    // page is mended place by place rather than left to the system, which
    // swallows the byte after a lead byte (a CR, say) into a '?'.
    int n = MultiByteToWideChar(codePage_, MB_ERR_INVALID_CHARS, bytes, length, buffer, room);
    DWORD error = n > 0 ? ERROR_SUCCESS : GetLastError();
    if (error == ERROR_NO_UNICODE_TRANSLATION) {
      n = Mend(start, length, buffer, room);
      error = n > 0 ? ERROR_SUCCESS : ERROR_INSUFFICIENT_BUFFER;
    } else if (error == ERROR_INVALID_FLAGS) {
      // Code pages that cannot check (ISO-2022, HZ, UTF-7): as they decode.
      n = MultiByteToWideChar(codePage_, 0, bytes, length, buffer, room);
      error = n > 0 ? ERROR_SUCCESS : GetLastError();
    }
    if (n > 0) {
      *units = buffer;
      return n;
    }
    if (error != ERROR_INSUFFICIENT_BUFFER) return -1;
    room = MultiByteToWideChar(codePage_, 0, bytes, length, nullptr, 0);
    if (room <= 0 || room > kInt32Max / 2) return -1;
    room += length;  // room for the mending too
  }
  return -1;
}

std::int32_t TReaderAnsi::Mend(const BYTE* start, std::int32_t length, wchar_t* out,
                               std::int32_t room) {
  const auto* bytes = reinterpret_cast<const char*>(start);
  std::int32_t o = 0;
  for (std::int32_t i = 0; i < length;) {
    if (o + 2 > room) return -1;
    // Bytes below 0x80 are ASCII in every code page that can check: line
    // ends and the text after a damaged character always stay.
    if (start[i] < 0x80) {
      out[o++] = static_cast<wchar_t>(start[i++]);
      continue;
    }
    int taken = 0;
    for (int size : {1, 2, 4}) {
      if (size > length - i) break;
      const int n = MultiByteToWideChar(codePage_, MB_ERR_INVALID_CHARS, bytes + i, size, out + o, 2);
      if (n > 0) {
        o += n;
        taken = size;
        break;
      }
    }
    if (taken == 0) {
      out[o++] = 0xFFFD;
      ++replacements_;
      taken = 1;
    }
    i += taken;
  }
  return o;
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
