#include "glyphmap/NamedConfigs.h"

#include <windows.h>

#include <stdexcept>

#include "engine/ConvConfigs.h"

namespace glyphmap {
namespace {

constexpr const char* kFileNames[] = {"s2tw", "s2twp", "s2hk", "s2hkp",
                                      "tw2s", "tw2sp", "hk2s", "hk2sp"};

bool IsFileName(const std::string& name) {
  for (const char* n : kFileNames) {
    if (name == n) return true;
  }
  return false;
}

}  // namespace

bool IsConfigName(const std::string& name) {
  return name == "s2t" || name == "t2s" || IsFileName(name);
}

std::string ConfigTextByName(const std::string& name, const std::string& folder) {
  if (name == "s2t") return std::string(kConvConfigSim2Tra);
  if (name == "t2s") return std::string(kConvConfigTra2Sim);
  if (!IsFileName(name)) {
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
