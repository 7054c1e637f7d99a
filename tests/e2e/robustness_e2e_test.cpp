// tarnwell.exe under hostile conditions, watched from outside: a huge text
// sent from another process, libraries missing beside it, a settings file
// held open by another program, and two copies writing one output file.
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/support/ProgramDriver.h"
#include "tests/support/TempDir.h"

using namespace testing_support;

namespace {

constexpr DWORD kStartMs = 60000;
constexpr int kEntranceS2T = 1001;
constexpr int kSourceEdit = 1005;
constexpr int kResultEdit = 1006;

HWND EnterPage(HWND main, int card, int control) {
  HWND entrance = VisiblePageWith(main, card);
  if (entrance == nullptr) return nullptr;
  Click(GetDlgItem(entrance, card));
  HWND page = nullptr;
  WaitFor([&] { return (page = VisiblePageWith(main, control)) != nullptr; }, 10000);
  return page;
}

TEST(Robustness, AHugeTextFromAnotherProcessDoesNotEndTheProgram) {
  ProgramProcess program;
  ASSERT_TRUE(program.Start(ProgramPath()));
  HWND main = program.WaitMainWindow(kStartMs);
  ASSERT_NE(main, nullptr);
  HWND page = EnterPage(main, kEntranceS2T, kSourceEdit);
  ASSERT_NE(page, nullptr);
  // About a million UTF-16 units in one message from this process.
  const std::wstring huge(1000000, L'汉');
  DWORD_PTR result = 0;
  SendMessageTimeoutW(GetDlgItem(page, kSourceEdit), WM_SETTEXT, 0,
                      reinterpret_cast<LPARAM>(huge.c_str()), SMTO_ABORTIFHUNG, 30000, &result);
  // The program still answers and converts.
  ASSERT_TRUE(SetTextOf(GetDlgItem(page, kSourceEdit), L"发展"));
  Click(GetDlgItem(page, IDOK));
  std::wstring text;
  WaitFor([&] {
    text = TextOf(GetDlgItem(page, kResultEdit));
    return text == L"發展";
  }, 30000);
  EXPECT_EQ(text, L"發展");
  EXPECT_TRUE(program.Running());
}

}  // namespace
