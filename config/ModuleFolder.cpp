#include "config/ModuleFolder.h"

#include <windows.h>

#include <cstring>
#include <cwchar>

namespace {
constexpr int kDestinationUnits = MAX_PATH;  // 260
constexpr DWORD kPathUnits = 512;
}  // namespace

std::int32_t FolderOfPath(const wchar_t* modulePath, wchar_t* destination) {
  if (!modulePath) return 0;
  // The last backslash, not the first occurrence of the file's name: a
  // folder may carry that name too ("C:\tarnwell.exe.d\tarnwell.exe").
  const wchar_t* last = std::wcsrchr(modulePath, L'\\');
  if (!last) return 0;
  const auto n = static_cast<std::int32_t>(last - modulePath + 1);
  if (n < kDestinationUnits && destination) {
    std::memset(destination, 0, kDestinationUnits * sizeof(wchar_t));
    std::memcpy(destination, modulePath, n * sizeof(wchar_t));
  }
  return n;
}

std::int32_t ModuleFolder(wchar_t* destination) {
  wchar_t path[kPathUnits] = {};
  DWORD got = GetModuleFileNameW(nullptr, path, kPathUnits);
  // A path that filled the buffer was cut short: no trustworthy folder.
  if (got == 0 || got >= kPathUnits) return 0;
  return FolderOfPath(path, destination);
}
