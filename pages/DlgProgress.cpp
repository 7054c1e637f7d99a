#include "pages/DlgProgress.h"

#include "fw/App.h"
#include "fw/MessageBox.h"
#include "pages/ConvView.h"
#include "pages/PageIds.h"
#include "pages/PageRes.h"
#include "skeldon/ResIds.h"

namespace {

constexpr COLORREF kPanelText = RGB(64, 64, 64);
constexpr COLORREF kPanel = RGB(241, 241, 241);
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
  titleLeft = 55;
  titleTop = 9;
  // Controls without colours of their own take the panel's.
  ctrlTextColor = kPanelText;
  ctrlBrush.reset(CreateSolidBrush(kPanel));
  animation.backColor = kPanel;
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

CtrlSkinTable CDlgProgress::ImageTable() {
  CtrlSkinTable t;
  t.push_back({&close, BMP_SYSBTN_DLGCLOSE, 0, 0, 0, 0, 0, 0, CTRLSKIN_IMAGE});
  t.push_back({&stop, BMP_BTN_STOP, 0, 0, 0, 0, 0, 0, CTRLSKIN_IMAGE});
  t.push_back({nullptr, 0, 0, 0, 0, 0, 0, 0, CTRLSKIN_END});
  return t;
}

int CDlgProgress::OnLoadSkin() {
  background.Attach(LoadSkinBitmap(BMP_DLG_520X260));
  ApplyCtrlImages(ImageTable(), AppResMgr());
  if (HBITMAP strip = LoadSkinBitmap(BMP_ROTATES)) {
    animation.frames.Create(kFrameSize, kFrameSize, ILC_COLOR32 | ILC_MASK, 0, 1);
    animation.frames.Add(strip, RGB(255, 0, 255));
    animation.frameCount = kFrameTotal;
    FreeSkinBitmap(strip);
  }
  return 0;
}

int CDlgProgress::OnFreeSkin() {
  FreeSkinBitmap(background.Detach());
  ReleaseCtrlImages(ImageTable(), AppResMgr());
  if (animation.frames.GetSafeHandle() != nullptr) {
    ImageList_RemoveAll(animation.frames.GetSafeHandle());
    animation.frames.DeleteImageList();
  }
  return 0;
}

int CDlgProgress::OnLayout() {
  const RECT client = GetClientRect();
  auto place = [](fw::CWnd& c, int x, int y, int cx, int cy) {
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | (cx == 0 ? SWP_NOSIZE : 0);
    c.SetWindowPos(nullptr, x, y, cx, cy, flags);
  };
  place(bar, 72, 105, 377, 28);
  place(animation, 196, 66, 0, 0);
  place(close, client.right - 37, 0, 0, 0);
  place(progressLabel, 72, 77, 76, 16);
  place(stop, 210, 177, 0, 0);
  place(waitText, 103, 205, 350, 22);
  return 1;
}

BOOL CDlgProgress::OnInitDialog() {
  vek_SkinDlg::OnInitDialog();
  title = QueryText(TITLE_CONVERTING);
  for (vek_SkinStatic* s : {&waitText, &progressLabel}) {
    s->SetForeColor(kPanelText);
    s->SetBackColor(kPanel);
  }
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
  if (fw::AppMessageBox(m_hWnd, question, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
  if (owner != nullptr) owner->StopJob();
}

int CDlgProgress::StepBar() {
  ++bar.pos;
  bar.Invalidate(true);
  bar.UpdateWindow();
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
