#include "clipconv/Notification.h"

#include <algorithm>
#include <vector>

#include "fw/Gdi.h"
#include "fw/MessageBox.h"

namespace {

constexpr UINT_PTR kHideTimer = 1;
// 96-DPI sizes.
constexpr int kWidth = 300;
constexpr int kMargin = 12;       // from the work area's edges
constexpr int kPadX = 16;
constexpr int kTitleTop = 10;
constexpr int kTitleHeight = 18;
constexpr int kLineHeight = 22;
constexpr int kBottomPad = 12;
constexpr int kAccentWidth = 4;
constexpr COLORREF kAccent = RGB(20, 142, 195);
constexpr COLORREF kFrame = RGB(91, 147, 209);
constexpr COLORREF kText = RGB(64, 64, 64);
constexpr COLORREF kTitleText = RGB(110, 110, 110);

std::vector<std::wstring> Lines(const std::wstring& text) {
  std::vector<std::wstring> lines;
  size_t start = 0;
  while (true) {
    const size_t end = text.find(L'\n', start);
    lines.push_back(text.substr(start, end == std::wstring::npos ? end : end - start));
    if (end == std::wstring::npos) break;
    start = end + 1;
  }
  return lines;
}

void RegisterNotificationClass() {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = Notification::kClassName;
  RegisterClassExW(&wc);  // fails harmlessly when registered already
}

}  // namespace

bool Notification::EnsureWindow() {
  if (m_hWnd != nullptr) return true;
  RegisterNotificationClass();
  return CreateEx(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kClassName, L"", WS_POPUP,
                  RECT{0, 0, kWidth, 60}, static_cast<HWND>(nullptr), 0);
}

HFONT Notification::Font(const DpiScale& scale, bool title) const {
  LOGFONTW lf{};
  GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
  lf.lfHeight = -scale.Scale(title ? 12 : 15);
  lf.lfWidth = 0;
  lf.lfWeight = title ? FW_NORMAL : FW_BOLD;
  lf.lfQuality = CLEARTYPE_QUALITY;
  return SharedFont(lf);
}

void Notification::Place(const DpiScale& scale) {
  const size_t lines = Lines(text_).size();
  const int width = scale.Scale(kWidth);
  const int height =
      scale.Scale(kTitleTop + kTitleHeight + kLineHeight * static_cast<int>(lines) + kBottomPad);
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  if (GetMonitorInfoW(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &info)) {
    area = info.rcWork;
  }
  const int margin = scale.Scale(kMargin);
  SetWindowPos(HWND_TOPMOST, area.right - width - margin, area.bottom - height - margin, width,
               height, SWP_NOACTIVATE);
}

void Notification::Show(const std::wstring& text) {
  if (!EnsureWindow()) return;
  text_ = text;
  SetWindowText(text_);
  // Placed once for the system's scale, then again for its monitor's.
  Place(DpiScale::ForSystem());
  Place(DpiScale::ForWindow(m_hWnd));
  ::ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
  Invalidate(true);
  UpdateWindow();
  SetTimer(kHideTimer, kShowMs);
}

void Notification::Hide() {
  if (m_hWnd == nullptr) return;
  KillTimer(kHideTimer);
  ::ShowWindow(m_hWnd, SW_HIDE);
}

void Notification::OnTimer(UINT_PTR id) {
  if (id == kHideTimer) {
    // It stays while the pointer rests on it, so that it can be read.
    POINT pt{};
    const RECT rc = GetWindowRect();
    if (GetCursorPos(&pt) && PtInRect(&rc, pt)) return;
    Hide();
    return;
  }
  Default();
}

void Notification::OnLButtonDown(UINT, POINT) { Hide(); }

LRESULT Notification::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  // Shown over other programs, it never takes their focus.
  if (msg == WM_MOUSEACTIVATE) return MA_NOACTIVATE;
  if (msg == WM_ERASEBKGND) return 1;
  return fw::CWnd::WindowProc(msg, wp, lp);
}

void Notification::OnPaint() {
  fw::PaintDc paint(m_hWnd);
  HDC dc = paint.get();
  if (dc == nullptr) return;
  fw::SaveDcGuard saved(dc);
  const DpiScale scale = DpiScale::ForWindow(m_hWnd);
  const RECT rc = GetClientRect();
  fw::UniqueBrush white(CreateSolidBrush(RGB(255, 255, 255)));
  fw::UniqueBrush frame(CreateSolidBrush(kFrame));
  fw::UniqueBrush accent(CreateSolidBrush(kAccent));
  FillRect(dc, &rc, white.get());
  FrameRect(dc, &rc, frame.get());
  const RECT bar{rc.left + 1, rc.top + 1, rc.left + 1 + scale.Scale(kAccentWidth), rc.bottom - 1};
  FillRect(dc, &bar, accent.get());

  constexpr UINT kLine = DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS;
  SetBkMode(dc, TRANSPARENT);
  const int left = scale.Scale(kPadX);
  const int right = rc.right - scale.Scale(kPadX / 2);
  SelectObject(dc, Font(scale, true));
  SetTextColor(dc, kTitleText);
  const std::wstring title = fw::AppName().empty() ? L"Tarnwell" : fw::AppName();
  RECT titleRect{left, scale.Scale(kTitleTop), right, scale.Scale(kTitleTop + kTitleHeight)};
  DrawTextW(dc, title.c_str(), -1, &titleRect, kLine);
  SelectObject(dc, Font(scale, false));
  SetTextColor(dc, kText);
  int top = scale.Scale(kTitleTop + kTitleHeight);
  for (const std::wstring& line : Lines(text_)) {
    RECT lineRect{left, top, right, top + scale.Scale(kLineHeight)};
    DrawTextW(dc, line.c_str(), -1, &lineRect, kLine);
    top += scale.Scale(kLineHeight);
  }
}
