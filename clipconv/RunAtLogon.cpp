#include "clipconv/RunAtLogon.h"

#include <vector>

namespace {

constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// The running program's path; empty when it cannot be had whole.
std::wstring ProgramPath() {
  std::vector<wchar_t> path(MAX_PATH);
  while (path.size() <= 32768) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) return std::wstring(path.data(), n);
    path.resize(path.size() * 2);
  }
  return {};
}

// The Run key, closed with the object.
class RunKey {
 public:
  explicit RunKey(REGSAM access) {
    result_ = RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, access, nullptr, &key_,
                              nullptr);
  }
  ~RunKey() {
    if (result_ == ERROR_SUCCESS) RegCloseKey(key_);
  }
  RunKey(const RunKey&) = delete;
  RunKey& operator=(const RunKey&) = delete;
  LONG Result() const { return result_; }
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
  LONG result_ = ERROR_INVALID_HANDLE;
};

}  // namespace

std::wstring RunCommandFor(const std::wstring& exePath) { return L"\"" + exePath + L"\""; }

bool RunsAtLogon() {
  RunKey key(KEY_QUERY_VALUE);
  if (key.Result() != ERROR_SUCCESS) return false;
  DWORD type = 0;
  const LONG result = RegQueryValueExW(key.get(), kRunValueName, nullptr, &type, nullptr, nullptr);
  return result == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ);
}

LONG SetRunAtLogon(bool on) {
  RunKey key(KEY_SET_VALUE);
  if (key.Result() != ERROR_SUCCESS) return key.Result();
  if (!on) {
    const LONG result = RegDeleteValueW(key.get(), kRunValueName);
    return result == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : result;
  }
  const std::wstring path = ProgramPath();
  if (path.empty()) return ERROR_FILENAME_EXCED_RANGE;
  const std::wstring command = RunCommandFor(path);
  return RegSetValueExW(key.get(), kRunValueName, 0, REG_SZ,
                        reinterpret_cast<const BYTE*>(command.c_str()),
                        static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
}
