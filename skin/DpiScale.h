#pragma once
// DpiScale: the one place where the skin's 96-DPI numbers become the pixels
// of a window's display. Every size and position of the skin (window faces,
// control tables, caption band, fonts, list rows, scroll bars) is written
// for 96 DPI and goes through Scale(); at 96 DPI every number stays as it is.
#include <windows.h>

class DpiScale {
 public:
  static constexpr int kBase = 96;

  constexpr DpiScale() = default;
  explicit constexpr DpiScale(int dpi) : dpi_(dpi >= 24 ? dpi : kBase) {}

  // The DPI of the monitor the window is on (per-monitor aware process), or
  // the system's; 96 for no window and when nothing can be read.
  static DpiScale ForWindow(HWND wnd);
  static DpiScale ForSystem();

  constexpr int Dpi() const { return dpi_; }
  constexpr bool IsBase() const { return dpi_ == kBase; }
  constexpr bool operator==(const DpiScale& o) const { return dpi_ == o.dpi_; }
  constexpr bool operator!=(const DpiScale& o) const { return dpi_ != o.dpi_; }

  // Rounded to the nearest pixel, halves away from zero (as MulDiv does):
  // -7 (seven from the right edge) and 7 scale to the same distance.
  constexpr int Scale(int v) const {
    const long long n = static_cast<long long>(v) * dpi_;
    return static_cast<int>(n >= 0 ? (n + kBase / 2) / kBase : -((-n + kBase / 2) / kBase));
  }
  constexpr double ScaleF(double v) const { return v * dpi_ / kBase; }
  RECT Scale(const RECT& r) const { return RECT{Scale(r.left), Scale(r.top), Scale(r.right), Scale(r.bottom)}; }
  POINT Scale(POINT p) const { return POINT{Scale(p.x), Scale(p.y)}; }
  SIZE Scale(SIZE s) const { return SIZE{Scale(s.cx), Scale(s.cy)}; }
  // A font height of LOGFONT (negative: character height) at this scale.
  constexpr int FontHeight(int height96) const { return Scale(height96); }

  // The skin's pictures are drawn at these scales (percent of 96 DPI).
  static constexpr int kDrawnPercents[5] = {100, 125, 150, 175, 200};
  // The drawn set a window at this DPI uses: the largest not above it (100
  // below 96 DPI, 200 above 192).
  constexpr int ArtPercent() const {
    int chosen = kDrawnPercents[0];
    for (int p : kDrawnPercents) {
      if (p * kBase <= dpi_ * 100) chosen = p;
    }
    return chosen;
  }
  // True when the drawn set fits this DPI exactly (no resampling needed).
  constexpr bool IsDrawnScale() const { return ArtPercent() * kBase == dpi_ * 100; }

 private:
  int dpi_ = kBase;
};

// Declares the process per-monitor DPI aware (version 2 where the system
// has it, then per-monitor, then system aware), through whichever of the
// system's functions exist. The manifest says the same; this covers a
// program started without it. True when some awareness was set or was
// already in force.
bool EnableDpiAwareness();

// Tells the dialog manager (Windows 10, 1703 on) that the dialog lays
// itself out and sets its fonts for a new DPI. Nothing on older systems.
void TakeOverDialogScaling(HWND dialog);

// A copy of `base` with its height scaled for `scale`, kept for the life of
// the process (one per face, weight, height and DPI); `base` itself at 96
// DPI or when it cannot be read. Not owned by the caller.
HFONT ScaledFont(HFONT base, const DpiScale& scale);

// The font `lf` describes, made once and kept for the life of the process;
// null when it cannot be made. Not owned by the caller.
HFONT SharedFont(const LOGFONTW& lf);

// The window's DPI as Windows reports it with WM_DPICHANGED's wParam.
inline DpiScale DpiFromMessage(WPARAM wp) { return DpiScale(HIWORD(wp)); }
