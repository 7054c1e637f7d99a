#pragma once
#include <string>
#include <string_view>

namespace glyphmap {

std::string Utf8FromWide(std::wstring_view text);
std::wstring WideFromUtf8(std::string_view text);

}  // namespace glyphmap
