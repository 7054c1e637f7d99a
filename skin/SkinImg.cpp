#include "skin/SkinImg.h"

#include <vector>

namespace {

// Runs `blit(memoryDc)` with the bitmap selected into a memory DC.
template <class Blit>
bool WithBitmapDc(HDC dc, HBITMAP bitmap, Blit blit) {
  if (bitmap == nullptr) return false;
  fw::MemoryDc mem(dc);
  if (!mem) return false;
  fw::SelectGuard sel(mem.get(), bitmap);
  blit(mem.get());
  return true;
}

}  // namespace

bool vek_SkinImg::Draw(HDC dc, int x, int y) const {
  SIZE size = GetSize();
  return WithBitmapDc(dc, get(),
                      [&](HDC mem) { BitBlt(dc, x, y, size.cx, size.cy, mem, 0, 0, SRCCOPY); });
}

bool vek_SkinImg::DrawPart(HDC dc, int x, int y, int cx, int cy, int srcX, int srcY) const {
  return WithBitmapDc(dc, get(),
                      [&](HDC mem) { BitBlt(dc, x, y, cx, cy, mem, srcX, srcY, SRCCOPY); });
}

bool vek_SkinImg::Stretch(HDC dc, int x, int y, int cx, int cy) const {
  SIZE size = GetSize();
  return StretchPart(dc, x, y, cx, cy, 0, 0, size.cx, size.cy);
}

bool vek_SkinImg::StretchPart(HDC dc, int x, int y, int cx, int cy, int srcX, int srcY, int srcCx,
                              int srcCy) const {
  return WithBitmapDc(dc, get(), [&](HDC mem) {
    int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, x, y, cx, cy, mem, srcX, srcY, srcCx, srcCy, SRCCOPY);
    SetStretchBltMode(dc, oldMode);
  });
}

bool vek_SkinImg::MakeRegion(fw::UniqueRgn& rgn) const {
  rgn.reset(CreateRectRgn(0, 0, 0, 0));
  SIZE size = GetSize();
  if (!rgn || size.cx <= 0 || size.cy <= 0) return false;

  // A top-down 32-bit copy: blue, green, red and an unused byte per pixel.
  std::vector<DWORD> pixels;
  try {
    pixels.resize(static_cast<size_t>(size.cx) * static_cast<size_t>(size.cy));
  } catch (...) {
    return false;
  }
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
  bi.bmiHeader.biWidth = size.cx;
  bi.bmiHeader.biHeight = -size.cy;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  fw::WindowDc screen(nullptr);
  if (GetDIBits(screen.get(), get(), 0, static_cast<UINT>(size.cy), pixels.data(), &bi,
                DIB_RGB_COLORS) == 0) {
    return false;
  }

  constexpr DWORD kKey = 0x00FF00FF;  // red 255, green 0, blue 255
  for (int y = 0; y < size.cy; ++y) {
    const DWORD* row = pixels.data() + static_cast<size_t>(y) * size.cx;
    int x = 0;
    while (x < size.cx) {
      while (x < size.cx && (row[x] & 0x00FFFFFF) == kKey) ++x;
      int start = x;
      while (x < size.cx && (row[x] & 0x00FFFFFF) != kKey) ++x;
      if (x > start) {
        fw::UniqueRgn run(CreateRectRgn(start, y, x, y + 1));
        CombineRgn(rgn.get(), rgn.get(), run.get(), RGN_OR);
      }
    }
  }
  return true;
}
