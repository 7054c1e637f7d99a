#include "config/MakeDirs.h"

#include <windows.h>

#include <io.h>

#include <cwchar>

namespace {

constexpr std::int32_t kDone = 0;
constexpr std::int32_t kFailed = 2;
constexpr size_t kBufferUnits = MAX_PATH;  // 260

bool Exists(const wchar_t* path) { return _waccess(path, 0) == 0; }

bool IsAsciiLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

bool IsEdgeForbidden(wchar_t c) { return c == L'.' || c == L' ' || c == L'\t'; }

bool IsComponentSound(const wchar_t* begin, const wchar_t* end) {
  if (begin == end) return false;
  if (IsEdgeForbidden(*begin) || IsEdgeForbidden(end[-1])) return false;
  for (const wchar_t* p = begin; p != end; ++p) {
    if (std::wcschr(L"\"*/:<>?\\|", *p) && *p != L'\0') return false;
  }
  return true;
}

}  // namespace

std::int32_t MakeDirs(const wchar_t* path) {
  if (!path) return kFailed;
  const size_t n = std::wcslen(path);
  if (n >= kBufferUnits) return kFailed;
  wchar_t buffer[kBufferUnits] = {};
  std::wmemcpy(buffer, path, n);

  if (n < 3 || buffer[1] != L':' || buffer[2] != L'\\') return kFailed;
  if (!IsAsciiLetter(buffer[0])) return kFailed;
  const wchar_t root[] = {buffer[0], L':', L'\\', L'\0'};
  if (!Exists(root)) return kFailed;

  size_t start = 3;
  while (start < n) {
    size_t end = start;
    while (end < n && buffer[end] != L'\\') ++end;
    if (!IsComponentSound(buffer + start, buffer + end)) return kFailed;
    const wchar_t saved = buffer[end];
    buffer[end] = L'\0';
    CreateDirectoryW(buffer, nullptr);  // it may exist already; checked next
    const bool made = Exists(buffer);
    buffer[end] = saved;
    if (!made) return kFailed;
    start = end + 1;  // past the backslash; a trailing one ends the walk
  }
  return kDone;
}
