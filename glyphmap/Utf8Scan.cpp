#include "glyphmap/Utf8Scan.h"

namespace glyphmap {

size_t FindInvalidUtf8Start(std::string_view text) {
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const size_t n = text.size();
  size_t i = 0;
  while (i < n) {
    unsigned char c = p[i];
    if (c < 0x80) {
      ++i;
      continue;
    }
    size_t len = (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4
               : (c & 0xFC) == 0xF8 ? 5 : (c & 0xFE) == 0xFC ? 6 : 0;
    if (len == 0) return i;
    i += len;
  }
  return std::string_view::npos;
}

}  // namespace glyphmap
