#include "skin/SkinDlg.h"

#include <vector>

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
  // A page takes the scale of the window it sits in.
  dpi_ = SkinDpi(m_hWnd);
  MarkSkinDpi(m_hWnd, dpi_);
  // The dialog lays itself out for a new DPI; the dialog manager's own
  // scaling would do it twice.
  if ((GetStyle() & WS_CHILD) == 0) TakeOverDialogScaling(m_hWnd);
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
    if (dpi_.IsBase()) {
      HANDLE face = nullptr;
      if (SUCCEEDED(res->LoadRes(faceId, faceId >> 28, &face))) {
        Face().Attach(static_cast<HBITMAP>(face));
      }
    } else if (HBITMAP face = LoadSkinBitmapFor(res, faceId, dpi_)) {
      Face().Attach(face);
    }
  }
  ApplyCtrlImages(SkinTable(), res, dpi_);
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
  ApplyCtrlLayout(m_hWnd, SkinTable(), dpi_);
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
  SelectObject(dc, fw::FontOrDefault(ScaledFont(titleFont.GetSafeHandle(), dpi_)));
  RECT box{dpi_.Scale(titleLeft), dpi_.Scale(titleTop), skinWidth,
           dpi_.Scale(titleTop + captionHeight)};
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
  const DpiScale& s = Dpi();
  viewBackground.DrawPart(dc, s.Scale(destX), s.Scale(destY), size.cx, size.cy, s.Scale(srcX),
                          s.Scale(srcY));
  return TRUE;
}

// ---- another display scale ----

namespace {
// Sent to child windows after their top-level window took a new DPI
// (Windows 10, 1703 on); not in the headers of the Windows 7 API level.
constexpr UINT kDpiChangedAfterParent = 0x02E3;
constexpr UINT kDpiChanged = 0x02E0;

// The visible windows `owner` owns on this thread.
struct OwnedWindows {
  HWND owner;
  std::vector<HWND> windows;
};

BOOL CALLBACK CollectOwned(HWND wnd, LPARAM data) noexcept {
  auto* owned = reinterpret_cast<OwnedWindows*>(data);
  if (GetWindow(wnd, GW_OWNER) != owned->owner || !IsWindowVisible(wnd)) return TRUE;
  try {
    owned->windows.push_back(wnd);
  } catch (...) {
    return FALSE;  // without memory the dialogs found so far come along
  }
  return TRUE;
}
}  // namespace

LRESULT vek_SkinDlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == kDpiChanged) {
    ChangeDpi(DpiFromMessage(wp), reinterpret_cast<const RECT*>(lp));
    return 0;
  }
  if (msg == SkinDpiChangedMessage() || msg == kDpiChangedAfterParent) {
    // A page follows the window it sits in.
    const DpiScale scale = msg == kDpiChangedAfterParent ? SkinDpi(GetParentHwnd())
                                                            : DpiScale(static_cast<int>(wp));
    if (scale != dpi_) ChangeDpi(scale, nullptr);
    return 0;
  }
  return fw::CDialog::WindowProc(msg, wp, lp);
}

void vek_SkinDlg::ChangeDpi(const DpiScale& scale, const RECT* suggested) {
  if (m_hWnd == nullptr) return;
  const DpiScale old = dpi_;
  dpi_ = scale;
  MarkSkinDpi(m_hWnd, dpi_);
  if (old != scale) {
    // Controls the table does not place keep their proportions; the table
    // places its own exactly below, the pictures size their buttons.
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child != nullptr;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
      RECT r{};
      ::GetWindowRect(child, &r);
      MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&r), 2);
      const auto at = [&](LONG v) { return MulDiv(v, scale.Dpi(), old.Dpi()); };
      ::SetWindowPos(child, nullptr, at(r.left), at(r.top), at(r.right) - at(r.left),
                     at(r.bottom) - at(r.top), SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // The pictures drawn for the new scale replace the old ones.
    OnFreeSkin();
    OnLoadSkin();
    RescaleChildFonts(old, scale);
  }
  if (background.GetSafeHandle() != nullptr) ApplyBackgroundShape();
  if (suggested != nullptr && (GetStyle() & WS_CHILD) == 0) {
    // Windows suggests where the window goes on its new monitor; the size is
    // the face's.
    SetWindowPos(nullptr, suggested->left, suggested->top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  OnLayout();
  ApplyCtrlBackColors(SkinTable());
  ApplyCtrlForeColors(SkinTable());
  TellChildren(old, scale);
  OnDpiChanged(old, scale);
  if ((GetStyle() & WS_CHILD) == 0) {
    // Our open dialogs come along: laid out for the same scale and centred
    // on us again.
    OwnedWindows owned{m_hWnd, {}};
    EnumThreadWindows(GetCurrentThreadId(), &CollectOwned, reinterpret_cast<LPARAM>(&owned));
    for (HWND wnd : owned.windows) {
      ::SendMessageW(wnd, SkinDpiChangedMessage(), static_cast<WPARAM>(scale.Dpi()),
                     static_cast<LPARAM>(old.Dpi()));
      CenterOverOwner(wnd);
    }
  }
  Invalidate(true);
}

void vek_SkinDlg::RescaleChildFonts(const DpiScale& old, const DpiScale& scale) {
  for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child != nullptr;
       child = ::GetWindow(child, GW_HWNDNEXT)) {
    auto font = reinterpret_cast<HFONT>(::SendMessageW(child, WM_GETFONT, 0, 0));
    LOGFONTW lf{};
    if (font == nullptr || GetObjectW(font, sizeof(lf), &lf) != sizeof(lf)) continue;
    lf.lfHeight = MulDiv(lf.lfHeight, scale.Dpi(), old.Dpi());
    if (HFONT scaled = SharedFont(lf)) {
      ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(scaled), TRUE);
    }
  }
}

void vek_SkinDlg::TellChildren(const DpiScale& old, const DpiScale& scale) {
  for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child != nullptr;
       child = ::GetWindow(child, GW_HWNDNEXT)) {
    ::SendMessageW(child, SkinDpiChangedMessage(), static_cast<WPARAM>(scale.Dpi()),
                   static_cast<LPARAM>(old.Dpi()));
  }
}
