// Linked into every test program: the run stops at once when the system's
// ANSI code page is not the one the runner's locale asks for (936 under the
// default zh_CN runner, 950 under TARNWELL_LOCALE=zh_TW.UTF-8). Without it a
// missing locale falls back to code page 1252 and the Traditional variants
// would pass while testing the Simplified system again.
#include <windows.h>
// After windows.h:
#include <gtest/gtest.h>

#include <string>

namespace {

UINT ExpectedCodePage() {
  wchar_t locale[64] = {};
  const DWORD n = GetEnvironmentVariableW(L"TARNWELL_LOCALE", locale, 64);
  const std::wstring name = n > 0 && n < 64 ? locale : L"zh_CN.UTF-8";
  return name.rfind(L"zh_TW", 0) == 0 ? 950 : 936;
}

class CodePageCheck : public ::testing::Environment {
 public:
  void SetUp() override {
    ASSERT_EQ(GetACP(), ExpectedCodePage()) << "the runner's locale did not take effect";
  }
};

const auto* const kRegistered = ::testing::AddGlobalTestEnvironment(new CodePageCheck);

}  // namespace
