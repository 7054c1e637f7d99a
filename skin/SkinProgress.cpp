#include "skin/SkinProgress.h"

#include <algorithm>

int vek_SkinProgress::BarWidth(int innerWidth) const {
  // A maximum of 0 would divide by zero: nothing is filled then.
  if (maxPos <= 0 || innerWidth <= 0) return 0;
  int width = static_cast<int>(static_cast<double>(innerWidth) / maxPos * pos);
  return std::clamp(width, 0, innerWidth);
}

void vek_SkinProgress::OnPaint() {
  fw::PaintDc paint(m_hWnd);
  RECT rc = GetClientRect();
  fw::BufferedDc buffer(paint.get(), rc.right, rc.bottom);
  HDC dc = buffer.get();
  {
    fw::UniquePen pen(CreatePen(PS_SOLID, 1, borderColor));
    fw::SelectGuard selPen(dc, pen.get());
    fw::SelectGuard selBrush(
        dc, backBrush ? static_cast<HGDIOBJ>(backBrush.get()) : GetStockObject(WHITE_BRUSH));
    Rectangle(dc, rc.left, rc.top, rc.right, rc.bottom);
  }
  RECT inner = rc;
  InflateRect(&inner, -1, -1);
  RECT bar = inner;
  bar.right = inner.left + BarWidth(inner.right - inner.left);
  if (bar.right > bar.left && barBrush) FillRect(dc, &bar, barBrush.get());
}
