// The folder picker's path checks and its create-or-refuse flow, the
// animation player, and the hidden window's dispatch.
#include <windows.h>
#include <io.h>

#include <gtest/gtest.h>

#include <functional>
#include <shlobj.h>
#include <string>
#include <vector>

#include "fw/MessageBox.h"
#include "skin/AnimPlayer.h"
#include "skin/HideWnd.h"
#include "skin/PathDlg.h"
#include "tests/support/TempDir.h"
#include "tests/support/WindowPixels.h"

namespace {

using testing_support::PumpMessages;
using testing_support::TempDir;
using testing_support::WindowPixels;

bool Exists(const std::wstring& path) { return _waccess(path.c_str(), 0) == 0; }

TEST(CheckPath, AcceptsDriveRootsAndSoundComponents) {
  EXPECT_EQ(CheckPath(L"C:\\", FALSE), CHECKPATH_VALID);
  EXPECT_EQ(CheckPath(L"c:\\dir", FALSE), CHECKPATH_VALID);
  EXPECT_EQ(CheckPath(L"C:\\dir\\", FALSE), CHECKPATH_VALID);
  EXPECT_EQ(CheckPath(L"C:\\输出\\文件 夹", FALSE), CHECKPATH_VALID);
  EXPECT_EQ(CheckPath(L"C:\\a.b\\c", FALSE), CHECKPATH_VALID);
}

TEST(CheckPath, RejectsWhatCannotBeAFolder) {
  for (const wchar_t* bad : {L"",
                             L"C:",
                             L"C:dir",
                             L"1:\\dir",
                             L"\\\\server\\share",
                             L"C:/dir",
                             L"C:\\dir\\\\sub",
                             L"C:\\ lead",
                             L"C:\\trail ",
                             L"C:\\.git",
                             L"C:\\dir.",
                             L"C:\\a*b",
                             L"C:\\a?b",
                             L"C:\\a|b",
                             L"C:\\a<b",
                             L"C:\\a>b",
                             L"C:\\a\"b",
                             L"C:\\a:b",
                             L"C:\\a/b",
                             L"C:\\\ttab"}) {
    EXPECT_EQ(CheckPath(bad, FALSE), CHECKPATH_INVALID) << bad;
  }
  EXPECT_EQ(CheckPath(nullptr, FALSE), CHECKPATH_INVALID);
  // An existing drive root is a folder in create mode too; an over-long
  // path is refused, not cut.
  EXPECT_EQ(CheckPath(L"C:\\", TRUE), CHECKPATH_VALID);
  std::wstring tooLong = L"C:\\" + std::wstring(300, L'a');
  EXPECT_EQ(CheckPath(tooLong.c_str(), FALSE), CHECKPATH_INVALID);
}

TEST(CheckPath, CreateModeMakesEveryLevel) {
  TempDir dir(L"路径");
  std::wstring deep = dir / L"新建\\子目录";
  EXPECT_EQ(CheckPath(deep.c_str(), TRUE), CHECKPATH_VALID);
  EXPECT_TRUE(Exists(deep));
  // A bad component stops creation there.
  std::wstring bad = dir / L"好\\坏?\\后";
  EXPECT_EQ(CheckPath(bad.c_str(), TRUE), CHECKPATH_INVALID);
  EXPECT_TRUE(Exists(dir / L"好"));
  EXPECT_FALSE(Exists(dir / L"好\\坏?"));
}

// Drives the shell's browser as a user would: once it is up, types each
// of `typed` into the path box and presses OK, then cancels if still open.
class PickerDriver {
 public:
  PickerDriver(vek_PathDlg& picker, std::vector<std::wstring> typed)
      : picker_(picker), typed_(std::move(typed)) {
    self_ = this;
    timer_ = SetTimer(nullptr, 0, 50, &PickerDriver::Tick);
  }
  ~PickerDriver() {
    KillTimer(nullptr, timer_);
    self_ = nullptr;
  }
  bool okEnabledAfterTyping = false;
  std::wstring titleSeen;
  // Runs once on the browser before anything is typed.
  std::function<void(HWND)> firstLook;

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (self_ != nullptr) self_->Step();
  }
  void Step() {
    HWND wnd = picker_.browseWnd;
    if (wnd == nullptr || !IsWindow(wnd) || busy_) return;
    busy_ = true;  // message boxes are answered by hook, but stay safe
    wchar_t title[100] = {};
    GetWindowTextW(wnd, title, 100);
    titleSeen = title;
    if (firstLook) {
      firstLook(wnd);
      firstLook = nullptr;
    }
    if (next_ < typed_.size()) {
      SetDlgItemTextW(wnd, BROWSE_EDIT_ID, typed_[next_++].c_str());
      okEnabledAfterTyping = IsWindowEnabled(GetDlgItem(wnd, IDOK)) != FALSE;
      SendMessageW(wnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                   reinterpret_cast<LPARAM>(GetDlgItem(wnd, IDOK)));
    } else {
      PostMessageW(wnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                   reinterpret_cast<LPARAM>(GetDlgItem(wnd, IDCANCEL)));
    }
    busy_ = false;
  }

