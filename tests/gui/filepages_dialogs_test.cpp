// The settings dialog and the file encoding dialog over the real resource
// pack and a settings file of the test's own.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "fw/Handle.h"
#include "fw/MessageBox.h"
#include "pages/DlgFileEditor.h"
#include "pages/DlgSetting.h"
#include "pages/UserWords.h"
#include "pages/FilePagesIds.h"
#include "tests/support/FilePageHarness.h"
#include "tests/support/WindowPixels.h"

namespace {

using filepages_test::Click;
using filepages_test::RunModalWith;
using filepages_test::TestSettings;
using testing_support::PumpMessages;
using testing_support::TempDir;

bool IsFolder(const std::wstring& path) {
  DWORD a = GetFileAttributesW(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// The settings dialog with a picker that accepts a given folder (or is
// cancelled) instead of the shell's browser.
class SettingDlg : public CDlgSetting {
 public:
  using CDlgSetting::CDlgSetting;
  std::wstring pickerAnswer;  // empty: the picker is cancelled
  std::wstring pickerStart;   // the folder the picker was opened on
  int pickerRuns = 0;
  std::vector<ConvDirection> listsOpened;  // "编辑自定义词汇" clicks

 protected:
  int RunPicker(vek_PathDlg& picker) override {
    ++pickerRuns;
    pickerStart = picker.initialPath;
    if (pickerAnswer.empty()) return -1;
    wcsncpy(picker.chosenPath, pickerAnswer.c_str(), 259);
    return 1;
  }
  bool OpenWordList(ConvDirection direction) override {
    listsOpened.push_back(direction);
    return true;
  }
};

class SettingsDialog : public ::testing::Test {
 protected:
  TestSettings settings;
  std::vector<fw::MessageBoxCall> boxes;
  int boxAnswer = IDNO;
  fw::ScopedMessageBoxHook hook{[this](const fw::MessageBoxCall& call) {
    boxes.push_back(call);
    return (call.type & MB_YESNO) != 0 ? boxAnswer : IDOK;
  }};

  void Open(SettingDlg& dlg) {
    ASSERT_TRUE(dlg.Create(IDD_SETTINGS_DLG, nullptr));
    dlg.ShowWindow(SW_SHOW);
    PumpMessages();
  }
  static void Type(SettingDlg& dlg, const std::wstring& text) {
    SetDlgItemTextW(dlg.m_hWnd, IDC_SET_FOLDEREDIT, text.c_str());
  }
};

TEST_F(SettingsDialog, OpensWithTheStoredFolderModeAndEncoding) {
  SettingDlg dlg(*settings.store);
  Open(dlg);
  EXPECT_EQ(dlg.folderEdit.GetWindowText(), settings.outDir);
  EXPECT_EQ(dlg.autoRadio.GetCheck(), BST_CHECKED);
  EXPECT_EQ(dlg.manualRadio.GetCheck(), BST_UNCHECKED);
  ASSERT_EQ(dlg.encodingCombo.GetCount(), 4);
  EXPECT_EQ(dlg.encodingCombo.GetCurSel(), 0);
  EXPECT_EQ(dlg.encodingCombo.GetLBText(0), L"ANSI");
  EXPECT_EQ(dlg.encodingCombo.GetLBText(2), L"Unicode big endian");
  EXPECT_EQ(dlg.title, L"设置");
  // The face sets the window's size; the controls sit where the skin says.
  RECT rc = dlg.GetWindowRect();
  EXPECT_EQ(rc.right - rc.left, 520);
  EXPECT_EQ(rc.bottom - rc.top, 515);
  RECT edit = dlg.folderEdit.GetWindowRect();
  POINT at{edit.left, edit.top};
  ScreenToClient(dlg.m_hWnd, &at);
  EXPECT_EQ(at.x, 96);
  EXPECT_EQ(at.y, 41);
  dlg.DestroyWindow();
}

// A settings file another program holds is waited for once as the dialog
// opens, not once for each setting it shows.
TEST_F(SettingsDialog, ASettingsFileHeldElsewhereIsWaitedForOnceAsItOpens) {
  int waits = 0;
  settings.store->SetRetryWait([&waits](DWORD) { ++waits; });
  HANDLE held = CreateFileW(settings.store->Path(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  {
    SettingDlg dlg(*settings.store);
    Open(dlg);
    dlg.DestroyWindow();
  }
  CloseHandle(held);
  EXPECT_EQ(waits, CfgStore::kOpenAttempts - 1);
}

TEST_F(SettingsDialog, TheStandardIsChosenOnceForBothDirectionsAndStoredOnOk) {
  // A settings file from before the choice lacks the key: the generic one.
  ASSERT_EQ(settings.Value(CFGKEY_STANDARD), 0x7777);
  {
    SettingDlg dlg(*settings.store);
    Open(dlg);
    ASSERT_EQ(dlg.standardCombo.GetCount(), 5);
    EXPECT_EQ(dlg.standardCombo.GetCurSel(), 0);
    EXPECT_EQ(dlg.standardCombo.GetLBText(0), L"通用繁体");
    EXPECT_EQ(dlg.standardCombo.GetLBText(2), L"台湾正体·常用词汇");
    dlg.standardCombo.SetCurSel(2);
    Click(dlg.m_hWnd, IDC_SET_WORDS_T2S);
    Click(dlg.m_hWnd, IDC_SET_WORDS_S2T);
    EXPECT_EQ(dlg.listsOpened, (std::vector<ConvDirection>{Tra2Sim, Sim2Tra}));
    Click(dlg.m_hWnd, IDOK);
    EXPECT_FALSE(dlg.IsWindowVisible());
    dlg.DestroyWindow();
  }
  EXPECT_EQ(settings.Value(CFGKEY_STANDARD), 2);
  EXPECT_EQ(CurrentConvOptions(*settings.store, Sim2Tra).standard, 2);
  EXPECT_EQ(CurrentConvOptions(*settings.store, Tra2Sim).standard, 2);
  // A value this program does not know (a newer one's) reads as generic.
  settings.SetValue(CFGKEY_STANDARD, 9);
  SettingDlg dlg(*settings.store);
  Open(dlg);
  EXPECT_EQ(dlg.standardCombo.GetCurSel(), 0);
  Click(dlg.m_hWnd, IDCANCEL);
  EXPECT_EQ(settings.Value(CFGKEY_STANDARD), 9);
  dlg.DestroyWindow();
}

TEST_F(SettingsDialog, AWordListIsCreatedWithItsHeaderAndNeverOverwritten) {
  const std::wstring path = WordListPath(*settings.store, Tra2Sim);
  EXPECT_EQ(path, settings.dir / L"Words-Tra2Sim.txt");
  ASSERT_TRUE(EnsureWordList(path, Tra2Sim));
  const std::string header = testing_support::ReadFileBytes(path);
  EXPECT_EQ(header.rfind("# ", 0), 0u) << header;
  EXPECT_NE(header.find("\t"), std::string::npos);
  testing_support::WriteFileBytes(path, "滑鼠\t鼠标\n");
  ASSERT_TRUE(EnsureWordList(path, Tra2Sim));
  EXPECT_EQ(testing_support::ReadFileBytes(path), "滑鼠\t鼠标\n");
  EXPECT_FALSE(EnsureWordList(settings.dir / L"无此目录\\Words-Sim2Tra.txt", Sim2Tra));
}

TEST_F(SettingsDialog, ManualModeAndEncodingAreStoredOnOk) {
  settings.SetValue(CFGKEY_ENCODING_MODE, 1);
  settings.SetValue(CFGKEY_ENCODING_INDEX, 2);
  {
    SettingDlg dlg(*settings.store);
    Open(dlg);
    EXPECT_EQ(dlg.manualRadio.GetCheck(), BST_CHECKED);
    EXPECT_EQ(dlg.encodingCombo.GetCurSel(), 2);
    dlg.DestroyWindow();
  }
  settings.SetValue(CFGKEY_ENCODING_MODE, 0);
  SettingDlg dlg(*settings.store);
  Open(dlg);
  dlg.autoRadio.SetCheck(BST_UNCHECKED);
  dlg.manualRadio.SetCheck(BST_CHECKED);
  dlg.encodingCombo.SetCurSel(3);
  Click(dlg.m_hWnd, IDOK);
  EXPECT_FALSE(dlg.IsWindowVisible());
  EXPECT_EQ(settings.Value(CFGKEY_ENCODING_MODE), 1);
  EXPECT_EQ(settings.Value(CFGKEY_ENCODING_INDEX), 3);
  EXPECT_EQ(settings.Folder(), settings.outDir);
  EXPECT_TRUE(boxes.empty());
  dlg.DestroyWindow();
}

TEST_F(SettingsDialog, OutputOptionsOpenAsStoredAreStoredOnOkAndDiscardedOnCancel) {
  {
    // A settings file without the keys: how outputs were always written.
    SettingDlg dlg(*settings.store);
    Open(dlg);
    ASSERT_EQ(dlg.outputEncodingCombo.GetCount(), 6);
    EXPECT_EQ(dlg.outputEncodingCombo.GetLBText(5), L"与源文件相同");
    EXPECT_EQ(dlg.outputEncodingCombo.GetCurSel(), 0);
    EXPECT_EQ(dlg.placeCombo.GetCurSel(), 0);
    EXPECT_EQ(dlg.existingCombo.GetCurSel(), 0);
    EXPECT_EQ(dlg.convertNamesCheck.GetCheck(), BST_UNCHECKED);
    EXPECT_EQ(dlg.subFoldersCheck.GetCheck(), BST_UNCHECKED);
    dlg.outputEncodingCombo.SetCurSel(4);
    dlg.existingCombo.SetCurSel(2);
    dlg.placeCombo.SetCurSel(1);
    dlg.standardCombo.SetCurSel(1);
    SendMessageW(dlg.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_OUT_PLACE_COMBO, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(dlg.placeCombo.m_hWnd));
    // The line under the options says what the name becomes there.
    EXPECT_NE(dlg.outputHint.GetWindowText().find(L"字幕(台湾正体).srt 或 字幕(简体).srt"),
              std::wstring::npos);
    // Clicked as the user clicks them: the boxes tick themselves.
    SendMessageW(dlg.convertNamesCheck.m_hWnd, BM_CLICK, 0, 0);
    SendMessageW(dlg.subFoldersCheck.m_hWnd, BM_CLICK, 0, 0);
    Click(dlg.m_hWnd, IDCANCEL);
    dlg.DestroyWindow();
  }
  EXPECT_EQ(settings.Value(CFGKEY_OUTPUT_ENCODING), 0x7777) << "Cancel stores nothing";
  {
    SettingDlg dlg(*settings.store);
    Open(dlg);
    dlg.outputEncodingCombo.SetCurSel(5);
    dlg.existingCombo.SetCurSel(1);
    dlg.placeCombo.SetCurSel(1);
    // Clicked as the user clicks them: the boxes tick themselves.
    SendMessageW(dlg.convertNamesCheck.m_hWnd, BM_CLICK, 0, 0);
    SendMessageW(dlg.subFoldersCheck.m_hWnd, BM_CLICK, 0, 0);
    Click(dlg.m_hWnd, IDOK);
    EXPECT_FALSE(dlg.IsWindowVisible());
    dlg.DestroyWindow();
  }
  for (auto [key, value] : {std::pair{CFGKEY_OUTPUT_ENCODING, 5}, {CFGKEY_OUTPUT_PLACE, 1},
                            {CFGKEY_EXISTING_OUTPUT, 1}, {CFGKEY_CONVERT_NAMES, 1},
                            {CFGKEY_INCLUDE_SUBFOLDERS, 1}}) {
    EXPECT_EQ(settings.Value(key), value) << key;
  }
  SettingDlg dlg(*settings.store);
  Open(dlg);
  EXPECT_EQ(dlg.outputEncodingCombo.GetCurSel(), 5);
  EXPECT_EQ(dlg.convertNamesCheck.GetCheck(), BST_CHECKED);
  dlg.DestroyWindow();
}

TEST_F(SettingsDialog, CancelAndCloseDiscardModeAndEncoding) {
  for (int button : {IDCANCEL, IDC_CLOSE_BTN}) {
    SettingDlg dlg(*settings.store);
    Open(dlg);
    dlg.autoRadio.SetCheck(BST_UNCHECKED);
    dlg.manualRadio.SetCheck(BST_CHECKED);
    dlg.encodingCombo.SetCurSel(1);
    Type(dlg, settings.dir / L"别处");
    Click(dlg.m_hWnd, button);
    EXPECT_FALSE(dlg.IsWindowVisible()) << button;
    EXPECT_EQ(settings.Value(CFGKEY_ENCODING_MODE), 0) << button;
    EXPECT_EQ(settings.Value(CFGKEY_ENCODING_INDEX), 0) << button;
    EXPECT_EQ(settings.Folder(), settings.outDir) << button;
    dlg.DestroyWindow();
  }
}

TEST_F(SettingsDialog, FolderFromThePickerIsStoredAtOnceEvenOnCancel) {
  const std::wstring chosen = settings.dir / L"选中的文件夹";
  CreateDirectoryW(chosen.c_str(), nullptr);
  SettingDlg dlg(*settings.store);
  Open(dlg);
  dlg.pickerAnswer = chosen;
  Click(dlg.m_hWnd, IDC_SET_BROWSE);
  EXPECT_EQ(dlg.pickerRuns, 1);
  EXPECT_EQ(dlg.pickerStart, settings.outDir);
  EXPECT_EQ(settings.Folder(), chosen);
  EXPECT_EQ(dlg.folderEdit.GetWindowText(), chosen);
  Click(dlg.m_hWnd, IDCANCEL);
  EXPECT_EQ(settings.Folder(), chosen);
  dlg.DestroyWindow();
}

TEST_F(SettingsDialog, CancelledPickerChangesNothing) {
  SettingDlg dlg(*settings.store);
  Open(dlg);
  Click(dlg.m_hWnd, IDC_SET_BROWSE);
  EXPECT_EQ(dlg.pickerRuns, 1);
  EXPECT_EQ(settings.Folder(), settings.outDir);
  EXPECT_EQ(dlg.folderEdit.GetWindowText(), settings.outDir);
  dlg.DestroyWindow();
}

TEST_F(SettingsDialog, TypedExistingFolderIsKeptOnOk) {
  const std::wstring typed = settings.dir / L"手输";
  CreateDirectoryW(typed.c_str(), nullptr);
  SettingDlg dlg(*settings.store);
  Open(dlg);
  Type(dlg, typed);
  Click(dlg.m_hWnd, IDOK);
  EXPECT_TRUE(boxes.empty());
  EXPECT_FALSE(dlg.IsWindowVisible());
  EXPECT_EQ(settings.Folder(), typed);
  dlg.DestroyWindow();
}

TEST_F(SettingsDialog, TypedDriveRootIsKeptOnOk) {
  SettingDlg dlg(*settings.store);
  Open(dlg);
  Type(dlg, L"C:\\");
  Click(dlg.m_hWnd, IDOK);
  EXPECT_TRUE(boxes.empty());
  EXPECT_EQ(settings.Folder(), L"C:\\");
  dlg.DestroyWindow();
}

TEST_F(SettingsDialog, TypedMissingFolderIsCreatedWhenTheUserAgrees) {
  const std::wstring typed = settings.dir / L"新\\文件夹";
  SettingDlg dlg(*settings.store);
  Open(dlg);
  Type(dlg, typed);
  boxAnswer = IDYES;
  Click(dlg.m_hWnd, IDOK);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_NE(boxes[0].text.find(typed), std::wstring::npos);
  EXPECT_EQ(boxes[0].type & MB_YESNO, static_cast<UINT>(MB_YESNO));
  EXPECT_TRUE(IsFolder(typed));
  EXPECT_EQ(settings.Folder(), typed);
  EXPECT_FALSE(dlg.IsWindowVisible());
  dlg.DestroyWindow();
}

TEST_F(SettingsDialog, RefusedOrInvalidFolderWarnsAndTheDialogStays) {
  settings.SetValue(CFGKEY_ENCODING_INDEX, 1);
  const std::wstring missing = settings.dir / L"不要建";
  for (const std::wstring& typed :
       {missing, std::wstring(L"相对\\路径"), std::wstring(L"C:\\a?b"), std::wstring()}) {
    boxes.clear();
    SettingDlg dlg(*settings.store);
    Open(dlg);
    Type(dlg, typed);
    dlg.encodingCombo.SetCurSel(3);
    boxAnswer = IDNO;
    Click(dlg.m_hWnd, IDOK);
    ASSERT_FALSE(boxes.empty()) << typed;
    const fw::MessageBoxCall& warning = boxes.back();
    EXPECT_NE(warning.text.find(L"The path is invalidate"), std::wstring::npos) << typed;
    EXPECT_EQ(warning.text.find(typed), 0u) << typed;
    EXPECT_TRUE(dlg.IsWindowVisible()) << typed;
    EXPECT_EQ(settings.Folder(), settings.outDir) << typed;
    // Nothing of the dialog was stored.
    EXPECT_EQ(settings.Value(CFGKEY_ENCODING_INDEX), 1) << typed;
    dlg.DestroyWindow();
  }
  EXPECT_FALSE(IsFolder(missing));
}

TEST_F(SettingsDialog, IndexOutsideTheListOpensUnselectedAndOkStoresMinusOne) {
  settings.SetValue(CFGKEY_ENCODING_INDEX, 7);
  SettingDlg dlg(*settings.store);
  Open(dlg);
  EXPECT_EQ(dlg.encodingCombo.GetCurSel(), -1);
  Click(dlg.m_hWnd, IDOK);
  EXPECT_EQ(settings.Value(CFGKEY_ENCODING_INDEX), -1);
  dlg.DestroyWindow();
}

TEST_F(SettingsDialog, ModalRunEndsWithOk) {
  SettingDlg dlg(*settings.store);
  INT_PTR result = RunModalWith([&] { return dlg.DoModalFor(nullptr); },
                                [&] {
                                  dlg.manualRadio.SetCheck(BST_CHECKED);
                                  dlg.autoRadio.SetCheck(BST_UNCHECKED);
                                  Click(dlg.m_hWnd, IDOK);
                                });
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(settings.Value(CFGKEY_ENCODING_MODE), 1);
}

// ---- the file encoding dialog ----

FileEntry EntryWith(FileEncoding encoding) {
  FileEntry entry;
  MakeFileEntry(L"C:\\文档\\测试.txt", encoding, entry);
  return entry;
}

TEST(FileEditorDialog, OpensWithTheEntrysEncodingSelected) {
  for (FileEncoding encoding : {EncAnsi, EncUtf16, EncUtf16Be, EncUtf8}) {
    FileEntry entry = EntryWith(encoding);
    CDlgFileEditor dlg(&entry);
    ASSERT_TRUE(dlg.Create(IDD_ENCODING_DLG, nullptr));
    ASSERT_EQ(dlg.encodingCombo.GetCount(), 4);
    EXPECT_EQ(dlg.encodingCombo.GetCurSel(), encoding);
    EXPECT_EQ(dlg.title, L"文件设置");
    dlg.DestroyWindow();
  }
}

TEST(FileEditorDialog, OkGivesTheChosenEncodingAndLeavesTheEntryAlone) {
  FileEntry entry = EntryWith(EncAnsi);
  entry.codePage = 950;
  CDlgFileEditor dlg(&entry);
  INT_PTR result = RunModalWith([&] { return dlg.DoModalFor(nullptr); },
                                [&] {
                                  dlg.encodingCombo.SetCurSel(EncUtf16Be);
                                  Click(dlg.m_hWnd, IDOK);
                                });
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(dlg.selection, EncUtf16Be);
  EXPECT_EQ(entry.encoding, EncAnsi);
  EXPECT_EQ(entry.codePage, 950u);
}

// Ends a modal run that did not end by itself: its result is then -1.
void CALLBACK GiveUpOnTheModalRun(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  PostQuitMessage(0);
}

// The window with the focus once it is `dialog` or one of its controls, or
// after 10 s. A new window's activation reaches it through the display
// server, later than its first timer on a busy machine; its messages are
// handled here meanwhile (a WM_QUIT is put back for the modal loop).
HWND WaitForFocusIn(HWND dialog) {
  const DWORD start = GetTickCount();
  HWND focus = GetFocus();
  while (focus != dialog && !IsChild(dialog, focus) && GetTickCount() - start < 10000) {
    MSG msg;
    if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        break;
      }
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    } else {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
    focus = GetFocus();
  }
  return focus;
}

TEST(FileEditorDialog, CancelCloseAndEscEndWithCancel) {
  constexpr int kEscKey = -1;  // the Esc key, typed into the dialog's focus
  for (int way : {IDCANCEL, IDC_CLOSE_BTN, kEscKey}) {
    UINT_PTR giveUp = 0;
    FileEntry entry = EntryWith(EncUtf8);
    CDlgFileEditor dlg(&entry);
    INT_PTR result = RunModalWith([&] { return dlg.DoModalFor(nullptr); },
                                  [&] {
                                    dlg.encodingCombo.SetCurSel(EncUtf16);
                                    if (way != kEscKey) {
                                      Click(dlg.m_hWnd, way);
                                      return;
                                    }
                                    // First, so that a failure below ends the run.
                                    giveUp = SetTimer(nullptr, 0, 30000, GiveUpOnTheModalRun);
                                    HWND focus = WaitForFocusIn(dlg.m_hWnd);
                                    ASSERT_TRUE(focus == dlg.m_hWnd || IsChild(dlg.m_hWnd, focus));
                                    // Through the modal loop, as typed.
                                    PostMessageW(focus, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
                                    PostMessageW(focus, WM_KEYUP, VK_ESCAPE, 0xC0010001);
                                  });
    if (giveUp != 0) KillTimer(nullptr, giveUp);
    MSG quit;
    PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);  // the give-up's, if any
    EXPECT_EQ(result, IDCANCEL) << way;
    EXPECT_EQ(dlg.selection, EncUtf8) << way;
  }
}

TEST(FileEditorDialog, EncodingOutsideTheListOpensUnselectedAndOkGivesMinusOne) {
  FileEntry entry = EntryWith(9);
  CDlgFileEditor dlg(&entry);
  INT_PTR result = RunModalWith([&] { return dlg.DoModalFor(nullptr); },
                                [&] {
                                  EXPECT_EQ(dlg.encodingCombo.GetCurSel(), -1);
                                  Click(dlg.m_hWnd, IDOK);
                                });
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(dlg.selection, -1);
}

}  // namespace

namespace {

TEST(FileEditorDialog, OpensCentredOverItsOwner) {
  fw::CStatic owner;
  ASSERT_TRUE(owner.Create(L"", WS_POPUP | WS_VISIBLE, RECT{100, 80, 880, 600}, HWND{}));
  FileEntry entry = EntryWith(EncUtf8);
  CDlgFileEditor dlg(&entry);
  RECT placed{};
  RunModalWith([&] { return dlg.DoModalFor(owner.m_hWnd); },
               [&] {
                 placed = dlg.GetWindowRect();
                 Click(dlg.m_hWnd, IDCANCEL);
               });
  EXPECT_EQ(placed.right - placed.left, 520);
  EXPECT_EQ(placed.left, 100 + (780 - 520) / 2);
  EXPECT_EQ(placed.top, 80 + (520 - 260) / 2);
  owner.DestroyWindow();
}

}  // namespace

namespace {

// Every way a save can fail keeps the dialog open and names what failed.
TEST_F(SettingsDialog, AFailedSaveKeepsTheDialogOpenAndSaysWhatFailed) {
  const std::wstring cfg = settings.store->Path();
  struct Case {
    const char* what;
    std::function<CfgStore*()> make;  // the store the dialog saves to
    const wchar_t* said;
  };
  fw::UniqueHandle held;
  TempDir other(L"设置失败");
  ASSERT_TRUE(testing_support::WriteFileBytes(other / L"是文件", "x"));
  CfgStore underAFile((other / L"是文件\\Tarnwell.cfg").c_str());
  // Every slot of the table taken: the three start-up keys and 97 others.
  CfgStore fullTable((other / L"Tarnwell.cfg").c_str());
  ASSERT_TRUE(fullTable.Reset());
  ASSERT_GT(fullTable.WriteString(CFGKEY_OUTPUT_DIR, settings.outDir.c_str()), 0);
  for (std::int32_t key : {CFGKEY_ENCODING_MODE, CFGKEY_ENCODING_INDEX}) {
    ASSERT_GT(fullTable.WriteValue(key, &key, sizeof key), 0);
  }
  for (std::int32_t key = 1000; key < 1097; ++key) ASSERT_GT(fullTable.WriteValue(key, &key, 4), 0);
  const Case cases[] = {
      // (A read-only file would do on Windows; Wine running as root writes it.)
      {"file held by another program",
       [&] {
         held.reset(CreateFileW(cfg.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
         return settings.store.get();
       },
       L"输出文件夹"},
      {"settings folder is a file", [&] { return &underAFile; }, L"输出文件夹"},
      {"table full", [&] { return &fullTable; }, L"繁体标准"},
  };
  for (const Case& c : cases) {
    boxes.clear();
    CfgStore* store = c.make();
    SettingDlg dlg(*store);
    Open(dlg);
    Type(dlg, settings.outDir);
    Click(dlg.m_hWnd, IDOK);
    EXPECT_TRUE(dlg.IsWindowVisible()) << c.what;
    ASSERT_EQ(boxes.size(), 1u) << c.what;
    EXPECT_NE(boxes[0].text.find(L"设置未能保存"), std::wstring::npos) << c.what;
    EXPECT_NE(boxes[0].text.find(c.said), std::wstring::npos) << c.what;
    EXPECT_NE(boxes[0].text.find(store->Path()), std::wstring::npos) << c.what;
    dlg.DestroyWindow();
    held.reset();
  }
}

// A settings entry stored at a wrong size (key 2 as two bytes) is stored
// anew at its right size: OK saves, says so once, and the next OK is quiet.
TEST_F(SettingsDialog, AnEntryOfAnotherSizeIsRewrittenAtItsSizeAndToldOnce) {
  {
    // The file as a damaged writer left it: the mode at two bytes.
    TempDir scratch(L"设置大小");
    CfgStore damaged((scratch / L"Tarnwell.cfg").c_str());
    ASSERT_TRUE(damaged.Reset());
    const std::int16_t shortMode = 0;
    ASSERT_GT(damaged.WriteString(CFGKEY_OUTPUT_DIR, settings.outDir.c_str()), 0);
    ASSERT_GT(damaged.WriteValue(CFGKEY_ENCODING_MODE, &shortMode, sizeof shortMode), 0);
    ASSERT_TRUE(testing_support::WriteFileBytes(
        settings.store->Path(), testing_support::ReadFileBytes(scratch / L"Tarnwell.cfg")));
  }
  for (int round = 0; round < 2; ++round) {
    boxes.clear();
    SettingDlg dlg(*settings.store);
    Open(dlg);
    dlg.autoRadio.SetCheck(BST_UNCHECKED);
    dlg.manualRadio.SetCheck(BST_CHECKED);
    Click(dlg.m_hWnd, IDOK);
    EXPECT_FALSE(dlg.IsWindowVisible()) << round;
    if (round == 0) {
      ASSERT_EQ(boxes.size(), 1u);
      EXPECT_NE(boxes[0].text.find(L"已按正确的大小重新写入"), std::wstring::npos) << boxes[0].text;
    } else {
      EXPECT_TRUE(boxes.empty()) << "told once";
    }
    EXPECT_EQ(settings.Value(CFGKEY_ENCODING_MODE), 1) << round;
    dlg.DestroyWindow();
  }
}

}  // namespace
