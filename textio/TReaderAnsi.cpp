#include "textio/TReaderAnsi.h"

#include <limits>
#include <utility>

namespace {
constexpr std::int32_t kInt32Max = std::numeric_limits<std::int32_t>::max();
}

TReaderAnsi::~TReaderAnsi() { utf8Buffer_.reset(); }

char* TReaderAnsi::GetUtf8Buffer(std::int32_t n) { return GrowBuffer(utf8Buffer_, utf8Capacity_, n); }

void TReaderAnsi::SwapBuffers(LineBuffers& buffers) {
  TReader::SwapBuffers(buffers);
  std::swap(utf8Buffer_, buffers.utf8);
  std::swap(utf8Capacity_, buffers.utf8Capacity);
}

LineError TReaderAnsi::ToUtf16(const BYTE* start, std::int32_t length, wchar_t** units,
                               std::int32_t* count) {
  // Each source byte gives at most one UTF-16 unit in the code pages we
  // meet; should one ever give more, the exact count is asked for.
  const auto* bytes = reinterpret_cast<const char*>(start);
  std::int32_t room = length;
  for (int attempt = 0; attempt < 2; ++attempt) {
    LineError error = LineError::None;
    auto* buffer = reinterpret_cast<wchar_t*>(LineRoom(std::uint64_t{2} * room, &error));
    if (!buffer) return error;
    // Strict first: a line with bytes that are no character in the code
    // page is mended place by place rather than left to the system, which
    // swallows the byte after a lead byte (a CR, say) into a '?'.
    int n = MultiByteToWideChar(codePage_, MB_ERR_INVALID_CHARS, bytes, length, buffer, room);
    DWORD result = n > 0 ? ERROR_SUCCESS : GetLastError();
    if (result == ERROR_NO_UNICODE_TRANSLATION) {
      n = Mend(start, length, buffer, room);
      result = n > 0 ? ERROR_SUCCESS : ERROR_INSUFFICIENT_BUFFER;
    } else if (result == ERROR_INVALID_FLAGS) {
      // Code pages that cannot check (ISO-2022, HZ, UTF-7): as they decode.
      n = MultiByteToWideChar(codePage_, 0, bytes, length, buffer, room);
      result = n > 0 ? ERROR_SUCCESS : GetLastError();
    }
    if (n > 0) {
      *units = buffer;
      *count = n;
      return LineError::None;
    }
    // No such code page, or bytes it cannot take.
    if (result != ERROR_INSUFFICIENT_BUFFER) return LineError::Undecodable;
    room = MultiByteToWideChar(codePage_, 0, bytes, length, nullptr, 0);
    if (room <= 0) return LineError::Undecodable;
    if (room > kInt32Max / 2 - length) return LineError::TooLong;
    room += length;  // room for the mending too
  }
  return LineError::Undecodable;
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

ConvertedLine TReaderAnsi::ConvertLine(const BYTE* start, std::uint64_t length) {
  if (length > static_cast<std::uint64_t>(kInt32Max / 2)) return Failed(LineError::TooLong);
  wchar_t* units = nullptr;
  std::int32_t count = 0;
  const LineError decoded = ToUtf16(start, static_cast<std::int32_t>(length), &units, &count);
  if (decoded != LineError::None) return Failed(decoded);
  // One unit becomes at most three UTF-8 bytes (a surrogate pair, two
  // units, becomes four), so three bytes a unit always suffice; a one-byte
  // euro sign of code page 1252 already needs three.
  LineError error = LineError::None;
  char* utf8 = Room(utf8Buffer_, utf8Capacity_, std::uint64_t{3} * count, &error);
  if (!utf8) return Failed(error);
  const int n = WideCharToMultiByte(CP_UTF8, 0, units, count, utf8, 3 * count, nullptr, nullptr);
  if (n <= 0) return Failed(LineError::Undecodable);
  return ConvertedLine{utf8, n};
}
