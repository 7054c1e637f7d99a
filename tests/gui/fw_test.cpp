// The framework layer, driven in-process: binding objects to windows,
// dispatch, reflection of control notifications, modal and modeless
// dialogs with data exchange, and the GDI guards.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "fw/App.h"
#include "fw/Controls.h"
#include "fw/Dialog.h"
#include "fw/FileDialog.h"
#include "fw/Gdi.h"
#include "fw/GdiObjects.h"
#include "tests/gui/fw_dialogs.h"
#include "tests/support/TempDir.h"
#include "tests/support/WindowPixels.h"

namespace {

using testing_support::PumpMessages;

// A button that records what reaches it and may take its own commands.
class ProbeButton : public fw::CButton {
 public:
  bool takeCommands = false;
  std::vector<UINT> reflected;
  POINT lastDown{-1, -1};
  bool throwOnDown = false;

 protected:
  bool OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override {
    reflected.push_back(msg);
    if (msg == WM_COMMAND && takeCommands) {
      *result = 0;
      return true;
    }
    if (msg == WM_DRAWITEM) {
      *result = TRUE;
      return true;
    }
    return false;
  }
  void OnLButtonDown(UINT flags, POINT pt) override {
    if (throwOnDown) throw std::runtime_error("handler failed");
    lastDown = pt;
  }
};

// A static that answers its own colour requests.
class ProbeStatic : public fw::CStatic {
 public:
  HBRUSH brush = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));

 protected:
  bool OnChildNotify(UINT msg, WPARAM, LPARAM, LRESULT* result) override {
    if (msg != WM_CTLCOLORSTATIC) return false;
    *result = reinterpret_cast<LRESULT>(brush);
    return true;
  }
};

class ProbeList : public fw::CListCtrl {
 public:
  std::vector<UINT> codes;

 protected:
  bool OnChildNotify(UINT msg, WPARAM, LPARAM lp, LRESULT* result) override {
    if (msg != WM_NOTIFY) return false;
    codes.push_back(reinterpret_cast<NMHDR*>(lp)->code);
    *result = 77;
    return true;
  }
};

class PlainDlg : public fw::CDialog {
 public:
  explicit PlainDlg(UINT id = IDD_FW_PLAIN) : fw::CDialog(id, nullptr) {}
  ProbeButton button;
  ProbeButton ownerDraw;
  ProbeStatic label;
  ProbeList list;
  fw::CString text = L"初始";
  int checked = 1;
  std::vector<UINT> commands;
  int destroyed = 0;

 protected:
  void DoDataExchange(fw::CDataExchange* dx) override {
    fw::DDX_Control(dx, IDC_FW_BUTTON, button);
    fw::DDX_Control(dx, IDC_FW_OWNERDRAW, ownerDraw);
    fw::DDX_Control(dx, IDC_FW_STATIC, label);
    fw::DDX_Control(dx, IDC_FW_LIST, list);
    fw::DDX_Text(dx, IDC_FW_EDIT, text);
    fw::DDX_Check(dx, IDC_FW_CHECK, checked);
  }
  BOOL OnCommand(WPARAM wp, LPARAM lp) override {
    commands.push_back(LOWORD(wp));
    return fw::CDialog::OnCommand(wp, lp);
  }
  HBRUSH OnCtlColor(HDC dc, HWND ctl, UINT type) override {
    return static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
  }
  void OnDestroy() override {
    ++destroyed;
    fw::CDialog::OnDestroy();
  }
};

