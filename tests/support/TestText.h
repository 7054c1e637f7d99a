#pragma once
#include <string>
#include <string_view>

namespace testing_support {

// `text` in code page `codePage` (unmappable characters as the system
// writes them), and back.
std::string Encode(std::wstring_view text, unsigned int codePage);
std::wstring Decode(std::string_view bytes, unsigned int codePage);

// Encode and Decode in UTF-8.
std::wstring Wide(std::string_view utf8);
std::string Utf8(std::wstring_view wide);

}  // namespace testing_support
