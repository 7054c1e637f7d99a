#pragma once
// Drives bin/tarnwell.exe from this process as a user would: the settings
// file of the Wine prefix's user set up first, the program started, its
// file pages reached from the entrance page, files chosen in the real
// file-open dialog, and the program terminated at the end whatever
// happened.
#include <windows.h>
// After windows.h:
#include <commctrl.h>
#include <gtest/gtest.h>
#include <shlobj.h>

#include <memory>
#include <string>
#include <vector>

#include "config/CfgStore.h"
#include "engine/ConvConfigs.h"
#include "engine/ConvDirection.h"
#include "glyphmap/glyphmap.h"
#include "tests/support/EngineConvert.h"
#include "tests/support/RemoteUi.h"
#include "tests/support/ShotHold.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestText.h"

namespace filepages_e2e {

using namespace testing_support;

// Ids of the program's windows that the tests touch.
constexpr int kEntranceFileS2T = 1003;
constexpr int kEntranceFileT2S = 1004;
constexpr int kSettingButton = 1007;
constexpr int kCloseButton = 1013;
constexpr int kFileList = 1014;
constexpr int kAdd = 1018;
constexpr int kRemove = 1019;
constexpr int kStart = 1021;
constexpr int kStop = 1009;
constexpr int kFileNameBox = 1148;
constexpr int kEncodingCombo = 1026;
constexpr int kManualRadio = 1028;
constexpr int kAutoRadio = 1027;
constexpr int kOutputEncodingCombo = 1047;
constexpr int kPlaceCombo = 1049;
constexpr int kExistingCombo = 1051;
constexpr int kConvertNamesCheck = 1052;
constexpr wchar_t kDoneQuestion[] = L"处理完成,您是否要打开存储文件夹?";

class ProgramTest : public ::testing::Test {
 protected:
  TempDir work{L"端到端"};
  std::wstring srcDir = work / L"源";
  std::wstring outDir = work / L"输出";
  std::unique_ptr<CfgStore> store;
  std::wstring settingsFile;
  RemoteProcess program;
  HWND main = nullptr;
  std::vector<HWND> explorers;  // folder windows opened for us, closed at the end

  void SetUp() override { StartProgramAt(ExeFolder() + L"\\tarnwell.exe", 30000); }

  // Fresh settings with the test's output folder, then the program at `exe`
  // (with `args`), waiting until its main window shows.
  void StartProgramAt(const std::wstring& exe, DWORD timeoutMs, const std::wstring& args = L"") {
    CreateDirectoryW(srcDir.c_str(), nullptr);
    CreateDirectoryW(outDir.c_str(), nullptr);
    wchar_t appData[MAX_PATH] = {};
    ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, appData),
              S_OK);
    wchar_t folder[260] = {}, file[260] = {};
    ASSERT_TRUE(CfgStore::ComposeSettingsPath(appData, folder, file));
    SHCreateDirectoryExW(nullptr, folder, nullptr);
    settingsFile = file;
    store = std::make_unique<CfgStore>(file);
    store->EnsureCurrent(outDir.c_str());
    ASSERT_GT(store->WriteString(CFGKEY_OUTPUT_DIR, outDir.c_str()), 0);
    SetValue(CFGKEY_ENCODING_MODE, 0);
    SetValue(CFGKEY_ENCODING_INDEX, 0);
    // The output options as a new user has them (an earlier test may have
    // changed them in this prefix's settings).
    // The generic standard too: a screenshot tour may leave another chosen.
    for (std::int32_t key : {CFGKEY_OUTPUT_ENCODING, CFGKEY_OUTPUT_PLACE, CFGKEY_EXISTING_OUTPUT,
                             CFGKEY_CONVERT_NAMES, CFGKEY_INCLUDE_SUBFOLDERS, CFGKEY_STANDARD}) {
      SetValue(key, 0);
    }

