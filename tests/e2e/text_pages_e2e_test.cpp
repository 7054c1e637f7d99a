// The text pages of tarnwell.exe, used from outside as a user would: pick a
// task on the entrance page, type into the upper box, Convert, read the
// lower box; an empty upper box gives the program's message.
#include <windows.h>
// After windows.h:
#include <gtest/gtest.h>
#include <shlobj.h>

#include <string>

#include "config/CfgStore.h"
#include "tests/support/RemoteUi.h"
#include "tests/support/TempDir.h"

using namespace testing_support;

namespace {

constexpr DWORD kStartMs = 60000;
constexpr int kEntranceS2T = 1001;
constexpr int kEntranceT2S = 1000;
constexpr int kSourceEdit = 1005;
constexpr int kResultEdit = 1006;
constexpr int kBack = 1010;
constexpr int kCloseButton = 1013;

class TextPagesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(program.Start(ProgramPath()));
    main = program.WaitMainWindow(kStartMs);
    ASSERT_NE(main, nullptr);
  }
  void TearDown() override { program.Kill(); }

  // Clicks an entrance card and returns the page it shows.
  HWND Enter(int card) {
    HWND entrance = VisiblePageWith(main, card);
    EXPECT_NE(entrance, nullptr);
    if (entrance == nullptr) return nullptr;
    Click(GetDlgItem(entrance, card));
    HWND page = nullptr;
    WaitFor([&] { return (page = VisiblePageWith(main, kSourceEdit)) != nullptr; }, 10000);
    return page;
  }
  // Types, converts, and waits for the lower box to change from `before`.
  std::wstring Convert(HWND page, const std::wstring& source, const std::wstring& before = L"") {
    EXPECT_TRUE(SetTextOf(GetDlgItem(page, kSourceEdit), source));
    Click(GetDlgItem(page, IDOK));
    HWND result = GetDlgItem(page, kResultEdit);
    std::wstring text;
    WaitFor([&] {
      text = TextOf(result);
      return text != before && IsWindowEnabled(main);
    }, 30000);
    return text;
  }

  RemoteProcess program;
  HWND main = nullptr;
};

TEST_F(TextPagesTest, SimplifiedToTraditionalAndBack) {
  HWND s2t = Enter(kEntranceS2T);
  ASSERT_NE(s2t, nullptr);
  // The Back button shows just after the page.
  EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(GetDlgItem(main, kBack)) != FALSE; }, 10000));
  EXPECT_EQ(Convert(s2t, L"简体中文转换为繁体，发展后的软件。\r\n第二行"),
            L"簡體中文轉換爲繁體，發展後的軟件。\r\n第二行");
  EXPECT_EQ(TextOf(GetDlgItem(s2t, kSourceEdit)), L"简体中文转换为繁体，发展后的软件。\r\n第二行");

  Click(GetDlgItem(main, kBack));
  ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(s2t); }, 10000));
  HWND t2s = Enter(kEntranceT2S);
  ASSERT_NE(t2s, nullptr);
  ASSERT_NE(t2s, s2t);
  EXPECT_EQ(Convert(t2s, L"繁體中文轉換爲簡體，發展後的軟件。"),
            L"繁体中文转换为简体，发展后的软件。");
}

TEST_F(TextPagesTest, AnEmptySourceGivesTheMessageWithTheProductTitle) {
  HWND page = Enter(kEntranceS2T);
  ASSERT_NE(page, nullptr);
  ASSERT_TRUE(SetTextOf(GetDlgItem(page, kSourceEdit), L""));
  Click(GetDlgItem(page, IDOK));
  HWND box = program.WaitMessageBox(10000);
  ASSERT_NE(box, nullptr);
  wchar_t caption[64] = {};
  GetWindowTextW(box, caption, 64);
  EXPECT_STREQ(caption, L"Quorvane简体繁体字转换器");
  EXPECT_EQ(TextOf(GetDlgItem(box, 0xFFFF)), L"请先添加需要处理的内容再执行该操作.");
  EXPECT_FALSE(IsWindowEnabled(main)) << "the page stays covered while the box is up";
  AnswerBox(box, IDOK);
  EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(main); }, 10000));
  EXPECT_EQ(TextOf(GetDlgItem(page, kResultEdit)), L"");
}

TEST_F(TextPagesTest, TheCloseButtonEndsTheProgramCleanlyAfterAConversion) {
  wchar_t appData[MAX_PATH] = {}, folder[260] = {}, file[260] = {};
  ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, 0, appData), S_OK);
  ASSERT_TRUE(CfgStore::ComposeSettingsPath(appData, folder, file));
  const std::string settings = ReadFileBytes(file);
  ASSERT_FALSE(settings.empty()) << "the start wrote the settings";

  HWND page = Enter(kEntranceS2T);
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(Convert(page, L"头发"), L"頭髮");
  Click(GetDlgItem(main, kCloseButton));
  DWORD code = 99;
  ASSERT_TRUE(program.WaitExit(30000, &code)) << "the close button did not end the program";
  EXPECT_EQ(code, 0u);
  EXPECT_EQ(ReadFileBytes(file), settings);
  EXPECT_TRUE(CfgStore(file).IsCurrent());
}

}  // namespace
