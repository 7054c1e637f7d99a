#include "skin/Painting.h"

#include "fw/Gdi.h"

void FillSolid(HDC dc, const RECT& rc, COLORREF color) {
  fw::UniqueBrush brush(CreateSolidBrush(color));
  FillRect(dc, &rc, brush.get());
}

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

std::wstring ControlText(HWND wnd) {
  wchar_t buf[260] = {};
  GetWindowTextW(wnd, buf, 260);
  return buf;
}
