#pragma once
#include <string>
#include <string_view>

namespace glyphmap {

std::string Utf8FromWide(std::wstring_view text);

}  // namespace glyphmap
