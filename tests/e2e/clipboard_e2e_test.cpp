// tarnwell.exe converting what was copied, as a user meets it: text on the
// real clipboard, the global hotkey pressed from outside the program, the
// converted text read back; the notification; a hotkey another program
// holds, reported in the settings and replaced there; the notification-area
// icon's menu and the close button with the option on and off.
#include <windows.h>
// After windows.h:
#include <gtest/gtest.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "clipconv/ClipboardService.h"
#include "clipconv/ClipboardText.h"
#include "clipconv/HotkeyChoice.h"
#include "config/CfgStore.h"
#include "pages/FilePagesIds.h"
#include "tests/support/RemoteUi.h"
#include "tests/support/ShotHold.h"
#include "tests/support/TempDir.h"
#include "tests/unit/config_file_view.h"

using namespace testing_support;

namespace {

constexpr DWORD kStartMs = 60000;
constexpr DWORD kConvertMs = 60000;
constexpr int kCloseButton = 1013;
constexpr int kSettingButton = 1007;
constexpr std::int32_t kTaiwanStandard = 1;  // 台湾正体

std::wstring ClipboardNow() {
  std::wstring text;
  DWORD sequence = 0;
  ReadClipboardText(nullptr, text, sequence);
  return text;
}

// Presses the hotkey as a keyboard would, whichever window has the focus.
void PressHotkey(const Hotkey& hotkey) {
  std::vector<WORD> keys;
  if (hotkey.modifiers & MOD_CONTROL) keys.push_back(VK_CONTROL);
  if (hotkey.modifiers & MOD_ALT) keys.push_back(VK_MENU);
  if (hotkey.modifiers & MOD_SHIFT) keys.push_back(VK_SHIFT);
  keys.push_back(static_cast<WORD>(hotkey.key));
  std::vector<INPUT> input;
  for (WORD key : keys) {
    INPUT down{};
    down.type = INPUT_KEYBOARD;
    down.ki.wVk = key;
    input.push_back(down);
  }
  for (auto it = keys.rbegin(); it != keys.rend(); ++it) {
    INPUT up{};
    up.type = INPUT_KEYBOARD;
    up.ki.wVk = *it;
    up.ki.dwFlags = KEYEVENTF_KEYUP;
    input.push_back(up);
  }
  SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT));
}

// The program's hidden service window (hotkeys, icon), visible or not.
HWND ServiceWindow(DWORD pid) {
  HWND found = nullptr;
  HWND w = nullptr;
  while ((w = FindWindowExW(nullptr, w, ClipboardService::kClassName, nullptr)) != nullptr) {
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (owner == pid) found = w;
  }
  return found;
}

class ClipboardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t appData[MAX_PATH] = {};
    ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, appData),
              S_OK);
    wchar_t folder[260] = {}, file[260] = {};
    ASSERT_TRUE(CfgStore::ComposeSettingsPath(appData, folder, file));
    SHCreateDirectoryExW(nullptr, folder, nullptr);
    settingsFolder = folder;
    store = std::make_unique<CfgStore>(file);
    store->EnsureCurrent(work.path().c_str());
    SetValue(CFGKEY_STANDARD, kTaiwanStandard);
    SetDefaultClipboardOptions();
    // The user's own entry for Simplified to Traditional.
    WriteFileBytes(WordList(), "# test\n简繁\t簡繁★\n");
  }
  void TearDown() override {
    program.Kill();
    // The hotkeys a test held for "another program", should it have stopped early.
    UnregisterHotKey(nullptr, 77);
    UnregisterHotKey(nullptr, 78);
    // Later tests of this prefix meet the settings of a new user.
    SetValue(CFGKEY_STANDARD, 0);
    SetDefaultClipboardOptions();
    DeleteFileW(WordList().c_str());
  }

  std::wstring WordList() const { return settingsFolder + L"Words-Sim2Tra.txt"; }
  void SetValue(std::int32_t key, std::int32_t value) {
    store->WriteValue(key, &value, sizeof(value));
  }
  void SetDefaultClipboardOptions() {
    SetValue(CFGKEY_HOTKEYS_ON, 1);
    SetValue(CFGKEY_HOTKEY_SIM2TRA, PackHotkey(kDefaultSim2TraHotkey));
    SetValue(CFGKEY_HOTKEY_TRA2SIM, PackHotkey(kDefaultTra2SimHotkey));
    SetValue(CFGKEY_KEEP_IN_TRAY, 0);
  }

  // Starts the program and waits until its hotkeys are in place.
  void StartProgram() {
    ASSERT_TRUE(program.Start(ProgramPath()));
    main = program.WaitMainWindow(kStartMs);
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(WaitFor([&] { return (service = ServiceWindow(program.id())) != nullptr; },
                        kStartMs));
  }

  // Puts `text` on the clipboard, presses the hotkey (or posts the icon
  // menu's command) and waits for the clipboard to change.
  std::wstring Convert(const std::wstring& text, const Hotkey& hotkey, UINT menuCommand = 0) {
    EXPECT_TRUE(PutClipboardText(nullptr, text));
    const DWORD before = GetClipboardSequenceNumber();
    if (menuCommand != 0) {
      PostMessageW(service, WM_COMMAND, menuCommand, 0);
    } else {
      PressHotkey(hotkey);
    }
    EXPECT_TRUE(WaitFor([&] { return GetClipboardSequenceNumber() != before; }, kConvertMs))
        << "the clipboard did not change";
    return ClipboardNow();
  }

  // Waits for the notification to say `text`.
  bool NoticeSays(const std::wstring& text) {
    std::wstring shown;
    const bool said = WaitFor(
        [&] {
          for (HWND w : TopWindows(program.id(), Notification::kClassName)) {
            if ((shown = TextOf(w)) == text) return true;
          }
          return false;
        },
        kConvertMs);
    if (!said) ADD_FAILURE() << "the notification says: " << Utf8(shown);
    return said;
  }
  static std::string Utf8(const std::wstring& w) {
    std::string s(w.size() * 3 + 1, '\0');
    s.resize(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, s.data(),
                                                     static_cast<int>(s.size()), nullptr,
                                                     nullptr) - 1));
    return s;
  }

  TempDir work{L"剪贴板"};
  std::wstring settingsFolder;
  std::unique_ptr<CfgStore> store;
  RemoteProcess program;
  HWND main = nullptr;
  HWND service = nullptr;
};

TEST_F(ClipboardTest, HotkeysConvertTheClipboardWithTheStandardAndTheWordList) {
  StartProgram();
  // 台湾正体 writes 裡 where the generic standard has 裏; the user's entry
  // replaces 简繁 whole.
  EXPECT_EQ(Convert(L"软件里的鼠标。简繁转换", kDefaultSim2TraHotkey), L"軟件裡的鼠標。簡繁★轉換");
  EXPECT_TRUE(NoticeSays(L"已转为繁体: 12 个字符"));
  EXPECT_EQ(Convert(L"軟件裡的鼠標。繁體轉換", kDefaultTra2SimHotkey), L"软件里的鼠标。繁体转换");
  EXPECT_TRUE(NoticeSays(L"已转为简体: 11 个字符"));

  // Nothing to convert: the clipboard is left as it was.
  ASSERT_TRUE(PutClipboardText(nullptr, L"plain text 123"));
  DWORD sequence = GetClipboardSequenceNumber();
  PressHotkey(kDefaultSim2TraHotkey);
  EXPECT_TRUE(NoticeSays(L"没有需要转换的文字"));
  EXPECT_EQ(GetClipboardSequenceNumber(), sequence);

  // No text at all (bytes of a private format): nothing changes.
  const UINT format = RegisterClipboardFormatW(L"Tarnwell test bytes");
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  HGLOBAL bytes = GlobalAlloc(GMEM_MOVEABLE, 16);
  ASSERT_NE(SetClipboardData(format, bytes), nullptr);
  CloseClipboard();
  sequence = GetClipboardSequenceNumber();
  PressHotkey(kDefaultTra2SimHotkey);
  EXPECT_TRUE(NoticeSays(L"剪贴板中没有文字, 未作改动"));
  EXPECT_EQ(GetClipboardSequenceNumber(), sequence);
  EXPECT_TRUE(IsClipboardFormatAvailable(format));
}

