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
constexpr int kProofCount = 1070;
constexpr int kProofSource = 1073;
constexpr int kProofResult = 1074;

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

// The program's popup menu showing now, or null.
HWND ShownMenu(DWORD pid) {
  for (HWND w : TopWindows(pid, L"#32768")) {
    if (IsWindowVisible(w)) return w;
  }
  return nullptr;
}

// Clicks the character at `pos` of an edit box of another process.
void ClickCharacter(HWND edit, int pos) {
  const LRESULT at = SendMessageW(edit, EM_POSFROMCHAR, static_cast<WPARAM>(pos), 0);
  const int x = static_cast<short>(LOWORD(at)) + 3, y = static_cast<short>(HIWORD(at)) + 5;
  PostMessageW(edit, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  PostMessageW(edit, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

// Opens the menu of the place at `pos` and picks its item by keys: `downs`
// presses of Down (Up when negative), then Enter.
bool PickFromPlaceMenu(DWORD pid, HWND edit, int pos, int downs) {
  ClickCharacter(edit, pos);
  HWND menu = nullptr;
  if (!WaitFor([&] { return (menu = ShownMenu(pid)) != nullptr; }, 10000)) return false;
  for (int i = 0; i < (downs < 0 ? -downs : downs); ++i) {
    PostMessageW(menu, WM_KEYDOWN, downs < 0 ? VK_UP : VK_DOWN, 0);
  }
  PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
  return WaitFor([&] { return ShownMenu(pid) == nullptr; }, 10000);
}

TEST_F(TextPagesTest, APlaceIsMarkedAndFixedFromItsMenuAndRememberedInTheWordList) {
  wchar_t appData[MAX_PATH] = {}, folder[260] = {}, file[260] = {};
  ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, 0, appData), S_OK);
  ASSERT_TRUE(CfgStore::ComposeSettingsPath(appData, folder, file));
  const std::wstring list = std::wstring(folder) + L"\\Words-Sim2Tra.txt";
  DeleteFileW(list.c_str());

  HWND page = Enter(kEntranceS2T);
  ASSERT_NE(page, nullptr);
  // 发 after 理了 is hair, but alone its entry gives 發 first.
  ASSERT_EQ(Convert(page, L"他理了发。她也理了发。"), L"他理了發。她也理了發。");
  HWND result = GetDlgItem(page, kResultEdit);
  EXPECT_EQ(TextOf(GetDlgItem(page, kProofCount)), L"2 处一对多, 请校对");

  // The second candidate of the first place: 髮.
  ASSERT_TRUE(PickFromPlaceMenu(program.id(), result, 3, 2));
  EXPECT_TRUE(WaitFor([&] { return TextOf(result) == L"他理了髮。她也理了發。"; }, 10000)) << TextOf(result);
  EXPECT_EQ(TextOf(GetDlgItem(page, kProofCount)), L"1 处一对多, 请校对");

  // The last item of the second place's menu makes it permanent: the
  // dialog proposes the word around it, here changed to the hair.
  ASSERT_TRUE(PickFromPlaceMenu(program.id(), result, 9, -1));
  HWND dialog = nullptr;
  ASSERT_TRUE(WaitFor([&] {
    for (HWND w : WindowsTitled(L"以后都这样转换")) {
      if (IsWindowVisible(w)) dialog = w;
    }
    return dialog != nullptr;
  }, 10000));
  EXPECT_EQ(TextOf(GetDlgItem(dialog, kProofSource)), L"了发");
  EXPECT_EQ(TextOf(GetDlgItem(dialog, kProofResult)), L"了發");
  ASSERT_TRUE(SetTextOf(GetDlgItem(dialog, kProofResult), L"了髮"));
  PostClick(dialog, IDOK);
  EXPECT_TRUE(WaitFor([&] { return TextOf(result) == L"他理了髮。她也理了髮。"; }, 10000)) << TextOf(result);
  EXPECT_EQ(TextOf(GetDlgItem(page, kProofCount)), L"");
  const std::string words = ReadFileBytes(list);
  EXPECT_NE(words.find("\n了发\t了髮\r\n"), std::string::npos) << words;

  // The next conversion takes the entry: only the place outside it is left.
  EXPECT_EQ(Convert(page, L"理了发，发", L"他理了髮。她也理了髮。"), L"理了髮，發");
  EXPECT_EQ(TextOf(GetDlgItem(page, kProofCount)), L"1 处一对多, 请校对");
  DeleteFileW(list.c_str());
}

TEST_F(TextPagesTest, F8AndShiftF8MoveBetweenThePlacesWithTheFocusOnTheConvertButton) {
  HWND page = Enter(kEntranceS2T);
  ASSERT_NE(page, nullptr);
  ASSERT_EQ(Convert(page, L"他理了发。她也理了发。我也理了发。"), L"他理了發。她也理了發。我也理了發。");
  HWND result = GetDlgItem(page, kResultEdit);
  auto selection = [&] { return static_cast<DWORD>(SendMessageW(result, EM_GETSEL, 0, 0)); };
  // The key as the Convert button, which has the focus after its click,
  // receives it: each press selects the next place in the lower box.
  for (const DWORD place : {MAKELONG(3, 4), MAKELONG(9, 10)}) {
    PostMessageW(GetDlgItem(page, IDOK), WM_KEYDOWN, VK_F8, 0);
    EXPECT_TRUE(WaitFor([&] { return selection() == place; }, 10000))
        << LOWORD(selection()) << "-" << HIWORD(selection());
  }
  // Shift+F8 from the keyboard goes back to the first place (F8 would
  // go on to the third).
  SetForegroundWindow(main);
  INPUT keys[4]{};
  const WORD order[4] = {VK_SHIFT, VK_F8, VK_F8, VK_SHIFT};
  for (int i = 0; i < 4; ++i) {
    keys[i].type = INPUT_KEYBOARD;
    keys[i].ki.wVk = order[i];
    keys[i].ki.dwFlags = i < 2 ? 0 : KEYEVENTF_KEYUP;
  }
  ASSERT_EQ(SendInput(4, keys, sizeof(INPUT)), 4u);
  EXPECT_TRUE(WaitFor([&] { return selection() == MAKELONG(3, 4); }, 10000))
      << LOWORD(selection()) << "-" << HIWORD(selection());
}

}  // namespace
