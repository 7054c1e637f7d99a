#pragma once
// vek_SkinImg: a skin bitmap that draws itself into a DC and turns its
// magenta-keyed pixels into a window region.
#include <windows.h>

#include "fw/Gdi.h"
#include "fw/GdiObjects.h"

// The colour that marks transparent pixels in every skin bitmap.
constexpr COLORREF SKIN_COLOR_KEY = RGB(255, 0, 255);

class vek_SkinImg : public fw::CBitmap {
 public:
  // Each copies with SRCCOPY through a temporary memory DC; false when no
  // memory DC could be made or the image is empty.
  bool Draw(HDC dc, int x, int y) const;
  bool DrawPart(HDC dc, int x, int y, int cx, int cy, int srcX, int srcY) const;
  bool Stretch(HDC dc, int x, int y, int cx, int cy) const;
  bool StretchPart(HDC dc, int x, int y, int cx, int cy, int srcX, int srcY, int srcCx,
                   int srcCy) const;
  // Builds `rgn` from the opaque pixels: one rectangle per run of
  // non-key pixels on each row. The pixels are read through a 32-bit copy,
  // so the result does not depend on the display's depth. Without the
  // memory for that copy the region stays empty (and false comes back).
  bool MakeRegion(fw::UniqueRgn& rgn) const;
};
