// The program's windows in the states worth a look, for screenshots:
//   app_shots.exe MODE
// MODE: main, s2t, t2s, file, about, progress-bar, progress-anim, empty,
// proof-menu (a place's menu open over the s2t page's marked result),
// settings (the settings dialog over the s2t page).
// The main window opens centred; the mode's state is set up a moment later.
// Once it is on screen the program says so ("[ shot     ] MODE") and ends
// when the capturing script answers on standard input (or at its end), also
// while a modal box is up.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <cstdlib>
#include <string>
#include <utility>

#include "app/TarnwellDlg.h"
#include "app/resource.h"
#include "fw/App.h"
#include "fw/MessageBox.h"
#include "loader/ResMgrHolder.h"
#include "pages/PageRes.h"
#include "pages/TConvView.h"
#include "skeldon/ResIds.h"
#include "skin/CtrlTables.h"
#include "tests/support/RemoteUi.h"
#include "tests/support/ShotHold.h"

namespace {

constexpr UINT_PTR kSetUpTimer = 71;
constexpr UINT_PTR kEmptyConvertTimer = 72;  // its message box is modal
constexpr UINT_PTR kPlaceMenuTimer = 73;      // the menu's loop is modal too

// The text page's sample: phrases and characters with one counterpart, and
// a few places to proofread (发 alone, 后, 干).
constexpr const wchar_t kProofSample[] =
    L"简体中文转换为繁体，发展后的软件。\r\n头发、后来、面条和干净的衣服。\r\n"
    L"他昨天去理了发，回来后把衣服晾干了。";

class ShotsApp : public fw::CWinApp {};
ShotsApp theApp;

// What the state looks like once it is set up: how many windows of ours
// show, (after a conversion) the edit box that must hold its result, or a
// message box that must be up.
struct ShotState {
  std::string name;
  size_t windows = 1;
  HWND result = nullptr;
  bool box = false;
};

// Waits on its own thread for the state, holds it for the shot, then ends
// the run (also while a modal box is up).
DWORD WINAPI HoldThenQuit(void* param) {
  const ShotState* state = static_cast<const ShotState*>(param);
  const DWORD pid = GetCurrentProcessId();
  testing_support::WaitFor(
      [&] {
        if (state->box) return testing_support::WaitForBox(pid, nullptr, 0) != nullptr;
        if (state->result != nullptr && GetWindowTextLengthW(state->result) == 0) return false;
        return testing_support::TopWindows(pid).size() == state->windows;
      },
      300000);  // a prefix's first conversion loads the dictionaries
  testing_support::HoldForShot(state->name.c_str(), pid);
  ExitProcess(0);
}

class ShotsDlg : public CTarnwellDlg {
 public:
  ShotsDlg(std::wstring mode, std::string name) : mode_(std::move(mode)) { state_.name = name; }

 protected:
  BOOL OnInitDialog() override {
    CTarnwellDlg::OnInitDialog();
    SetTimer(kSetUpTimer, 400);
    return TRUE;
  }
  void OnTimer(UINT_PTR id) override {
    if (id == kEmptyConvertTimer) {
      KillTimer(id);
      Text(1, L"", L"").Convert();
      return;
    }
    if (id == kPlaceMenuTimer) {
      // Once the result and its marks are in: the context-menu key on the
      // second place.
      auto& page = *dynamic_cast<CTConvView*>(Page(1));
      if (page.resultEdit.marks.Count() < 2) return;
      KillTimer(id);
      const TextPlace& place = page.resultEdit.marks.Places()[1];
      page.resultEdit.SetSel(place.start, place.start);
      page.resultEdit.PostMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(page.resultEdit.m_hWnd), -1);
      return;
    }
    if (id != kSetUpTimer) return CTarnwellDlg::OnTimer(id);
    KillTimer(id);
    SetUp();
    CloseHandle(CreateThread(nullptr, 0, &HoldThenQuit, &state_, 0, nullptr));
  }

 private:
  CTConvView& Text(int index, const wchar_t* source, const wchar_t* result) {
    SwitchToPage(Page(0), index);
    auto& page = *dynamic_cast<CTConvView*>(Page(index));
    SetDlgItemTextW(page.m_hWnd, IDC_SOURCE_EDIT, source);
    SetDlgItemTextW(page.m_hWnd, IDC_RESULT_EDIT, result);
    return page;
  }
  void SetUp() {
    if (mode_ == L"s2t" || mode_ == L"proof-menu") {
      CTConvView& page = Text(1, kProofSample, L"");
      state_.result = ::GetDlgItem(page.m_hWnd, IDC_RESULT_EDIT);
      page.Convert();
      if (mode_ == L"proof-menu") {
        state_.windows = 2;  // the menu
        SetTimer(kPlaceMenuTimer, 100);
      }
    } else if (mode_ == L"t2s") {
      CTConvView& page = Text(2, L"繁體中文轉換爲簡體，發展後的軟件。\r\n頭髮、後來、麪條和乾淨的衣服。", L"");
      state_.result = ::GetDlgItem(page.m_hWnd, IDC_RESULT_EDIT);
      page.Convert();
    } else if (mode_ == L"settings") {
      SwitchToPage(Page(0), 1);
      state_.windows = 2;
      PostMessage(WM_COMMAND, MAKEWPARAM(IDC_SETTING_BTN, BN_CLICKED), 0);
    } else if (mode_ == L"file") {
      SwitchToPage(Page(0), 3);
    } else if (mode_ == L"about") {
      state_.windows = 2;
      PostMessage(WM_SYSCOMMAND, IDM_ABOUTBOX);
    } else if (mode_ == L"progress-bar" || mode_ == L"progress-anim") {
      const bool bar = mode_ == L"progress-bar";
      state_.windows = 2;
      auto& page = Text(1, L"简体", L"");
      page.progress.Create(&page, bar ? PROGRESS_MODE_BAR : PROGRESS_MODE_ANIM);
      page.progress.ShowOverParent(TRUE);
      if (bar) {
        page.progress.SetBarRange(1000, 0);
        for (int i = 0; i < 620; ++i) page.progress.StepBar();
      } else {
        page.progress.animation.frameCount = 2;
      }
    } else if (mode_ == L"empty") {
      state_.box = true;  // its message
      SetTimer(kEmptyConvertTimer, 1);
    }
  }

  std::wstring mode_;
  ShotState state_;
};

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::wstring mode = argc > 1 ? argv[1] : L"main";
  LocalFree(argv);

  CoInitialize(nullptr);
  INITCOMMONCONTROLSEX icc{sizeof(icc), 0xFF};
  InitCommonControlsEx(&icc);
  if (AppResMgr() == nullptr) return 1;
  fw::SetAppName(QueryText(TXT_PRODUCT_TITLE));
  CreateSharedTooltip();
  ShotsDlg dlg(mode, std::string(mode.begin(), mode.end()));
  theApp.m_pMainWnd = &dlg;
  dlg.DoModalFor(nullptr);
  ShutdownComponents();
  CoUninitialize();
  return 0;
}