TEST(FwWindow, BindsOneObjectPerWindowAndDispatchesTypedHandlers) {
  PlainDlg dlg;
  ASSERT_TRUE(dlg.Create(IDD_FW_PLAIN, nullptr));
  HWND buttonWnd = dlg.GetDlgItem(IDC_FW_BUTTON);
  EXPECT_EQ(fw::CWnd::FromHandle(dlg.m_hWnd), &dlg);
  EXPECT_EQ(fw::CWnd::FromHandle(buttonWnd), &dlg.button);
  EXPECT_EQ(dlg.button.m_hWnd, buttonWnd);
  EXPECT_EQ(dlg.button.GetParent(), &dlg);

  // A window takes one object only.
  fw::CButton other;
  EXPECT_FALSE(other.SubclassWindow(buttonWnd));
  EXPECT_EQ(fw::CWnd::FromHandle(buttonWnd), &dlg.button);

  SendMessageW(buttonWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, -4));
  EXPECT_EQ(dlg.button.lastDown.x, 3);
  EXPECT_EQ(dlg.button.lastDown.y, -4);
  SendMessageW(buttonWnd, WM_LBUTTONUP, 0, MAKELPARAM(3, 4));

  // Data went into the controls at initialisation.
  EXPECT_EQ(dlg.GetDlgItem(IDC_FW_EDIT) != nullptr, true);
  wchar_t buf[32] = {};
  GetDlgItemTextW(dlg.m_hWnd, IDC_FW_EDIT, buf, 32);
  EXPECT_STREQ(buf, L"初始");
  EXPECT_EQ(IsDlgButtonChecked(dlg.m_hWnd, IDC_FW_CHECK), BST_CHECKED);

  dlg.DestroyWindow();
  EXPECT_EQ(dlg.destroyed, 1);
  EXPECT_EQ(dlg.m_hWnd, nullptr);
  EXPECT_EQ(dlg.button.m_hWnd, nullptr);
}

TEST(FwWindow, NoExceptionLeavesAHandler) {
  PlainDlg dlg;
  ASSERT_TRUE(dlg.Create(IDD_FW_PLAIN, nullptr));
  dlg.button.throwOnDown = true;
  EXPECT_EQ(SendMessageW(dlg.button.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, 0), 0);
  EXPECT_TRUE(IsWindow(dlg.button.m_hWnd));
  dlg.DestroyWindow();
}

TEST(FwWindow, DroppingTheObjectLeavesTheControlWorking) {
  PlainDlg dlg;
  ASSERT_TRUE(dlg.Create(IDD_FW_PLAIN, nullptr));
  HWND edit = dlg.GetDlgItem(IDC_FW_EDIT);
  {
    fw::CEdit temp;
    ASSERT_TRUE(temp.SubclassWindow(edit));
    EXPECT_EQ(fw::CWnd::FromHandle(edit), &temp);
  }
  EXPECT_EQ(fw::CWnd::FromHandle(edit), nullptr);
  EXPECT_TRUE(IsWindow(edit));
  SetWindowTextW(edit, L"still there");
  wchar_t buf[32] = {};
  GetWindowTextW(edit, buf, 32);
  EXPECT_STREQ(buf, L"still there");
  dlg.DestroyWindow();

  // A modeless dialog's window goes with its object.
  HWND gone = nullptr;
  {
    PlainDlg temp;
    ASSERT_TRUE(temp.Create(IDD_FW_PLAIN, nullptr));
    gone = temp.m_hWnd;
  }
  EXPECT_FALSE(IsWindow(gone));
}

// An edit that counts the texts put into it.
class CountingEdit : public fw::CEdit {
 public:
  int setTexts = 0;

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == WM_SETTEXT) ++setTexts;
    return fw::CEdit::WindowProc(msg, wp, lp);
  }
};

LRESULT CALLBACK CountTextsAbove(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                 DWORD_PTR ref) {
  if (msg == WM_SETTEXT) ++*reinterpret_cast<int*>(ref);
  return DefSubclassProc(wnd, msg, wp, lp);
}

