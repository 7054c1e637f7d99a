#include "pages/DlgProgress.h"

#include "fw/App.h"
#include "fw/MessageBox.h"
#include "pages/ConvView.h"
#include "pages/PageIds.h"
#include "pages/PageRes.h"
#include "skeldon/ResIds.h"

namespace {

constexpr int kFrameSize = 128;
constexpr int kFrameTotal = 18;
constexpr UINT kAnimPeriodMs = 100;

}  // namespace

CDlgProgress::CDlgProgress() : vek_SkinDlg(IDD_PROGRESS, nullptr) {
  bar.borderColor = RGB(28, 67, 115);
  bar.backBrush.reset(CreateSolidBrush(RGB(239, 239, 239)));
  bar.barBrush.reset(CreateSolidBrush(RGB(75, 145, 180)));
  bar.maxPos = 1;
  bar.pos = 0;
  faceId = BMP_DLG_520X260;
  UseLightBody();
  animation.backColor = palette::kBody;
}

BOOL CDlgProgress::Create(CConvView* ownerPage, int showMode) {
  owner = ownerPage;
  mode = showMode;
  if (helpId_ == 0) helpId_ = IDD_PROGRESS;
  BOOL created = vek_SkinDlg::Create(MAKEINTRESOURCEW(IDD_PROGRESS), ownerPage) ? TRUE : FALSE;
  if (!created) return FALSE;
  for (fw::CWnd* c : {static_cast<fw::CWnd*>(&bar), static_cast<fw::CWnd*>(&waitText),
                      static_cast<fw::CWnd*>(&animation), static_cast<fw::CWnd*>(&progressLabel),
                      static_cast<fw::CWnd*>(&stop)}) {
    c->ShowWindow(SW_HIDE);
  }
  if (mode == PROGRESS_MODE_BAR) {
    bar.ShowWindow(SW_SHOW);
    progressLabel.ShowWindow(SW_SHOW);
    stop.ShowWindow(SW_SHOW);
  } else {
    animation.ShowWindow(SW_SHOW);
    waitText.ShowWindow(SW_SHOW);
  }
  return created;
}

void CDlgProgress::DoDataExchange(fw::CDataExchange* dx) {
  fw::DDX_Control(dx, IDC_PROGRESS_BAR, bar);
  fw::DDX_Control(dx, IDC_PROGRESS_ANIM, animation);
  fw::DDX_Control(dx, IDC_WAIT_TEXT, waitText);
  fw::DDX_Control(dx, IDC_PROGRESS_LABEL, progressLabel);
  fw::DDX_Control(dx, IDC_STOP_BTN, stop);
  fw::DDX_Control(dx, IDC_CLOSE_BTN, close);
}

CtrlSkinTable CDlgProgress::SkinTable() {
  constexpr int kImagePos = CTRLSKIN_IMAGE | CTRLSKIN_POS;
  constexpr int kPosSize = CTRLSKIN_POS | CTRLSKIN_SIZE;
  constexpr int kColoured = kPosSize | CTRLSKIN_BACK | CTRLSKIN_FORE;
  using palette::kBody, palette::kBodyText;
  return CtrlSkinTable{{&close, BMP_SYSBTN_DLGCLOSE, -37, 0, 0, 0, 0, 0, kImagePos},
                       {&stop, BMP_BTN_STOP, 210, 177, 0, 0, 0, 0, kImagePos},
                       {&bar, 0, 72, 105, 377, 28, 0, 0, kPosSize},
                       {&animation, 0, 196, 66, 0, 0, 0, 0, CTRLSKIN_POS},
                       {&progressLabel, 0, 72, 77, 76, 16, kBody, kBodyText, kColoured},
                       {&waitText, 0, 103, 205, 350, 22, kBody, kBodyText, kColoured},
                       {nullptr, 0, 0, 0, 0, 0, 0, 0, CTRLSKIN_END}};
}

int CDlgProgress::OnLoadSkin() {
  vek_SkinDlg::OnLoadSkin();
  // Only the waiting animation turns the strip's frames; the bar's run
  // (the file pages) would pay a third of the window's making for it.
  if (mode != PROGRESS_MODE_ANIM) return 0;
  if (HBITMAP strip = LoadSkinBitmap(BMP_ROTATES, Dpi())) {
    const int size = Dpi().Scale(kFrameSize);
    animation.frames.Create(size, size, ILC_COLOR32 | ILC_MASK, 0, 1);
    animation.frames.Add(strip, RGB(255, 0, 255));
    animation.frameCount = kFrameTotal;
    FreeSkinBitmap(strip);
  }
  return 0;
}

int CDlgProgress::OnFreeSkin() {
  vek_SkinDlg::OnFreeSkin();
  if (animation.frames.GetSafeHandle() != nullptr) {
    ImageList_RemoveAll(animation.frames.GetSafeHandle());
    animation.frames.DeleteImageList();
  }
  return 0;
}

BOOL CDlgProgress::OnInitDialog() {
  vek_SkinDlg::OnInitDialog();
  title = QueryText(TITLE_CONVERTING);
  AddCtrlTips(m_hWnd, AppResMgr(),
              CtrlTipTable{{TIP_CLOSE, IDC_CLOSE_BTN, CTRLTIP_USED},
                           {TIP_STOP, IDC_STOP_BTN, CTRLTIP_USED},
                           {0, 0, CTRLTIP_END}});
  if (animation.frameCount > 0) animation.SetTimer(ANIM_TIMER_ID, kAnimPeriodMs);
  return TRUE;
}

BOOL CDlgProgress::OnCommand(WPARAM wp, LPARAM lp) {
  if (LOWORD(wp) == IDC_STOP_BTN && HIWORD(wp) == BN_CLICKED) {
    OnStop();
    return TRUE;
  }
  return vek_SkinDlg::OnCommand(wp, lp);
}

void CDlgProgress::OnStop() {
  std::wstring question = QueryText(TXT_CONFIRM_STOP);
  MessageBeep(MB_ICONEXCLAMATION);
  if (owner != nullptr) owner->HoldJob();
  if (fw::AppMessageBox(m_hWnd, question, MB_YESNO | MB_ICONQUESTION) != IDYES) {
    if (owner != nullptr) owner->ReleaseJob();
    return;
  }
  if (owner != nullptr) owner->StopJob();
}

int CDlgProgress::StepBar() { return MoveBarTo(bar.pos + 1); }

int CDlgProgress::MoveBarTo(int pos) {
  // A run makes a thousand steps; the bar is painted again only when its
  // filled part grows by a pixel, and when the page's thread is free: a
  // paint for every step cost the file pages more than the conversion.
  RECT rc{};
  if (bar.m_hWnd != nullptr) ::GetClientRect(bar.m_hWnd, &rc);
  const int inner = rc.right - rc.left - 2;
  const int before = bar.BarWidth(inner);
  bar.pos = pos;
  if (bar.m_hWnd != nullptr && bar.BarWidth(inner) != before) bar.Invalidate(false);
  return 1;
}

void CDlgProgress::SetBarRange(int maxPos, int pos) {
  bar.maxPos = maxPos > 0 ? maxPos : 1;
  bar.pos = pos;
  if (bar.m_hWnd != nullptr) {
    bar.Invalidate(true);
    bar.UpdateWindow();
  }
}
