#pragma once
#include <string>
#include <string_view>

namespace testing_support {

std::wstring Wide(std::string_view utf8);
std::string Utf8(std::wstring_view wide);

}  // namespace testing_support