TEST(FwWindow, AnObjectDroppedUnderAnotherSubclassKeepsTheChainWhole) {
  PlainDlg dlg;
  ASSERT_TRUE(dlg.Create(IDD_FW_PLAIN, nullptr));
  HWND edit = dlg.GetDlgItem(IDC_FW_EDIT);
  int above = 0;
  {
    CountingEdit first;
    ASSERT_TRUE(first.SubclassWindow(edit));
    ASSERT_TRUE(SetWindowSubclass(edit, &CountTextsAbove, 1, reinterpret_cast<DWORD_PTR>(&above)));
    SetWindowTextW(edit, L"a");
    EXPECT_EQ(first.setTexts, 1);
  }
  // The subclass put on after the object still sees every message, and the
  // edit under both still works.
  SetWindowTextW(edit, L"bb");
  EXPECT_EQ(above, 2);
  EXPECT_EQ(GetWindowTextLengthW(edit), 2);
  EXPECT_EQ(fw::CWnd::FromHandle(edit), nullptr);
  // A new object takes the window and sees each message once.
  CountingEdit second;
  ASSERT_TRUE(second.SubclassWindow(edit));
  EXPECT_EQ(fw::CWnd::FromHandle(edit), &second);
  SetWindowTextW(edit, L"ccc");
  EXPECT_EQ(second.setTexts, 1);
  EXPECT_EQ(above, 3);
  EXPECT_EQ(GetWindowTextLengthW(edit), 3);
  RemoveWindowSubclass(edit, &CountTextsAbove, 1);
  dlg.DestroyWindow();
  EXPECT_EQ(second.m_hWnd, nullptr);
}

TEST(FwReflection, ControlsSeeTheirOwnNotificationsFirst) {
  PlainDlg dlg;
  ASSERT_TRUE(dlg.Create(IDD_FW_PLAIN, nullptr));
  HWND buttonWnd = dlg.button.m_hWnd;

  // Not taken by the button: the dialog handles it too.
  SendMessageW(dlg.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_FW_BUTTON, BN_CLICKED),
               reinterpret_cast<LPARAM>(buttonWnd));
  auto buttonCommands = [&] {
    return std::count(dlg.commands.begin(), dlg.commands.end(), IDC_FW_BUTTON);
  };
  EXPECT_EQ(buttonCommands(), 1);
  EXPECT_EQ(dlg.button.reflected.back(), static_cast<UINT>(WM_COMMAND));
  // Taken by the button: the dialog never sees it.
  dlg.button.takeCommands = true;
  SendMessageW(dlg.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_FW_BUTTON, BN_CLICKED),
               reinterpret_cast<LPARAM>(buttonWnd));
  EXPECT_EQ(buttonCommands(), 1);

  // Colour requests: the static answers its own, the dialog the rest.
  HDC dc = GetDC(dlg.m_hWnd);
  LRESULT own = SendMessageW(dlg.m_hWnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                             reinterpret_cast<LPARAM>(dlg.label.m_hWnd));
  LRESULT other = SendMessageW(dlg.m_hWnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                               reinterpret_cast<LPARAM>(dlg.GetDlgItem(IDC_FW_CHECK)));
  ReleaseDC(dlg.m_hWnd, dc);
  EXPECT_EQ(own, reinterpret_cast<LRESULT>(GetStockObject(BLACK_BRUSH)));
  EXPECT_EQ(other, reinterpret_cast<LRESULT>(GetStockObject(GRAY_BRUSH)));

  // The owner-drawn button is asked to draw itself when it paints.
  ShowWindow(dlg.m_hWnd, SW_SHOWNA);
  RedrawWindow(dlg.ownerDraw.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  PumpMessages();
  EXPECT_NE(std::count(dlg.ownerDraw.reflected.begin(), dlg.ownerDraw.reflected.end(),
                       static_cast<UINT>(WM_DRAWITEM)),
            0);

  // WM_NOTIFY goes to the control named as its sender, with its result.
  NMHDR hdr{dlg.list.m_hWnd, IDC_FW_LIST, static_cast<UINT>(NM_DBLCLK)};
  EXPECT_EQ(SendMessageW(dlg.m_hWnd, WM_NOTIFY, IDC_FW_LIST, reinterpret_cast<LPARAM>(&hdr)), 77);
  ASSERT_FALSE(dlg.list.codes.empty());
  EXPECT_EQ(dlg.list.codes.back(), static_cast<UINT>(NM_DBLCLK));
  dlg.DestroyWindow();
}

// A pop-up that types into its edit box and presses OK by itself, the way
// a user would, once its modal loop runs.
class SelfClosingDlg : public fw::CDialog {
 public:
  SelfClosingDlg(UINT id, CWnd* parent) : fw::CDialog(id, parent) {}
  fw::CString text;
  bool ownerWasDisabled = false;
  int answer = IDOK;

