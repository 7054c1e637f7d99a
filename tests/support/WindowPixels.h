#pragma once
// Reads back what a window shows: a copy of its client area (or whole
// window) taken through its DC into a 32-bit buffer, for tests that check
// painting pixel by pixel. Also pumps the message queue, so that posted
// messages and paints are handled before the pixels are read.
#include <windows.h>

#include <vector>

namespace testing_support {

class WindowPixels {
 public:
  enum Area { kClient, kWindow };
  // Repaints the window (RedrawWindow with update now) and copies it.
  explicit WindowPixels(HWND wnd, Area area = kClient);
  // Copies what was drawn into a DC, `cx` by `cy` from its origin.
  WindowPixels(HDC dc, int cx, int cy);

  int width() const { return width_; }
  int height() const { return height_; }
  // The pixel as a COLORREF; CLR_INVALID outside the copy.
  COLORREF at(int x, int y) const;
  // How many pixels of the rectangle [x0, x1) x [y0, y1) have `color`.
  int Count(COLORREF color, int x0, int y0, int x1, int y1) const;

 private:
  void CopyFrom(HDC dc, int cx, int cy);
  int width_ = 0;
  int height_ = 0;
  std::vector<DWORD> bits_;
};

// Handles every queued message, repeatedly for `ms` milliseconds (0: once).
void PumpMessages(DWORD ms = 0);

// A 24-bit device bitmap of cx by cy filled by `fill(x, y)` (COLORREF),
// the way the resource manager hands out bitmaps.
template <class Fill>
HBITMAP MakeBitmap(int cx, int cy, Fill fill);

HBITMAP MakeBitmapFromPixels(int cx, int cy, const std::vector<COLORREF>& pixels);

template <class Fill>
HBITMAP MakeBitmap(int cx, int cy, Fill fill) {
  std::vector<COLORREF> pixels(static_cast<size_t>(cx) * cy);
  for (int y = 0; y < cy; ++y) {
    for (int x = 0; x < cx; ++x) pixels[static_cast<size_t>(y) * cx + x] = fill(x, y);
  }
  return MakeBitmapFromPixels(cx, cy, pixels);
}

}  // namespace testing_support