TEST_F(ClipboardTest, SeveralMegabytesConvertWhole) {
  StartProgram();
  std::wstring source, expected;
  for (int i = 0; i < 200000; ++i) {
    source += L"简体中文转换。\r\n";
    expected += L"簡體中文轉換。\r\n";
  }
  ASSERT_GT(source.size() * 3, 4u << 20);  // over 4 MB as UTF-8
  EXPECT_TRUE(Convert(source, kDefaultSim2TraHotkey) == expected);
  // Line ends are not counted.
  EXPECT_TRUE(NoticeSays(L"已转为繁体: 1400000 个字符"));
}

// Another program holds Ctrl+Alt+F: the program starts all the same, the
// settings say so, a newly picked key that is held too is asked about, and
// a free one works at once and is kept.
// The keys older programs read stay as they were.
TEST_F(ClipboardTest, AHeldHotkeyIsReportedInTheSettingsAndAnotherCanBePicked) {
  ASSERT_TRUE(RegisterHotKey(nullptr, 77, MOD_CONTROL | MOD_ALT, 'F'));
  StartProgram();
  const config_test::CfgFileView before{ReadFileBytes(store->Path())};

  PostClick(main, kSettingButton);
  HWND settings = WaitForTopWindow(program.id(), L"#32770", L"设置", 20000);
  ASSERT_NE(settings, nullptr);
  HWND status = GetDlgItem(settings, IDC_HOT_STATUS);
  EXPECT_EQ(TextOf(status), L"Ctrl+Alt+F 已被其他程序占用, 请另选一个");
  // Ctrl+Alt+G, picked next, is held too: OK asks, and "yes" (pick
  // another) keeps the dialog open.
  ASSERT_TRUE(RegisterHotKey(nullptr, 78, MOD_CONTROL | MOD_ALT, 'G'));
  HWND key = GetDlgItem(settings, IDC_HOT_S2T_KEY);
  SendMessageW(key, CB_SETCURSEL, KeyChoiceIndex('G'), 0);
  PostClick(settings, IDOK);
  std::wstring question;
  HWND box = WaitForBox(program.id(), &question);
  ASSERT_NE(box, nullptr);
  EXPECT_NE(question.find(L"Ctrl+Alt+G 已被其他程序占用"), std::wstring::npos);
  ASSERT_TRUE(AnswerBox(box, IDYES));
  EXPECT_TRUE(IsWindowVisible(settings));
  UnregisterHotKey(nullptr, 78);
  // Ctrl+Alt+H is free.
  SendMessageW(key, CB_SETCURSEL, KeyChoiceIndex('H'), 0);
  PostClick(settings, IDOK);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(settings); }, 20000));

  const Hotkey picked{MOD_CONTROL | MOD_ALT, 'H'};
  EXPECT_EQ(Convert(L"简体", picked), L"簡體");
  std::int32_t stored = 0;
  store->ReadValue(CFGKEY_HOTKEY_SIM2TRA, &stored, sizeof(stored));
  EXPECT_EQ(stored, PackHotkey(picked));
  // What older programs read, keys 1 to 9, kept its place and value.
  const config_test::CfgFileView after{ReadFileBytes(store->Path())};
  ASSERT_TRUE(after.Sound());
  EXPECT_EQ(after.version(), before.version());
  for (std::int32_t key = 1; key <= 9; ++key) {
    const int i = before.Find(key);
    if (i < 0) continue;
    SCOPED_TRACE(key);
    EXPECT_EQ(after.Find(key), i);
    EXPECT_EQ(after.entry(i).offset, before.entry(i).offset);
    EXPECT_EQ(after.value(i), before.value(i));
  }
}