 protected:
  void DoDataExchange(fw::CDataExchange* dx) override { fw::DDX_Text(dx, IDC_FW_EDIT, text); }
  BOOL OnInitDialog() override {
    fw::CDialog::OnInitDialog();
    SetTimer(1, 10);
    return TRUE;
  }
  void OnTimer(UINT_PTR id) override {
    KillTimer(id);
    ownerWasDisabled = parentWnd_ && !IsWindowEnabled(parentWnd_->m_hWnd);
    SetDlgItemTextW(m_hWnd, IDC_FW_EDIT, L"输入的文字");
    PostMessage(WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), 0);
  }
};

TEST(FwDialog, ModalRunDisablesTheOwnerAndExchangesData) {
  PlainDlg owner;
  ASSERT_TRUE(owner.Create(IDD_FW_PLAIN, nullptr));
  SelfClosingDlg dlg(IDD_FW_POPUP, &owner);
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_TRUE(dlg.ownerWasDisabled);
  EXPECT_TRUE(IsWindowEnabled(owner.m_hWnd));
  EXPECT_EQ(dlg.text, L"输入的文字");
  EXPECT_EQ(dlg.m_hWnd, nullptr);

  // Cancel ends the run without reading the controls.
  SelfClosingDlg cancelled(IDD_FW_POPUP, &owner);
  cancelled.answer = IDCANCEL;
  EXPECT_EQ(cancelled.DoModal(), IDCANCEL);
  EXPECT_EQ(cancelled.text, L"");
  owner.DestroyWindow();
}

// A dialog whose first attempt to get a message fails, as GetMessage can
// under a huge message from another process.
class FailingOnceDlg : public SelfClosingDlg {
 public:
  using SelfClosingDlg::SelfClosingDlg;
  int failures = 0;

 protected:
  BOOL NextMessage(MSG* msg) override {
    if (failures++ == 0) return -1;
    return SelfClosingDlg::NextMessage(msg);
  }
};

TEST(FwDialog, AnErrorGettingAMessageIsNoQuitAndTheDialogGoesOn) {
  FailingOnceDlg dlg(IDD_FW_POPUP, nullptr);
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_GT(dlg.failures, 1);
  EXPECT_EQ(dlg.text, L"输入的文字");
  // No quit was left behind for the outer loop.
  MSG msg;
  EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST(FwDialog, MissingTemplateCreatesNothing) {
  PlainDlg dlg(4242);
  EXPECT_EQ(dlg.DoModal(), -1);
  EXPECT_FALSE(dlg.Create(4242, nullptr));
  EXPECT_EQ(dlg.m_hWnd, nullptr);
}

TEST(FwGdi, GuardsRestoreAndDelete) {
  HDC screen = GetDC(nullptr);
  fw::MemoryDc mem(screen);
  ASSERT_TRUE(mem);
  HGDIOBJ before = GetCurrentObject(mem.get(), OBJ_BRUSH);
  HBRUSH raw = CreateSolidBrush(RGB(1, 2, 3));
  {
    fw::UniqueBrush brush(raw);
    fw::SelectGuard sel(mem.get(), brush.get());
    EXPECT_EQ(GetCurrentObject(mem.get(), OBJ_BRUSH), raw);
  }
  EXPECT_EQ(GetCurrentObject(mem.get(), OBJ_BRUSH), before);
  EXPECT_EQ(GetObjectType(raw), 0u);  // deleted

  fw::CBitmap bmp;
  ASSERT_TRUE(bmp.CreateCompatibleBitmap(screen, 7, 5));
  EXPECT_EQ(bmp.GetSize().cx, 7);
  HBITMAP kept = bmp.Detach();
  EXPECT_EQ(bmp.GetSafeHandle(), nullptr);
  EXPECT_NE(GetObjectType(kept), 0u);
  bmp.Attach(kept);
  bmp.Attach(nullptr);  // deletes what it held
  EXPECT_EQ(GetObjectType(kept), 0u);
  ReleaseDC(nullptr, screen);

  fw::CFont font;
  EXPECT_TRUE(font.CreateFont(-11, FW_BOLD, DEFAULT_CHARSET, L"Tahoma"));
  LOGFONTW lf{};
  GetObjectW(font.GetSafeHandle(), sizeof(lf), &lf);
  EXPECT_EQ(lf.lfWeight, FW_BOLD);
  EXPECT_STREQ(lf.lfFaceName, L"Tahoma");
}

}  // namespace

