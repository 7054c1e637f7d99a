#include "glyphmap/ModuleFolder.h"

#include <windows.h>

#include "glyphmap/Utf8.h"

namespace glyphmap {

std::wstring OwnModulePath() {
  HMODULE self = nullptr;
  if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                              GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          reinterpret_cast<LPCWSTR>(&OwnModulePath), &self)) {
    return {};
  }
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = GetModuleFileNameW(self, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

std::string OwnFolderUtf8() {
  std::wstring path = OwnModulePath();
  size_t cut = path.find_last_of(L"\\/");
  if (cut == std::wstring::npos) return {};
  path.resize(cut + 1);
  return Utf8FromWide(path);
}

}  // namespace glyphmap
