#include "skin/SkinDlg.h"

#include "fw/App.h"
#include "skin/DialogPlace.h"

vek_SkinDlg::vek_SkinDlg(UINT templateId, fw::CWnd* parent)
    : fw::CDialog(templateId, parent),
      ctrlBrush(CreateSolidBrush(palette::kDark)),
      moveCursor(LoadCursorW(nullptr, IDC_SIZEALL)) {
  titleFont.CreateFont(-11, FW_BOLD, DEFAULT_CHARSET, L"Tahoma");
}

vek_SkinDlg::~vek_SkinDlg() = default;

const DLGTEMPLATE* vek_SkinDlg::LoadDlgTemplate() {
  return fw::LoadDialogTemplate(fw::ResourceModule(), templateName_);
}

bool vek_SkinDlg::Create(const wchar_t* templateName, fw::CWnd* parent) {
  templateName_ = templateName;
  if (IS_INTRESOURCE(templateName)) {
    templateId_ = static_cast<UINT>(reinterpret_cast<ULONG_PTR>(templateName));
    if (helpId_ == 0) helpId_ = templateId_;
  }
  return CreateIndirect(LoadDlgTemplate(), parent, fw::ResourceModule());
}

bool vek_SkinDlg::Create(UINT templateId, fw::CWnd* parent) {
  return fw::CDialog::Create(MAKEINTRESOURCEW(templateId), parent);
}

INT_PTR vek_SkinDlg::DoModalFor(HWND parent) {
  const DLGTEMPLATE* tmpl = LoadDlgTemplate();
  if (tmpl == nullptr) return -1;
  return RunModalIndirect(tmpl, parent != nullptr ? parent : DefaultOwner());
}

BOOL vek_SkinDlg::OnInitDialog() {
  fw::CDialog::OnInitDialog();
  OnLoadSkin();
  if (background.GetSafeHandle() != nullptr) ApplyBackgroundShape();
  OnLayout();
  ApplyCtrlBackColors(SkinTable());
  ApplyCtrlForeColors(SkinTable());
  return TRUE;
}

void vek_SkinDlg::UseLightBody() {
  ctrlTextColor = palette::kBodyText;
  ctrlBrush.reset(CreateSolidBrush(palette::kBody));
  titleLeft = palette::kTitleLeft;
  titleTop = palette::kBodyTitleTop;
}

int vek_SkinDlg::OnLoadSkin() {
  vek_IResMgr* res = SkinResMgr();
  if (faceId != 0 && res != nullptr) {
    HANDLE face = nullptr;
    if (SUCCEEDED(res->LoadRes(faceId, faceId >> 28, &face))) {
      Face().Attach(static_cast<HBITMAP>(face));
    }
  }
  ApplyCtrlImages(SkinTable(), res);
  return 0;
}

int vek_SkinDlg::OnFreeSkin() {
  vek_IResMgr* res = SkinResMgr();
  if (faceId != 0) {
    HBITMAP face = Face().Detach();
    if (res != nullptr && face != nullptr) res->FreeRes(face);
  }
  ReleaseCtrlImages(SkinTable(), res);
  return 0;
}

int vek_SkinDlg::OnLayout() {
  ApplyCtrlLayout(m_hWnd, SkinTable());
  return 1;
}

void vek_SkinDlg::ApplyBackgroundShape() {
  SIZE size = background.GetSize();
  skinWidth = size.cx;
  skinHeight = size.cy;
  SetWindowPos(nullptr, 0, 0, skinWidth, skinHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  fw::UniqueRgn rgn;
  background.MakeRegion(rgn);
  // The window owns the region from here on.
  if (SetWindowRgn(m_hWnd, rgn.get(), TRUE)) rgn.release();
  Invalidate(true);
}

void vek_SkinDlg::OnOK() {
  if (ignoreOk) return;
  fw::CDialog::OnOK();
}

void vek_SkinDlg::OnCancel() {
  if (ignoreCancel) return;
  fw::CDialog::OnCancel();
}

BOOL vek_SkinDlg::OnEraseBkgnd(HDC dc) {
  if (background.GetSafeHandle() == nullptr) return fw::CDialog::OnEraseBkgnd(dc);
  background.DrawPart(dc, 0, 0, skinWidth, skinHeight, 0, 0);
  if (!title.empty()) DrawTitle(dc);
  return TRUE;
}

void vek_SkinDlg::DrawTitle(HDC dc) {
  fw::SaveDcGuard saved(dc);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, titleColor);
  SelectObject(dc, fw::FontOrDefault(titleFont.GetSafeHandle()));
  RECT box{titleLeft, titleTop, skinWidth, titleTop + captionHeight};
  DrawTextW(dc, title.c_str(), static_cast<int>(title.size()), &box, 0);
}

HBRUSH vek_SkinDlg::OnCtlColor(HDC dc, HWND ctl, UINT ctlType) {
  if (!paintControls) return fw::CDialog::OnCtlColor(dc, ctl, ctlType);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ctrlTextColor);
  return ctrlBrush.get();
}

void vek_SkinDlg::OnLButtonDown(UINT flags, POINT pt) {
  if (!InCaptionBand(pt)) {
    Default();
    return;
  }
  SetCursor(moveCursor);
  // The system's own move loop takes over from here.
  PostMessage(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(pt.x, pt.y));
}

void vek_SkinDlg::OnMouseMove(UINT flags, POINT pt) {
  if (InCaptionBand(pt)) SetCursor(moveCursor);
  Default();
}

void vek_SkinDlg::OnDestroy() {
  fw::CDialog::OnDestroy();
  OnFreeSkin();
}

void vek_SkinDlg::ShowOverParent(BOOL show) {
  HWND parent = GetParentHwnd();
  fw::CWnd* mainObj = fw::AfxGetMainWnd();
  HWND main = mainObj != nullptr ? mainObj->m_hWnd : nullptr;
  if (show) {
    RECT p{}, d{};
    ::GetWindowRect(parent, &p);
    ::GetWindowRect(m_hWnd, &d);
    POINT at = CentredOnWorkArea(p, SIZE{d.right - d.left, d.bottom - d.top});
    // A child's position is in its parent's client coordinates.
    if ((GetStyle() & WS_CHILD) != 0) ScreenToClient(parent, &at);
    SetWindowPos(parent, at.x, at.y, 0, 0, SWP_SHOWWINDOW | SWP_NOSIZE);
    if (main != nullptr) ::EnableWindow(main, FALSE);
    if (parent != nullptr) ::EnableWindow(parent, FALSE);
  } else {
    if (main != nullptr) ::EnableWindow(main, TRUE);
    if (parent != nullptr) ::EnableWindow(parent, TRUE);
    SetWindowPos(parent, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE);
  }
}

vek_SubView::vek_SubView(UINT templateId, fw::CWnd* parent)
    : vek_SkinDlg(templateId, parent), viewBrush(CreateSolidBrush(palette::kDark)) {
  dragEnabled = FALSE;
}

BOOL vek_SubView::OnInitDialog() {
  vek_SkinDlg::OnInitDialog();
  return TRUE;
}

BOOL vek_SubView::OnEraseBkgnd(HDC dc) {
  if (viewBackground.GetSafeHandle() == nullptr) return FALSE;
  SIZE size = viewBackground.GetSize();
  viewBackground.DrawPart(dc, destX, destY, size.cx, size.cy, srcX, srcY);
  return TRUE;
}
