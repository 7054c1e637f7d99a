// tarnwell.exe under hostile conditions, watched from outside: libraries
// missing beside it, and a settings file held open by another program.
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>

#include "config/CfgStore.h"
#include "tests/support/RemoteUi.h"
#include "tests/support/TempDir.h"

using namespace testing_support;

namespace {

constexpr DWORD kStartMs = 60000;

// A copy of the program and its files, less one library.
class MissingModuleTest : public ::testing::TestWithParam<const wchar_t*> {};

TEST_P(MissingModuleTest, OneMessageNamesItAndWhereItWasLookedFor) {
  const std::wstring missing = GetParam();
  TempDir folder(L"缺少组件");
  const std::wstring bin = ExeFolder();
  for (const wchar_t* pattern : {L"\\*.dll", L"\\*.dat", L"\\*.txt", L"\\*.ocd2"}) {
    WIN32_FIND_DATAW fd;
    HANDLE find = FindFirstFileW((bin + pattern).c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE) continue;
    do {
      if (missing != fd.cFileName) {
        CopyFileW((bin + L"\\" + fd.cFileName).c_str(), (folder / fd.cFileName).c_str(), FALSE);
      }
    } while (FindNextFileW(find, &fd));
    FindClose(find);
  }
  ASSERT_TRUE(CopyFileW(ProgramPath().c_str(), (folder / L"tarnwell.exe").c_str(), FALSE));

  RemoteProcess program;
  ASSERT_TRUE(program.Start(folder / L"tarnwell.exe"));
  HWND box = program.WaitMessageBox(kStartMs);
  ASSERT_NE(box, nullptr) << "the program ended without a word";
  const std::wstring text = TextOf(GetDlgItem(box, 0xFFFF));
  EXPECT_NE(text.find(missing), std::wstring::npos);
  EXPECT_NE(text.find(folder.path() + L"\\"), std::wstring::npos) << "names the folder";
  EXPECT_NE(text.find(L"missing"), std::wstring::npos);
  EXPECT_EQ(program.MainWindow(), nullptr);
  AnswerBox(box, IDOK);
  DWORD code = 0;
  ASSERT_TRUE(program.WaitExit(20000, &code));
  EXPECT_EQ(code, 4u);
}

INSTANTIATE_TEST_SUITE_P(Libraries, MissingModuleTest,
                         ::testing::Values(L"glyphmap.dll", L"modgate.dll"));

std::wstring SettingsFile() {
  wchar_t path[MAX_PATH] = {};
  SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path);
  return std::wstring(path) + L"\\Quorvane\\Tarnwell\\Tarnwell.cfg";
}

TEST(Robustness, ASettingsFileHeldByAnotherProgramIsSaidOnceAndLeftAlone) {
  // A sound file with a setting of the user's own.
  RemoteProcess first;
  ASSERT_TRUE(first.Start(ProgramPath()));
  ASSERT_NE(first.WaitMainWindow(kStartMs), nullptr);
  first.Kill();
  const std::wstring file = SettingsFile();
  {
    CfgStore store(file.c_str());
    ASSERT_TRUE(store.IsCurrent());
    const std::int32_t manual = 1;
    ASSERT_GT(store.WriteValue(CFGKEY_ENCODING_MODE, &manual, sizeof manual), 0);
  }
  const std::string before = ReadFileBytes(file);

  HANDLE held = CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  RemoteProcess program;
  ASSERT_TRUE(program.Start(ProgramPath()));
  HWND box = program.WaitMessageBox(kStartMs);
  ASSERT_NE(box, nullptr);
  const std::wstring text = TextOf(GetDlgItem(box, 0xFFFF));
  EXPECT_NE(text.find(L"正被其他程序使用"), std::wstring::npos);
  EXPECT_NE(text.find(file), std::wstring::npos);
  EXPECT_NE(text.find(L"不会保存"), std::wstring::npos);
  AnswerBox(box, IDOK);
  EXPECT_NE(program.WaitMainWindow(kStartMs), nullptr);
  EXPECT_EQ(program.MessageBoxWindow(), nullptr) << "said once";
  program.Kill();
  CloseHandle(held);
  EXPECT_EQ(ReadFileBytes(file), before);
}

}  // namespace
