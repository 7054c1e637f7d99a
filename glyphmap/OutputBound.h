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
  size_t Bound(size_t n) const {
    const uint64_t v = static_cast<uint64_t>(n);
    return static_cast<size_t>(v / den * num + v % den * num / den) + 1;
  }
  // Whether the bound for every n stays within ceil(4n/3) + 1.
  bool WithinFourThirds() const { return 3 * num <= 4 * den; }
};

// The expansion of an OpenCC converter's conversion chain (normalization
// aside: pass that converter on its own).
Expansion ExpansionOf(const opencc::Converter& converter);

}  // namespace glyphmap
