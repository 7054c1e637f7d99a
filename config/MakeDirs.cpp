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

// The length of `path` when it starts with a drive root and fits the
// buffers, else 0.
size_t DrivePathLength(const wchar_t* path) {
  if (path == nullptr) return 0;
  const size_t n = wcsnlen(path, kBufferUnits);
  if (n >= kBufferUnits) return 0;
  if (n < 3 || path[1] != L':' || path[2] != L'\\' || !IsAsciiLetter(path[0])) return 0;
  return n;
}

// Calls `step(end)` for each component after the root, `end` being the
// index just past it; stops at a bad component (false) or when `step`
// returns false.
template <class Step>
bool ForEachComponent(const wchar_t* path, size_t n, Step step) {
  size_t start = 3;
  while (start < n) {
    size_t end = start;
    while (end < n && path[end] != L'\\') ++end;
    if (!IsComponentSound(path + start, path + end)) return false;
    if (!step(end)) return false;
    start = end + 1;  // past the backslash; a trailing one ends the walk
  }
  return true;
}

}  // namespace

bool IsFolderPath(const wchar_t* path) {
  const size_t n = DrivePathLength(path);
  return n != 0 && ForEachComponent(path, n, [](size_t) { return true; });
}

std::int32_t MakeDirs(const wchar_t* path) {
  const size_t n = DrivePathLength(path);
  if (n == 0) return kFailed;
  wchar_t buffer[kBufferUnits] = {};
  std::wmemcpy(buffer, path, n);
  const wchar_t root[] = {buffer[0], L':', L'\\', L'\0'};
  if (!Exists(root)) return kFailed;

  const bool made = ForEachComponent(buffer, n, [&](size_t end) {
    const wchar_t saved = buffer[end];
    buffer[end] = L'\0';
    CreateDirectoryW(buffer, nullptr);  // it may exist already; checked next
    const bool exists = Exists(buffer);
    buffer[end] = saved;
    return exists;
  });
  return made ? kDone : kFailed;
}
