#pragma once
#include <cstddef>
#include <string_view>

namespace glyphmap {

// Walks the text one character at a time the way OpenCC does (the length
// of a character is read from its first byte alone) and returns the offset
// of the first byte that cannot start a character (0x80-0xBF, 0xFE, 0xFF),
// or npos. A character cut off by the end of the text is not an error.
size_t FindInvalidUtf8Start(std::string_view text);

// The offset of the first NUL of `text`, or npos. Every conversion asks it
// of its whole text: sixteen bytes a step, where the C runtime's memchr
// under Wine takes one.
size_t FindNul(std::string_view text);

}  // namespace glyphmap
