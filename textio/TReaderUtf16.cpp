#include "textio/TReaderUtf16.h"

#include <limits>
#include <utility>

const BYTE* TReaderUtf16::FindLineEnd() {
  const BYTE* data = Data();
  if (!data || position_ >= Size()) return nullptr;
  const BYTE* end = data + Size();
  for (const BYTE* p = data + position_; end - p >= 2; p += 2) {
    if (p[0] == 0x0A && p[1] == 0) return p;
  }
  return nullptr;
}

std::int32_t TReaderUtf16::ConvertLine(const BYTE* start, std::uint64_t length,
                                       const char** line) {
  constexpr std::int32_t kInt32Max = std::numeric_limits<std::int32_t>::max();
  if (length > static_cast<std::uint64_t>(kInt32Max / 2)) return -1;
  const auto units = static_cast<int>(length / 2);
  // A line of one stray odd byte holds no unit: nothing to hand out.
  if (units == 0) return 0;
  const auto room = static_cast<std::int32_t>(length * 2);
  char* utf8 = GetLineBuffer(room);
  if (!utf8) return -1;
  int n = WideCharToMultiByte(CP_UTF8, 0, reinterpret_cast<const wchar_t*>(start), units, utf8,
                              room, nullptr, nullptr);
  if (n <= 0) return -1;
  *line = utf8;
  return n;
}

void TReaderUtf16be::OnLoaded() {
  BYTE* data = Data();
  const std::uint64_t size = Size();
  if (!data || size < 2) return;
  for (std::uint64_t i = 0; i + 1 < size; i += 2) std::swap(data[i], data[i + 1]);
}
