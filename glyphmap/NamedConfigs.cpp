#include "glyphmap/NamedConfigs.h"

#include <windows.h>

#include <stdexcept>

namespace glyphmap {
namespace {

constexpr const char* kNames[] = {"s2t",  "s2tw", "s2twp", "s2hk", "s2hkp",
                                  "t2s",  "tw2s", "tw2sp", "hk2s", "hk2sp"};

}  // namespace

bool IsConfigName(const std::string& name) {
  for (const char* n : kNames) {
    if (name == n) return true;
  }
  return false;
}

std::string ConfigTextByName(const std::string& name, const std::string& folder) {
  if (!IsConfigName(name)) {
    throw std::runtime_error("未知的转换标准 / Unknown conversion configuration: " + name);
  }
  const std::string path = folder + name + ".json";
  int n = MultiByteToWideChar(CP_UTF8, 0, path.data(), static_cast<int>(path.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, path.data(), static_cast<int>(path.size()), wide.data(), n);
  HANDLE file = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  std::string text;
  LARGE_INTEGER size{};
  bool ok = file != INVALID_HANDLE_VALUE && GetFileSizeEx(file, &size) && size.QuadPart < (1 << 20);
  if (ok) {
    text.resize(static_cast<size_t>(size.QuadPart));
    DWORD got = 0;
    ok = text.empty() || (ReadFile(file, text.data(), static_cast<DWORD>(text.size()), &got, nullptr) &&
                          got == text.size());
  }
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  if (!ok) {
    throw std::runtime_error("无法打开转换配置文件 / Cannot open a configuration file: " + path);
  }
  return text;
}

}  // namespace glyphmap
