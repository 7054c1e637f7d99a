#include "pages/FileEntry.h"

#include <cwchar>

bool MakeFileEntry(const wchar_t* path, FileEncoding encoding, FileEntry& entry, UINT codePage) {
  entry = FileEntry{};
  size_t length = wcslen(path);
  if (length >= 260) return false;
  wmemcpy(entry.path, path, length);
  const wchar_t* slash = wcsrchr(path, L'\\');
  const wchar_t* forward = wcsrchr(path, L'/');
  if (forward != nullptr && (slash == nullptr || forward > slash)) slash = forward;
  const wchar_t* name = slash ? slash + 1 : path;
  wmemcpy(entry.name, name, wcslen(name));
  entry.encoding = encoding;
  entry.codePage = encoding == EncAnsi ? codePage : 0;
  return true;
}