namespace {

// Drives the file dialog as a user would: types into the file name box
// (control 1148, an edit inside a combo box) and presses OK, once per
// entry of `typed`; cancels when they are used up. The entry kSelectAll
// instead selects every file in the dialog's list, then presses Open.
constexpr wchar_t kSelectAll[] = L"<select all>";
class FileDialogDriver {
 public:
  explicit FileDialogDriver(std::vector<std::wstring> typed) : typed_(std::move(typed)) {
    self_ = this;
    timer_ = SetTimer(nullptr, 0, 300, &FileDialogDriver::Tick);
  }
  ~FileDialogDriver() {
    KillTimer(nullptr, timer_);
    self_ = nullptr;
  }

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (self_ != nullptr) self_->Step();
  }
  static BOOL CALLBACK FindDialog(HWND wnd, LPARAM out) {
    wchar_t cls[16] = {};
    GetClassNameW(wnd, cls, 16);
    if (lstrcmpW(cls, L"#32770") == 0 && IsWindowVisible(wnd)) {
      *reinterpret_cast<HWND*>(out) = wnd;
      return FALSE;
    }
    return TRUE;
  }
  static BOOL CALLBACK FindFileList(HWND wnd, LPARAM out) {
    wchar_t cls[32] = {};
    GetClassNameW(wnd, cls, 32);
    if (lstrcmpW(cls, L"SysListView32") != 0) return TRUE;
    *reinterpret_cast<HWND*>(out) = wnd;
    return FALSE;
  }
  static BOOL CALLBACK FindNameEdit(HWND wnd, LPARAM out) {
    wchar_t cls[16] = {};
    GetClassNameW(wnd, cls, 16);
    if (GetDlgCtrlID(wnd) == 1148 && lstrcmpiW(cls, L"Edit") == 0) {
      *reinterpret_cast<HWND*>(out) = wnd;
      return FALSE;
    }
    return TRUE;
  }
  void Step() {
    if (busy_) return;
    busy_ = true;
    HWND dlg = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), &FindDialog, reinterpret_cast<LPARAM>(&dlg));
    if (dlg != nullptr) {
      HWND edit = nullptr;
      EnumChildWindows(dlg, &FindNameEdit, reinterpret_cast<LPARAM>(&edit));
      HWND files = nullptr;
      EnumChildWindows(dlg, &FindFileList, reinterpret_cast<LPARAM>(&files));
      if (next_ < typed_.size() && typed_[next_] == kSelectAll) {
        // Only once the list shows the folder's files.
        if (files != nullptr && SendMessageW(files, LVM_GETITEMCOUNT, 0, 0) > 0) {
          ++next_;
          LVITEMW all{};
          all.stateMask = LVIS_SELECTED;
          all.state = LVIS_SELECTED;
          SetFocus(files);
          SendMessageW(files, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                       reinterpret_cast<LPARAM>(&all));
          PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                       reinterpret_cast<LPARAM>(GetDlgItem(dlg, IDOK)));
        }
      } else if (next_ < typed_.size() && edit != nullptr) {
        SetWindowTextW(edit, typed_[next_++].c_str());
        SendMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dlg, IDOK)));
      } else if (next_ >= typed_.size()) {
        PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dlg, IDCANCEL)));
      }
    }
    busy_ = false;
  }

  static inline FileDialogDriver* self_ = nullptr;
  std::vector<std::wstring> typed_;
  size_t next_ = 0;
  UINT_PTR timer_ = 0;
  bool busy_ = false;
};

