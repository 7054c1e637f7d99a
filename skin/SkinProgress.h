#pragma once
// vek_SkinProgress: a flat progress bar with a frame.
#include <windows.h>

#include "fw/Gdi.h"
#include "fw/Wnd.h"

class vek_SkinProgress : public fw::CWnd {
 public:
  fw::UniqueBrush backBrush;
  fw::UniqueBrush barBrush;
  int reserved = 0;  // not read by drawing
  int maxPos = 1;
  int pos = 0;
  COLORREF borderColor = RGB(28, 67, 115);

  // Width of the bar inside a frame whose inner width is `innerWidth`.
  int BarWidth(int innerWidth) const;

 protected:
  void OnPaint() override;
  void OnNcPaint(HRGN) override {}
  BOOL OnEraseBkgnd(HDC) override { return TRUE; }
};
