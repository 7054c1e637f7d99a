#pragma once

#include <memory>
#include <vector>

namespace opencc {
class Converter;
class Dict;
}

namespace glyphmap {

// Callers size their output buffers at ceil(4n/3)+1 bytes for n input bytes.
// That holds as long as no dictionary value is longer than 4/3 of its key
// (the longest expansion in the shipped dictionaries is a BMP character,
// 3 bytes, to a supplementary one, 4 bytes). Throws std::runtime_error for a
// converter whose dictionaries break it, rather than risk an overflow.
void CheckOutputBound(const opencc::Converter& converter);
// The same for the dictionaries of a conversion step.
void CheckOutputBound(const std::vector<std::shared_ptr<opencc::Dict>>& dicts);

}  // namespace glyphmap
