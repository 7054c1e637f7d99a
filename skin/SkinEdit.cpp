#include "skin/SkinEdit.h"

#include <string>

namespace {

constexpr int kMaxText = 260;

std::wstring TextOf(HWND wnd) {
  wchar_t buf[kMaxText] = {};
  GetWindowTextW(wnd, buf, kMaxText);
  return buf;
}

}  // namespace

void DrawWindowFrame(HWND wnd, COLORREF color) {
  fw::WindowDc dc(wnd, fw::WindowDc::kWindow);
  if (!dc) return;
  RECT wr{};
  GetWindowRect(wnd, &wr);
  const int w = wr.right - wr.left, h = wr.bottom - wr.top;
  fw::UniquePen pen(CreatePen(PS_SOLID, 1, color));
  fw::SelectGuard sel(dc.get(), pen.get());
  POINT pts[5] = {{0, 0}, {w - 1, 0}, {w - 1, h - 1}, {0, h - 1}, {0, 0}};
  Polyline(dc.get(), pts, 5);
}

// ---- vek_SkinEdit ----

void vek_SkinEdit::SetBackColor(COLORREF color) {
  backColor = color;
  backBrush.reset(CreateSolidBrush(color));
}

bool vek_SkinEdit::Create(DWORD style, const RECT& rect, fw::CWnd* parent, UINT id) {
  return fw::CEdit::Create(style & ~WS_BORDER, rect, parent, id);
}

void vek_SkinEdit::DrawBorder() {
  if (drawBorder && m_hWnd != nullptr) DrawWindowFrame(m_hWnd, borderColor);
}

void vek_SkinEdit::OnNcPaint(HRGN rgn) {
  // The standard frame runs only to draw a scroll bar that is needed.
  SCROLLINFO si{sizeof(si), SIF_PAGE};
  if ((GetStyle() & WS_VSCROLL) && GetScrollInfo(m_hWnd, SB_VERT, &si) && si.nPage > 1) {
    Default();
  }
  DrawBorder();
}

bool vek_SkinEdit::OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
  if (msg == WM_COMMAND) {
    if (HIWORD(wp) == EN_SETFOCUS || HIWORD(wp) == EN_KILLFOCUS) DrawBorder();
    return false;
  }
  if (msg != WM_CTLCOLOREDIT && msg != WM_CTLCOLORSTATIC) return false;
  DrawBorder();
  HDC dc = reinterpret_cast<HDC>(wp);
  SetTextColor(dc, textColor);
  SetBkColor(dc, backColor);
  SetBkMode(dc, TRANSPARENT);
  *result = reinterpret_cast<LRESULT>(backBrush.get());
  return true;
}

void vek_SkinEdit::OnMouseMove(UINT flags, POINT pt) {
  TRACKMOUSEEVENT tme{sizeof(tme), TME_HOVER | TME_LEAVE, m_hWnd, 0};
  TrackMouseEvent(&tme);
  Default();
}

void vek_SkinEdit::OnChar(UINT ch, UINT repeat, UINT flags) {
  Invalidate(true);
  Default();
}

// ---- vek_SkinStatic ----

vek_SkinStatic::vek_SkinStatic() { font.CreateFont(-11, FW_NORMAL, DEFAULT_CHARSET, L"Tahoma"); }

void vek_SkinStatic::SetBackColor(COLORREF color) {
  backColor = color;
  backBrush.reset(CreateSolidBrush(color));
}

void vek_SkinStatic::PreSubclassWindow() {
  if (GetStyle() & SS_NOPREFIX) drawFormat |= DT_NOPREFIX;
}

bool vek_SkinStatic::OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
  if (msg != WM_CTLCOLORSTATIC) return false;
  HDC dc = reinterpret_cast<HDC>(wp);
  SetTextColor(dc, textColor);
  SetBkColor(dc, backColor);
  SetBkMode(dc, TRANSPARENT);
  *result = reinterpret_cast<LRESULT>(backBrush.get());
  return true;
}

void vek_SkinStatic::OnPaint() {
  if (!ownPaint) {
    Default();
    return;
  }
  fw::PaintDc paint(m_hWnd);
  HDC dc = paint.get();
  std::wstring text = TextOf(m_hWnd);
  RECT rc = GetClientRect();
  FillRect(dc, &rc, backBrush.get());
  fw::SaveDcGuard saved(dc);
  SetTextColor(dc, textColor);
  SetBkMode(dc, TRANSPARENT);
  SelectObject(dc, fw::FontOrDefault(font.GetSafeHandle()));
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rc, drawFormat);
}

void vek_SkinStatic::OnMouseMove(UINT flags, POINT pt) {
  SetCursor(LoadCursorW(nullptr, IDC_HAND));
  Default();
}

