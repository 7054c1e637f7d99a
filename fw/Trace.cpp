#include "fw/Trace.h"

#include <windows.h>

#include <exception>
#include <string>

namespace fw {

void TraceCaughtException(const wchar_t* where) noexcept {
  try {
    std::wstring line = L"Tarnwell: ";
    line += where != nullptr ? where : L"?";
    line += L": ";
    try {
      throw;
    } catch (const std::exception& e) {
      const char* what = e.what();
      const int n = MultiByteToWideChar(CP_UTF8, 0, what, -1, nullptr, 0);
      if (n > 1) {
        std::wstring text(static_cast<size_t>(n - 1), L'\0');
        MultiByteToWideChar(CP_UTF8, 0, what, -1, text.data(), n);
        line += text;
      } else {
        line += L"std::exception";
      }
    } catch (...) {
      line += L"an exception of unknown type";
    }
    line += L"\n";
    OutputDebugStringW(line.c_str());
  } catch (...) {
    // Out of memory while tracing: say what can be said without it.
    OutputDebugStringW(L"Tarnwell: an exception was caught at a window boundary\n");
  }
}

}  // namespace fw
