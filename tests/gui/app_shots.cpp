// The program's windows in the states worth a look, for screenshots:
//   app_shots.exe MODE [--seconds N]
// MODE: main, s2t, t2s, file, about, progress-bar, progress-anim, empty.
// The main window opens centred; the mode's state is set up a moment later;
// the program ends itself after N seconds (default 8), also while a modal
// box is up.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <cstdlib>
#include <string>

#include "app/TarnwellDlg.h"
#include "app/resource.h"
#include "fw/App.h"
#include "fw/MessageBox.h"
#include "loader/ResMgrHolder.h"
#include "pages/PageRes.h"
#include "pages/TConvView.h"
#include "skeldon/ResIds.h"
#include "skin/CtrlTables.h"

namespace {

constexpr UINT_PTR kSetUpTimer = 71;
constexpr UINT_PTR kQuitTimer = 72;

class ShotsApp : public fw::CWinApp {};

// Ends the run even while a modal box is up.
void CALLBACK QuitNow(HWND, UINT, UINT_PTR, DWORD) { ExitProcess(0); }
ShotsApp theApp;

class ShotsDlg : public CTarnwellDlg {
 public:
  ShotsDlg(std::wstring mode, int seconds) : mode_(std::move(mode)), seconds_(seconds) {}

 protected:
  BOOL OnInitDialog() override {
    CTarnwellDlg::OnInitDialog();
    SetTimer(kSetUpTimer, 400);
    ::SetTimer(nullptr, 0, static_cast<UINT>(seconds_ * 1000), &QuitNow);
    return TRUE;
  }
  void OnTimer(UINT_PTR id) override {
    if (id != kSetUpTimer) return CTarnwellDlg::OnTimer(id);
    KillTimer(id);
    SetUp();
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
    if (mode_ == L"s2t") {
      CTConvView& page = Text(1, L"简体中文转换为繁体，发展后的软件。\r\n头发、后来、面条和干净的衣服。", L"");
      page.Convert();
    } else if (mode_ == L"t2s") {
      CTConvView& page = Text(2, L"繁體中文轉換爲簡體，發展後的軟件。\r\n頭髮、後來、麪條和乾淨的衣服。", L"");
      page.Convert();
    } else if (mode_ == L"file") {
      SwitchToPage(Page(0), 3);
    } else if (mode_ == L"about") {
      PostMessage(WM_SYSCOMMAND, IDM_ABOUTBOX);
    } else if (mode_ == L"progress-bar" || mode_ == L"progress-anim") {
      const bool bar = mode_ == L"progress-bar";
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
      Text(1, L"", L"").Convert();
    }
  }

  std::wstring mode_;
  int seconds_;
};

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::wstring mode = L"main";
  int seconds = 8;
  for (int i = 1; i < argc; ++i) {
    if (std::wstring(argv[i]) == L"--seconds" && i + 1 < argc) {
      seconds = _wtoi(argv[++i]);
    } else {
      mode = argv[i];
    }
  }
  LocalFree(argv);

  CoInitialize(nullptr);
  INITCOMMONCONTROLSEX icc{sizeof(icc), 0xFF};
  InitCommonControlsEx(&icc);
  if (AppResMgr() == nullptr) return 1;
  fw::SetAppName(QueryText(TXT_PRODUCT_TITLE));
  CreateSharedTooltip();
  ShotsDlg dlg(mode, seconds);
  theApp.m_pMainWnd = &dlg;
  dlg.DoModalFor(nullptr);
  ShutdownComponents();
  CoUninitialize();
  return 0;
}