TEST(FwFileDialog, ReturnsEveryChosenFileAsAFullPath) {
  testing_support::TempDir dir(L"文件对话框");
  for (const wchar_t* name : {L"a.txt", L"b.txt", L"文本.txt"}) {
    testing_support::WriteFileBytes(dir / name, "x");
  }
  fw::CFileDialog fd(TRUE, nullptr, nullptr, 0x800206, L"文本文件 (*.txt)|*.txt||", nullptr, 66816);
  EXPECT_TRUE(fd.m_ofn.Flags & OFN_EXPLORER);
  EXPECT_EQ(fd.m_ofn.nMaxFile, 66816u);
  EXPECT_EQ(std::wstring(fd.m_ofn.lpstrFilter), L"文本文件 (*.txt)");
  EXPECT_EQ(std::wstring(fd.m_ofn.lpstrFilter + 13), L"*.txt");
  FileDialogDriver driver({dir.path(), L"\"a.txt\" \"b.txt\" \"文本.txt\""});
  ASSERT_EQ(fd.DoModal(), IDOK);
  std::vector<std::wstring> paths = fd.GetPathNames();
  std::sort(paths.begin(), paths.end());
  ASSERT_EQ(paths.size(), 3u);
  EXPECT_EQ(paths[0], dir / L"a.txt");
  EXPECT_EQ(paths[1], dir / L"b.txt");
  EXPECT_EQ(paths[2], dir / L"文本.txt");
}

// A choice whose names outgrow the buffer the caller gave (64 units, 40
// long names) comes back whole instead of failing with "buffer too small":
// typed into the file name box (`typed`), or selected in the list.
void ExpectALargeChoiceBackWhole(bool typed) {
  testing_support::TempDir dir(L"大的选择");
  std::vector<std::wstring> names;
  std::wstring quoted;
  for (int i = 0; i < 40; ++i) {
    names.push_back(L"一个名字相当长的文本文件第" + std::to_wstring(i) + L"号.txt");
    testing_support::WriteFileBytes(dir / names.back(), "x");
    quoted += L"\"" + names.back() + L"\" ";
  }
  fw::CFileDialog fd(TRUE, nullptr, nullptr, OFN_ALLOWMULTISELECT | OFN_HIDEREADONLY, nullptr,
                     nullptr, 64);
  FileDialogDriver driver({dir.path(), typed ? quoted : std::wstring(kSelectAll)});
  ASSERT_EQ(fd.DoModal(), IDOK) << "error " << fd.m_error;
  std::vector<std::wstring> paths = fd.GetPathNames();
  std::sort(paths.begin(), paths.end());
  std::sort(names.begin(), names.end());
  ASSERT_EQ(paths.size(), names.size());
  for (size_t i = 0; i < names.size(); ++i) EXPECT_EQ(paths[i], dir / names[i]);
}

TEST(FwFileDialog, ATypedChoiceLargerThanTheBufferComesBackWhole) {
  ExpectALargeChoiceBackWhole(true);
}

TEST(FwFileDialog, AListSelectionLargerThanTheBufferComesBackWhole) {
  ExpectALargeChoiceBackWhole(false);
}

TEST(FwFileDialog, CancelGivesNothing) {
  fw::CFileDialog fd(TRUE, nullptr, nullptr, OFN_ALLOWMULTISELECT, nullptr, nullptr);
  FileDialogDriver driver({});
  EXPECT_EQ(fd.DoModal(), IDCANCEL);
  EXPECT_TRUE(fd.GetPathNames().empty());
}

// The application object's hooks around its message loop.
class HookApp : public fw::CWinApp {
 public:
  BOOL loop = FALSE;
  std::vector<std::string> calls;
  BOOL InitInstance() override {
    calls.push_back("init");
    if (loop) PostQuitMessage(3);
    return loop;
  }
  int ExitInstance() override {
    calls.push_back("exit");
    return 40 + static_cast<int>(calls.size());
  }
};

TEST(FwApp, RunsItsStartAndExitHooks) {
  HookApp app;
  EXPECT_EQ(fw::AfxGetApp(), &app);
  EXPECT_EQ(fw::AfxGetMainWnd(), nullptr);
  EXPECT_EQ(app.Run(), 42);
  app.loop = TRUE;
  EXPECT_EQ(app.Run(), 44);  // the loop ended on WM_QUIT, then the exit hook
  EXPECT_EQ(app.calls, (std::vector<std::string>{"init", "exit", "init", "exit"}));
}

}  // namespace