// With "关闭窗口时保留在通知区域" the close button hides the window; the
// icon's menu converts both ways, opens the window and ends the program.
TEST_F(ClipboardTest, WithTheIconTheCloseButtonHidesAndTheMenuServes) {
  SetValue(CFGKEY_KEEP_IN_TRAY, 1);
  StartProgram();
  PostClick(main, kCloseButton);
  ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(main); }, 20000));
  EXPECT_TRUE(program.Running());

  // A right click on the icon shows its menu; Esc closes it.
  PostMessageW(service, ClipboardService::WM_TRAY_ICON, 1, WM_RBUTTONUP);
  HWND menu = WaitForTopWindow(program.id(), L"#32768", L"", 20000);
  ASSERT_NE(menu, nullptr);
  PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
  ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(menu); }, 20000));

  EXPECT_EQ(Convert(L"简繁转换", {}, ClipboardService::kCmdSim2Tra), L"簡繁★轉換");
  EXPECT_EQ(Convert(L"簡繁轉換", {}, ClipboardService::kCmdTra2Sim), L"简繁转换");

  PostMessageW(service, WM_COMMAND, ClipboardService::kCmdOpenMain, 0);
  ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(main) != FALSE; }, 20000));
  PostClick(main, kCloseButton);
  ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(main); }, 20000));
  // A double click on the icon opens the window too.
  PostMessageW(service, ClipboardService::WM_TRAY_ICON, 1, WM_LBUTTONDBLCLK);
  ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(main) != FALSE; }, 20000));

  // Files handed over by a later start bring the hidden window back.
  PostClick(main, kCloseButton);
  ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(main); }, 20000));
  const std::wstring file = work / L"交给.txt";
  ASSERT_TRUE(WriteFileBytes(file, "简体\r\n"));
  RemoteProcess later;
  ASSERT_TRUE(later.Start(ProgramPath(), L"\"" + file + L"\""));
  EXPECT_TRUE(later.WaitExit(60000));
  EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(main) != FALSE; }, 20000));

  PostMessageW(service, WM_COMMAND, ClipboardService::kCmdExit, 0);
  DWORD code = 1;
  EXPECT_TRUE(program.WaitExit(30000, &code));
  EXPECT_EQ(code, 0u);
}

TEST_F(ClipboardTest, WithoutTheIconTheCloseButtonEndsTheProgram) {
  StartProgram();
  PostClick(main, kCloseButton);
  EXPECT_TRUE(program.WaitExit(30000));
}

// Not a test: the settings' 快捷键 group (with Ctrl+Alt+J held by another
// program) and the notification alone on screen, held for `make screenshots`.
TEST_F(ClipboardTest, DISABLED_Shots) {
  ASSERT_TRUE(RegisterHotKey(nullptr, 78, MOD_CONTROL | MOD_ALT, 'J'));
  StartProgram();
  PostClick(main, kSettingButton);
  HWND settings = WaitForTopWindow(program.id(), L"#32770", L"设置", 20000);
  ASSERT_NE(settings, nullptr);
  HoldForShot("settings-hotkeys", program.id());
  PostClick(settings, IDCANCEL);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(settings); }, 20000));
  ShowWindow(main, SW_HIDE);
  ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(main); }, 20000));
  Convert(L"软件里的鼠标。简繁转换", kDefaultSim2TraHotkey);
  ASSERT_TRUE(NoticeSays(L"已转为繁体: 12 个字符"));
  // The notification stays while the pointer rests on it.
  RECT shown{};
  GetWindowRect(TopWindows(program.id(), Notification::kClassName).at(0), &shown);
  SetCursorPos(shown.right - 6, shown.bottom - 6);
  HoldForShot("notification", program.id());
  UnregisterHotKey(nullptr, 78);
}

}  // namespace
