#include "loader/ExeFolder.h"

#include <windows.h>

#include <cwchar>

bool ExeFolder(wchar_t* folder, size_t capacity) {
  if (capacity == 0) return false;
  DWORD n = GetModuleFileNameW(nullptr, folder, static_cast<DWORD>(capacity));
  if (n == 0 || n >= capacity) {
    folder[0] = L'\0';
    return false;
  }
  // Cut after the last backslash: the file name may also occur earlier in
  // the path, as part of a folder's name.
  wchar_t* slash = wcsrchr(folder, L'\\');
  if (!slash) {
    folder[0] = L'\0';
    return false;
  }
  slash[1] = L'\0';
  return true;
}
