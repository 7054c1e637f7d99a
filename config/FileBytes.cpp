#include "config/FileBytes.h"

#include <windows.h>

#include <cstring>
#include <new>

#include "fw/Handle.h"

std::uint64_t FileSizeOf(const wchar_t* path) {
  fw::UniqueHandle file(
      CreateFileW(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size{};
  if (!file || !GetFileSizeEx(file.get(), &size)) return 0;
  return static_cast<std::uint64_t>(size.QuadPart);
}

std::unique_ptr<char[]> AllocZeroed(std::size_t size) {
  std::unique_ptr<char[]> p(new (std::nothrow) char[size]);
  if (p) std::memset(p.get(), 0, size);
  return p;
}
