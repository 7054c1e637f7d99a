#include "tests/support/WindowPixels.h"

namespace testing_support {

WindowPixels::WindowPixels(HWND wnd, Area area) {
  RedrawWindow(wnd, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
  PumpMessages();
  RECT rc{};
  if (area == kWindow) {
    GetWindowRect(wnd, &rc);
    OffsetRect(&rc, -rc.left, -rc.top);
  } else {
    GetClientRect(wnd, &rc);
  }
  HDC dc = area == kWindow ? GetWindowDC(wnd) : GetDC(wnd);
  CopyFrom(dc, rc.right, rc.bottom);
  ReleaseDC(wnd, dc);
}

WindowPixels::WindowPixels(HDC dc, int cx, int cy) { CopyFrom(dc, cx, cy); }

void WindowPixels::CopyFrom(HDC dc, int cx, int cy) {
  if (cx <= 0 || cy <= 0) return;
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
  bi.bmiHeader.biWidth = cx;
  bi.bmiHeader.biHeight = -cy;  // top-down
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (dib == nullptr) return;
  HDC mem = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(mem, dib);
  BitBlt(mem, 0, 0, cx, cy, dc, 0, 0, SRCCOPY);
  GdiFlush();
  const DWORD* p = static_cast<const DWORD*>(bits);
  bits_.assign(p, p + static_cast<size_t>(cx) * cy);
  width_ = cx;
  height_ = cy;
  SelectObject(mem, old);
  DeleteDC(mem);
  DeleteObject(dib);
}

COLORREF WindowPixels::at(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return CLR_INVALID;
  DWORD v = bits_[static_cast<size_t>(y) * width_ + x];
  return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
}

int WindowPixels::Count(COLORREF color, int x0, int y0, int x1, int y1) const {
  int n = 0;
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) n += at(x, y) == color ? 1 : 0;
  }
  return n;
}

void PumpMessages(DWORD ms) {
  DWORD start = GetTickCount();
  do {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (ms > 0) Sleep(5);
  } while (GetTickCount() - start < ms);
}

HBITMAP MakeBitmapFromPixels(int cx, int cy, const std::vector<COLORREF>& pixels) {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
  bi.bmiHeader.biWidth = cx;
  bi.bmiHeader.biHeight = -cy;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  std::vector<DWORD> bits(pixels.size());
  for (size_t i = 0; i < pixels.size(); ++i) {
    COLORREF c = pixels[i];
    bits[i] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
  }
  HDC screen = GetDC(nullptr);
  HBITMAP bmp = CreateCompatibleBitmap(screen, cx, cy);
  if (bmp != nullptr) SetDIBits(screen, bmp, 0, cy, bits.data(), &bi, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  return bmp;
}

}  // namespace testing_support