void vek_SkinStatic::OnLButtonDown(UINT flags, POINT pt) {
  SetCursor(LoadCursorW(nullptr, IDC_HAND));
  Default();
}

// ---- vek_SkinGroupBox ----

void vek_SkinGroupBox::OnPaint() {
  fw::PaintDc paint(m_hWnd);
  HDC dc = paint.get();
  RECT rc = GetClientRect();
  const int L = rc.left, T = rc.top, R = rc.right, B = rc.bottom;
  fw::SaveDcGuard saved(dc);
  fw::UniquePen pen(CreatePen(PS_SOLID, 1, lineColor));
  SelectObject(dc, pen.get());
  SelectObject(dc, fw::FontOrDefault(reinterpret_cast<HFONT>(SendMessage(WM_GETFONT))));
  SetTextColor(dc, textColor);
  SetBkColor(dc, textBackColor);
  SetBkMode(dc, OPAQUE);
  fw::Line(dc, L, T + 7, R - 2, T + 7);
  fw::Line(dc, L, T + 7, L, B - 1);
  fw::Line(dc, R - 2, T + 7, R - 2, B);
  fw::Line(dc, L, B - 1, R - 2, B - 1);
  std::wstring text = TextOf(m_hWnd);
  RECT box{L + 10, T, R, T + 15};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box,
            DT_END_ELLIPSIS | DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER);
  SelectObject(dc, GetStockObject(BLACK_PEN));
}

// ---- vek_SkinComboBox ----

vek_SkinComboBox::vek_SkinComboBox() {
  dropList.borderColor = RGB(87, 117, 159);
  dropList.backColor = RGB(229, 239, 243);
  dropList.textColor = RGB(87, 117, 159);
  dropList.selBackColor = RGB(132, 159, 166);
  dropList.selTextColor = RGB(255, 255, 255);
}

void vek_SkinComboBox::PreSubclassWindow() {
  LONG_PTR style = GetStyle();
  SetWindowLongPtrW(m_hWnd, GWL_STYLE,
                    (style & ~static_cast<LONG_PTR>(0xC)) | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED |
                        CBS_HASSTRINGS);
  // The drop list may ask the combo's parent for its colours rather than
  // the combo (Wine does), so it is bound here already.
  COMBOBOXINFO info{};
  info.cbSize = sizeof(info);
  if (GetComboBoxInfo(m_hWnd, &info) && info.hwndList != nullptr && info.hwndList != m_hWnd) {
    dropList.SubclassWindow(info.hwndList);
  }
}

void vek_SkinComboBox::DrawFace(HDC dc) {
  RECT rc = GetClientRect();
  const int L = rc.left, T = rc.top, R = rc.right, B = rc.bottom;
  FillRect(dc, &rc, backBrush.get());
  DrawWindowFrame(m_hWnd, borderColor);
  {
    fw::UniquePen box(CreatePen(PS_SOLID, 1, arrowBoxColor));
    fw::SelectGuard sel(dc, box.get());
    Rectangle(dc, R - 18, T + 4, R - 3, B - 4);
  }
  {
    fw::UniquePen arrow(CreatePen(PS_SOLID, 1, arrowColor));
    fw::SelectGuard sel(dc, arrow.get());
    fw::Line(dc, R - 14, T + 11, R - 11, T + 14);
    fw::Line(dc, R - 11, T + 14, R - 7, T + 10);
  }
  std::wstring text = TextOf(m_hWnd);
  {
    fw::SaveDcGuard saved(dc);
    SelectObject(dc, fw::FontOrDefault(reinterpret_cast<HFONT>(SendMessage(WM_GETFONT))));
    SetTextColor(dc, textColor);
    SetBkColor(dc, backColor);
    SetBkMode(dc, OPAQUE);
    RECT box{L + 5, T, R, B};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box, DT_SINGLELINE | DT_VCENTER);
  }
  if (dropList.m_hWnd != nullptr) dropList.DrawFrame();
}

void vek_SkinComboBox::OnPaint() {
  fw::PaintDc paint(m_hWnd);
  DrawFace(paint.get());
}

bool vek_SkinComboBox::OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
  if (msg != WM_DRAWITEM) return false;
  const auto* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
  // An empty selection field (item -1) draws nothing.
  if (static_cast<int>(dis->itemID) != -1) DrawFace(dis->hDC);
  *result = TRUE;
  return true;
}

HBRUSH vek_SkinComboBox::OnCtlColor(HDC dc, HWND ctl, UINT ctlType) {
  if (ctlType == CTLCOLOR_LISTBOX && ctl != m_hWnd && dropList.m_hWnd == nullptr) {
    dropList.SubclassWindow(ctl);
  }
  return reinterpret_cast<HBRUSH>(Default());
}

void vek_SkinComboBox::OnDestroy() {
  if (dropList.m_hWnd != nullptr) dropList.UnsubclassWindow();
  Default();
}
