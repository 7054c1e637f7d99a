#include "skin/SkinStatic.h"

#include <string>

#include "skin/Painting.h"
#include "skin/SkinRes.h"

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
  std::wstring text = ControlText(m_hWnd);
  RECT rc = GetClientRect();
  FillRect(dc, &rc, backBrush.get());
  fw::SaveDcGuard saved(dc);
  SetTextColor(dc, textColor);
  SetBkMode(dc, TRANSPARENT);
  SelectObject(dc, fw::FontOrDefault(ScaledFont(font.GetSafeHandle(), SkinDpi(m_hWnd))));
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
  const DpiScale s = SkinDpi(m_hWnd);
  const int mid = T + s.Scale(7);
  fw::UniquePen pen(CreatePen(PS_SOLID, 1, lineColor));
  fw::SaveDcGuard saved(dc);  // ends first: the pen is deselected before it goes
  SelectObject(dc, pen.get());
  SelectObject(dc, fw::FontOrDefault(reinterpret_cast<HFONT>(SendMessage(WM_GETFONT))));
  SetTextColor(dc, textColor);
  SetBkColor(dc, textBackColor);
  SetBkMode(dc, OPAQUE);
  fw::Line(dc, L, mid, R - 2, mid);
  fw::Line(dc, L, mid, L, B - 1);
  fw::Line(dc, R - 2, mid, R - 2, B);
  fw::Line(dc, L, B - 1, R - 2, B - 1);
  std::wstring text = ControlText(m_hWnd);
  RECT box{L + s.Scale(10), T, R, T + s.Scale(15)};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box,
            DT_END_ELLIPSIS | DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER);
}
