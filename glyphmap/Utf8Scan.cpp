#include "glyphmap/Utf8Scan.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

size_t FindNul(std::string_view text) {
  const char* const data = text.data();
  const size_t size = text.size();
  size_t i = 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  for (; i + 16 <= size; i += 16) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
    const int hits = _mm_movemask_epi8(_mm_cmpeq_epi8(block, zero));
    if (hits != 0) return i + static_cast<unsigned>(__builtin_ctz(static_cast<unsigned>(hits)));
  }
#endif
  for (; i < size; ++i) {
    if (data[i] == '\0') return i;
  }
  return std::string_view::npos;
}

}  // namespace glyphmap
