#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace opencc {
class Converter;
class Dict;
}

namespace glyphmap {

// How much a conversion may lengthen a text: its output is never longer
// than floor(n * num / den) bytes for n input bytes. Each dictionary value
// is at most num/den times as long as its key, and what no key matches is
// copied as it is; a chain of steps multiplies.
struct Expansion {
  uint64_t num = 1;
  uint64_t den = 1;

  // The larger of the two.
  Expansion Max(const Expansion& other) const {
    return other.num * den > num * other.den ? other : *this;
  }
  // The bytes a buffer needs for the output of n input bytes and a NUL.
  // Throws std::runtime_error when that count does not fit a size_t (a
  // 32-bit build, a long text and a long word-list entry): a wrapped count
  // would name a buffer far too small.
  size_t Bound(size_t n) const;
  // Whether the bound for every n stays within ceil(4n/3) + 1.
  bool WithinFourThirds() const { return 3 * num <= 4 * den; }
};

// The expansion of an OpenCC converter's conversion chain (normalization
// aside: pass that converter on its own).
Expansion ExpansionOf(const opencc::Converter& converter);

}  // namespace glyphmap