  static inline PickerDriver* self_ = nullptr;
  vek_PathDlg& picker_;
  std::vector<std::wstring> typed_;
  size_t next_ = 0;
  UINT_PTR timer_ = 0;
  bool busy_ = false;
};

class PathDlgTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CoInitialize(nullptr);
    lstrcpynW(picker.caption, L"设置", 260);
    lstrcpynW(picker.initialPath, dir.path().c_str(), 260);
    picker.info.lpszTitle = L"请选择一个文件夹";
  }
  void TearDown() override { CoUninitialize(); }

  TempDir dir{L"选择"};
  vek_PathDlg picker;
  std::vector<fw::MessageBoxCall> boxes;
  int answer = IDYES;
  fw::ScopedMessageBoxHook hook{[this](const fw::MessageBoxCall& call) {
    boxes.push_back(call);
    return (call.type & MB_YESNO) ? answer : IDOK;
  }};
};

TEST_F(PathDlgTest, AMissingFolderIsCreatedOnYes) {
  std::wstring wanted = dir / L"新的\\子";
  PickerDriver driver(picker, {wanted});
  EXPECT_EQ(picker.Browse(), 1);
  EXPECT_EQ(driver.titleSeen, L"设置");
  EXPECT_TRUE(driver.okEnabledAfterTyping);
  EXPECT_TRUE(Exists(wanted));
  EXPECT_EQ(std::wstring(picker.chosenPath), wanted);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, wanted + L"\n\nThe directory not exist,are you want to create it?");
  EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
}

TEST_F(PathDlgTest, NoCreatesNothingAndKeepsTheBrowserOpen) {
  answer = IDNO;
  std::wstring wanted = dir / L"不要";
  PickerDriver driver(picker, {wanted, L"1:\\bad"});
  EXPECT_EQ(picker.Browse(), -1);  // cancelled in the end
  EXPECT_FALSE(Exists(wanted));
  ASSERT_EQ(boxes.size(), 3u);
  EXPECT_EQ(boxes[1].text, wanted + L"\n\nThe path is invalidate,please input again! ");
  EXPECT_EQ(boxes[1].type, static_cast<UINT>(MB_ICONEXCLAMATION));
  EXPECT_EQ(boxes[2].text, L"1:\\bad\n\nThe path is invalidate,please input again! ");
}

TEST_F(PathDlgTest, AVirtualFolderEmptiesThePathUntilOneIsTyped) {
  PickerDriver driver(picker, {dir.path()});
  std::wstring pathAfterSelect = L"?";
  bool okAfterSelect = true;
  driver.firstLook = [&](HWND wnd) {
    // The shell tells the picker that "My Computer" was chosen in the tree.
    LPITEMIDLIST computer = nullptr;
    ASSERT_EQ(SHGetSpecialFolderLocation(wnd, CSIDL_DRIVES, &computer), S_OK);
    vek_PathDlg::BrowseCallback(wnd, BFFM_SELCHANGED, reinterpret_cast<LPARAM>(computer),
                                reinterpret_cast<LPARAM>(&picker));
    CoTaskMemFree(computer);
    wchar_t text[260] = {};
    GetDlgItemTextW(wnd, BROWSE_EDIT_ID, text, 260);
    pathAfterSelect = text;
    okAfterSelect = IsWindowEnabled(GetDlgItem(wnd, IDOK)) != FALSE;
  };
  EXPECT_EQ(picker.Browse(), 1);
  EXPECT_EQ(pathAfterSelect, L"");
  EXPECT_FALSE(okAfterSelect);
  EXPECT_TRUE(driver.okEnabledAfterTyping);
  EXPECT_EQ(std::wstring(picker.chosenPath), dir.path());
}

TEST_F(PathDlgTest, AnExistingFolderIsTakenAsItIs) {
  PickerDriver driver(picker, {dir.path()});
  EXPECT_EQ(picker.Browse(), 1);
  EXPECT_TRUE(boxes.empty());
  EXPECT_EQ(std::wstring(picker.chosenPath), dir.path());
}

TEST_F(PathDlgTest, AFileOfThatNameIsRefusedWithoutAnOfferToCreate) {
  const std::wstring file = dir / L"文件.txt";
  HANDLE h = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  CloseHandle(h);
  PickerDriver driver(picker, {file});
  EXPECT_EQ(picker.Browse(), -1);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, file + L"\n\nThe path is invalidate,please input again! ");
}

class AnimTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(host.Create(L"", WS_POPUP, RECT{0, 0, 100, 100}, HWND{}));
    ASSERT_TRUE(anim.Create(L"", WS_CHILD | WS_VISIBLE, RECT{0, 0, 16, 16}, host.m_hWnd));
    host.ShowWindow(SW_SHOWNOACTIVATE);
    // 18 frames of 16 by 16, frame i in its own grey.
    HBITMAP strip = testing_support::MakeBitmap(16 * 18, 16, [](int x, int) {
      int i = x / 16;
      return RGB(10 * i, 10 * i, 10 * i);
    });
    ASSERT_TRUE(anim.frames.Create(16, 16, ILC_COLOR32 | ILC_MASK, 18, 0));
    anim.frames.Add(strip, RGB(255, 0, 255));
    DeleteObject(strip);
    anim.frameCount = 18;
  }
  void TearDown() override { host.DestroyWindow(); }
  COLORREF Shown() {
    HDC dc = GetDC(anim.m_hWnd);
    COLORREF c = GetPixel(dc, 8, 8);
    ReleaseDC(anim.m_hWnd, dc);
    return c;
  }
  void Tick() { anim.SendMessage(WM_TIMER, ANIM_TIMER_ID); }

  fw::CStatic host;
  vek_AnimPlayer anim;
};

TEST_F(AnimTest, PlaysEveryFrameAndWraps) {
  ASSERT_EQ(anim.frames.GetImageCount(), 18);
  for (int i = 0; i < 18; ++i) {
    Tick();
    EXPECT_EQ(Shown(), RGB(10 * i, 10 * i, 10 * i)) << i;
  }
  EXPECT_EQ(anim.frame, 18);
  Tick();
  EXPECT_EQ(Shown(), RGB(0, 0, 0));
  EXPECT_EQ(anim.frame, 1);
}

TEST_F(AnimTest, PausedOrOtherTimersKeepThePicture) {
  Tick();
  Tick();
  Tick();  // showing frame 2
  anim.paused = TRUE;
  Tick();
  EXPECT_EQ(anim.frame, 3);
  EXPECT_EQ(Shown(), RGB(20, 20, 20));
  anim.paused = FALSE;
  anim.SendMessage(WM_TIMER, 5);
  EXPECT_EQ(anim.frame, 3);
  Tick();
  EXPECT_EQ(Shown(), RGB(30, 30, 30));
}

class RecordingOwner : public vek_HideWnd {
 public:
  std::vector<UINT> seen;
  UINT claim = WM_USER + 901;
  LRESULT OnWndMsg(HWND, UINT msg, WPARAM wp, LPARAM, BOOL* handled) override {
    seen.push_back(msg);
    if (msg != claim) return 99;  // a result that must not be used
    *handled = TRUE;
    return 1234 + static_cast<LRESULT>(wp);
  }
};

TEST(HiddenWindow, HandsMessagesToItsObject) {
  ATOM atom = RegisterHiddenClass(L"tarnwell-test-hidden");
  ASSERT_NE(atom, 0);
  EXPECT_EQ(RegisterHiddenClass(L"tarnwell-test-hidden"), 0);  // already there
  HWND wnd = CreateWindowExW(0, L"tarnwell-test-hidden", L"809726CD", WS_OVERLAPPEDWINDOW, 100, 100,
                             100, 100, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(wnd, nullptr);
  // Without an object the default procedure answers.
  EXPECT_EQ(SendMessageW(wnd, WM_USER + 901, 1, 0), 0);
  RecordingOwner owner;
  SetWindowLongPtrW(wnd, GWLP_USERDATA,
                    reinterpret_cast<LONG_PTR>(static_cast<vek_HideWnd*>(&owner)));
  EXPECT_EQ(SendMessageW(wnd, WM_USER + 901, 6, 0), 1240);
  wchar_t title[40] = {};
  // Not handled: the default procedure answers WM_GETTEXT.
  EXPECT_EQ(SendMessageW(wnd, WM_GETTEXT, 40, reinterpret_cast<LPARAM>(title)), 8);
  EXPECT_STREQ(title, L"809726CD");
  EXPECT_NE(std::find(owner.seen.begin(), owner.seen.end(), static_cast<UINT>(WM_GETTEXT)),
            owner.seen.end());

  vek_InstWnd inst;
  SetWindowLongPtrW(wnd, GWLP_USERDATA,
                    reinterpret_cast<LONG_PTR>(static_cast<vek_HideWnd*>(&inst)));
  EXPECT_EQ(SendMessageW(wnd, WM_USER + 901, 6, 0), 0);
  DestroyWindow(wnd);
}

}  // namespace
