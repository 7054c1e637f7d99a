#include "tests/support/TestText.h"

#include <windows.h>

namespace testing_support {

std::string Encode(std::wstring_view text, unsigned int codePage) {
  if (text.empty()) return {};
  int n = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                              nullptr, nullptr);
  std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
  WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                      nullptr, nullptr);
  return out;
}

std::wstring Decode(std::string_view bytes, unsigned int codePage) {
  if (bytes.empty()) return {};
  int n = MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n > 0 ? n : 0), L'\0');
  MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), out.data(), n);
  return out;
}

std::wstring Wide(std::string_view utf8) { return Decode(utf8, CP_UTF8); }

std::string Utf8(std::wstring_view wide) { return Encode(wide, CP_UTF8); }

}  // namespace testing_support
