#include "pages/ConvView.h"

#include "config/CfgStore.h"
#include "pages/UserWords.h"

UINT StandardChangedMessage() {
  static const UINT message = RegisterWindowMessageW(L"Tarnwell.StandardChanged");
  return message;
}

LRESULT CConvView::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_CONV_NOTIFY) {
    OnJobMessage(wp, lp);
    return 0;
  }
  if (msg == StandardChangedMessage()) {
    ShowStandard();
    return 0;
  }
  // The job works on the page's members: it ends before the page goes.
  if (msg == WM_DESTROY && WorkerRecorded()) StopJob();
  return CSubView::WindowProc(msg, wp, lp);
}

void CConvView::ShowStandard() {
  if (standardLabel.m_hWnd == nullptr) return;
  const std::wstring caption = StandardCaption(StoredStandard(SettingsStore()));
  wchar_t shown[64] = {};
  ::GetWindowTextW(standardLabel.m_hWnd, shown, 64);
  if (caption == shown) return;
  standardLabel.SetWindowText(caption.c_str());
  standardLabel.Invalidate(TRUE);
}

int CConvView::OnEnterPage(CSubView* from, int arg) {
  ShowStandard();
  return CSubView::OnEnterPage(from, arg);
}