    ASSERT_TRUE(program.Start(exe, args)) << "cannot start the program";
    ASSERT_TRUE(WaitFor(
        [&] {
          for (HWND w : TopWindows(program.id())) {
            // Files on the command line show their file page instead of
            // the entrance page.
            if (FindDescendant(w, kEntranceFileS2T, args.empty()) != nullptr) {
              main = w;
              return true;
            }
          }
          return false;
        },
        timeoutMs))
        << "the main window did not appear";
  }

  void TearDown() override {
    program.Kill();
    for (HWND w : explorers) {
      if (IsWindow(w)) PostMessageW(w, WM_CLOSE, 0, 0);
    }
  }

  void SetValue(std::int32_t key, std::int32_t value) {
    store->WriteValue(key, &value, sizeof(value));
  }
  std::int32_t Value(std::int32_t key) {
    std::int32_t value = 0x7777;
    store->ReadValue(key, &value, sizeof(value));
    return value;
  }

  std::wstring Source(const std::wstring& name, const std::string& bytes) {
    WriteFileBytes(srcDir + L"\\" + name, bytes);
    return srcDir + L"\\" + name;
  }
  std::string Output(const std::wstring& name) { return ReadFileBytes(outDir + L"\\" + name); }

  // Shows a file page through the entrance page; returns the page.
  HWND OpenFilePage(bool simplifiedToTraditional) {
    const int id = simplifiedToTraditional ? kEntranceFileS2T : kEntranceFileT2S;
    // The entrance shows again some time after a Back. The main window shows
    // the page it goes to before it hides the one it leaves, so from here the
    // entrance and the page left can both be seen visible for a moment: wait
    // until the page left is hidden, and after the click until the entrance
    // is, so that the list found is the new page's.
    HWND card = nullptr;
    if (!WaitFor([&] {
          card = FindDescendant(main, id);
          return card != nullptr && FindDescendant(main, kFileList) == nullptr;
        })) {
      return nullptr;
    }
    HWND entrance = GetParent(card);
    PostClick(entrance, id);
    HWND list = nullptr;
    WaitFor([&] {
      list = FindDescendant(main, kFileList);
      return list != nullptr && !IsWindowVisible(entrance);
    });
    return list != nullptr && !IsWindowVisible(entrance) ? GetParent(list) : nullptr;
  }
  HWND ListOf(HWND page) { return GetDlgItem(page, kFileList); }

  // The file-open dialog of the program, once it shows.
  HWND WaitForFileDialog() {
    HWND found = nullptr;
    WaitFor(
        [&] {
          for (HWND w : TopWindows(program.id(), L"#32770")) {
            if (FindDescendant(w, kFileNameBox) != nullptr) found = w;
          }
          return found != nullptr;
        },
        20000);
    return found;
  }
  // The edit box of the file name box (id 1148: an edit, or a combo box
  // holding one).
  static HWND FileNameEdit(HWND dialog) {
    const std::vector<HWND> boxes = DescendantsWithId(dialog, kFileNameBox);
    for (HWND w : boxes) {
      if (ClassOf(w) == L"Edit") return w;
    }
    for (HWND w : boxes) {
      DWORD_PTR edit = 0;
      if (ClassOf(w) == L"ComboBoxEx32" &&
          SendMessageTimeoutW(w, CBEM_GETEDITCONTROL, 0, 0, SMTO_ABORTIFHUNG, 5000, &edit) &&
          edit != 0) {
        return reinterpret_cast<HWND>(edit);
      }
      if (HWND inner = FindWindowExW(w, nullptr, L"Edit", nullptr)) return inner;
    }
    return boxes.empty() ? nullptr : boxes.front();
  }
  static BOOL CALLBACK FindFileList(HWND w, LPARAM found) {
    if (ClassOf(w) != L"SysListView32") return TRUE;
    *reinterpret_cast<HWND*>(found) = w;
    return FALSE;
  }
  // Whether the file list of the file-open dialog shows every one of `names`.
  bool ListShowsAll(HWND dialog, const std::vector<std::wstring>& names) {
    HWND view = nullptr;
    EnumChildWindows(dialog, &FindFileList, reinterpret_cast<LPARAM>(&view));
    if (view == nullptr) return false;
    RemoteList files(view, program.id());
    const std::vector<std::wstring> shown = files.Column(0);
    for (const std::wstring& name : names) {
      const std::wstring stem = name.substr(0, name.find_last_of(L'.'));
      bool found = false;
      for (const std::wstring& s : shown) found = found || s == name || s == stem;
      if (!found) return false;
    }
    return true;
  }
  // Types into the file name box and presses Open.
  static void TypeAndOpen(HWND dialog, const std::wstring& text) {
    HWND edit = FileNameEdit(dialog);
    SendMessageTimeoutW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                        SMTO_ABORTIFHUNG, 5000, nullptr);
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  }
  // Add: the real file-open dialog, the folder typed first, then the names
  // quoted, as a user types them. Waits for `expectRows` rows.
  void AddFiles(HWND page, const std::wstring& folder, const std::vector<std::wstring>& names,
                int expectRows) {
    PostClick(page, kAdd);
    HWND dialog = WaitForFileDialog();
    ASSERT_NE(dialog, nullptr) << "no file dialog";
    TypeAndOpen(dialog, folder);
    // The dialog has moved into the folder once its file list shows the
    // names (with or without their extensions).
    ASSERT_TRUE(WaitFor([&] { return ListShowsAll(dialog, names); }, 20000))
        << "the file dialog did not move into the folder";
    std::wstring names_;
    for (const std::wstring& n : names) names_ += L"\"" + n + L"\" ";
    if (names.size() == 1) names_ = names[0];
    TypeAndOpen(dialog, names_);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }, 20000))
        << "the file dialog stayed";
    RemoteList list(ListOf(page), program.id());
    ASSERT_TRUE(WaitFor([&] { return list.Rows() == expectRows; }, 20000))
        << "rows: " << list.Rows();
  }

  // Clicks a row (with Ctrl: adds it to the selection).
  void ClickRow(HWND page, int row, bool control = false) {
    RemoteList list(ListOf(page), program.id());
    POINT pt = list.RowPoint(row);
    SendMessageTimeoutW(ListOf(page), WM_LBUTTONDOWN,
                        control ? MK_CONTROL | MK_LBUTTON : MK_LBUTTON, MAKELPARAM(pt.x, pt.y),
                        SMTO_ABORTIFHUNG, 5000, nullptr);
    PostMessageW(ListOf(page), WM_LBUTTONUP, 0, MAKELPARAM(pt.x, pt.y));
  }
  void DoubleClickRow(HWND page, int row) {
    RemoteList list(ListOf(page), program.id());
    POINT pt = list.RowPoint(row);
    ClickRow(page, row);
    PostMessageW(ListOf(page), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(pt.x, pt.y));
  }

  // A dialog of the program whose window text is `title`.
  HWND WaitForDialog(const std::wstring& title) {
    return WaitForTopWindow(program.id(), L"#32770", title, 20000);
  }

  // Start, then the completion question, answered with `answer`.
  // The progress display of a run, once it shows (null after the wait).
  HWND WaitForProgress() {
    HWND progress = nullptr;
    WaitFor([&] {
      for (HWND w : TopWindows(program.id(), L"#32770")) {
        if (FindDescendant(w, kStop) != nullptr) progress = w;
      }
      return progress != nullptr;
    });
    return progress;
  }
  // Whether `window` went (closed or hidden) within the wait.
  static bool WaitGone(HWND window) {
    return WaitFor([&] { return !IsWindow(window) || !IsWindowVisible(window); });
  }

  void StartAndAnswer(HWND page, int answer, std::wstring* question = nullptr) {
    PostClick(page, kStart);
    std::wstring text;
    HWND box = WaitForBox(program.id(), &text, 120000);
    ASSERT_NE(box, nullptr) << "no completion question";
    if (question != nullptr) *question = text;
    EXPECT_EQ(text, kDoneQuestion);
    ASSERT_TRUE(AnswerBox(box, answer));
  }
};

}  // namespace filepages_e2e
