#pragma once
// A fresh folder under the system's temporary folder, removed with its
// contents when the object goes.
#include <string>

namespace testing_support {

class TempDir {
 public:
  // `name` may hold Chinese characters; a counter keeps folders apart.
  explicit TempDir(const std::wstring& name = L"tarnwell-test");
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // The folder, without a trailing backslash.
  const std::wstring& path() const { return path_; }
  std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }

 private:
  std::wstring path_;
};

// The folder of the running test program (where the build put every module).
std::wstring ExeFolder();
bool CopyInto(const std::wstring& file, const std::wstring& folder);
std::string ReadFileBytes(const std::wstring& path);
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);

}  // namespace testing_support
