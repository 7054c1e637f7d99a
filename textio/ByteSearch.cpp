#include "textio/ByteSearch.h"

#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

const unsigned char* FindByteBytewise(const unsigned char* from, std::size_t size,
                                      unsigned char byte) {
  for (std::size_t i = 0; i < size; ++i) {
    if (from[i] == byte) return from + i;
  }
  return nullptr;
}

}  // namespace

// A byte of `word ^ pattern` is zero where `byte` is; the test below is
// true exactly when some byte of it is zero, and the word is then searched
// byte by byte.
const unsigned char* FindByteInWords(const unsigned char* from, std::size_t size,
                                     unsigned char byte) {
  constexpr std::uint64_t kOnes = 0x0101010101010101ull;
  constexpr std::uint64_t kHighs = 0x8080808080808080ull;
  const std::uint64_t pattern = kOnes * byte;
  std::size_t i = 0;
  for (; i + 8 <= size; i += 8) {
    std::uint64_t word;
    std::memcpy(&word, from + i, sizeof word);
    const std::uint64_t x = word ^ pattern;
    if (((x - kOnes) & ~x & kHighs) != 0) return FindByteBytewise(from + i, 8, byte);
  }
  return FindByteBytewise(from + i, size - i, byte);
}

const unsigned char* FindByte(const unsigned char* from, std::size_t size, unsigned char byte) {
#if defined(__SSE2__)
  const __m128i wanted = _mm_set1_epi8(static_cast<char>(byte));
  std::size_t i = 0;
  for (; i + 16 <= size; i += 16) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + i));
    const int hits = _mm_movemask_epi8(_mm_cmpeq_epi8(block, wanted));
    if (hits != 0) {
      return from + i + static_cast<unsigned>(__builtin_ctz(static_cast<unsigned>(hits)));
    }
  }
  return FindByteBytewise(from + i, size - i, byte);
#else
  return FindByteInWords(from, size, byte);
#endif
}
