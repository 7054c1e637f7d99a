#pragma once
// Scope guards for GDI: owning wrappers for GDI objects and device
// contexts, and a guard for every object selected into a DC. Borrowed
// handles stay plain HDC/HGDIOBJ values.
#include <windows.h>

#include <utility>

namespace fw {

// Owns one GDI object (brush, pen, bitmap, font, region) and deletes it.
template <class H>
class GdiObject {
 public:
  GdiObject() = default;
  explicit GdiObject(H h) : h_(h) {}
  ~GdiObject() { reset(); }
  GdiObject(GdiObject&& other) noexcept : h_(other.release()) {}
  GdiObject& operator=(GdiObject&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;

  H get() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }
  H release() { return std::exchange(h_, nullptr); }
  void reset(H h = nullptr) {
    if (h_ != nullptr) DeleteObject(h_);
    h_ = h;
  }

 private:
  H h_ = nullptr;
};

using UniqueBrush = GdiObject<HBRUSH>;
using UniquePen = GdiObject<HPEN>;
using UniqueBitmap = GdiObject<HBITMAP>;
using UniqueFont = GdiObject<HFONT>;
using UniqueRgn = GdiObject<HRGN>;

// Selects an object into a DC for the guard's lifetime.
class SelectGuard {
 public:
  SelectGuard(HDC dc, HGDIOBJ obj) : dc_(dc), old_(obj ? SelectObject(dc, obj) : nullptr) {}
  ~SelectGuard() {
    if (old_ != nullptr && old_ != HGDI_ERROR) SelectObject(dc_, old_);
  }
  SelectGuard(const SelectGuard&) = delete;
  SelectGuard& operator=(const SelectGuard&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// Saves the DC's whole state (mode, colours, selections) and restores it.
class SaveDcGuard {
 public:
  explicit SaveDcGuard(HDC dc) : dc_(dc), saved_(SaveDC(dc)) {}
  ~SaveDcGuard() {
    if (saved_ != 0) RestoreDC(dc_, saved_);
  }
  SaveDcGuard(const SaveDcGuard&) = delete;
  SaveDcGuard& operator=(const SaveDcGuard&) = delete;

 private:
  HDC dc_;
  int saved_;
};

// A memory DC compatible with `dc` (null: the screen); deleted with the guard.
class MemoryDc {
 public:
  explicit MemoryDc(HDC dc) : dc_(CreateCompatibleDC(dc)) {}
  ~MemoryDc() {
    if (dc_ != nullptr) DeleteDC(dc_);
  }
  MemoryDc(const MemoryDc&) = delete;
  MemoryDc& operator=(const MemoryDc&) = delete;
  HDC get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HDC dc_;
};

// GetDC / GetWindowDC of a window, released with the guard.
class WindowDc {
 public:
  enum Kind { kClient, kWindow };
  explicit WindowDc(HWND wnd, Kind kind = kClient)
      : wnd_(wnd), dc_(kind == kWindow ? GetWindowDC(wnd) : GetDC(wnd)) {}
  ~WindowDc() {
    if (dc_ != nullptr) ReleaseDC(wnd_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HWND wnd_;
  HDC dc_;
};

// BeginPaint / EndPaint.
class PaintDc {
 public:
  explicit PaintDc(HWND wnd) : wnd_(wnd), dc_(BeginPaint(wnd, &ps_)) {}
  ~PaintDc() { EndPaint(wnd_, &ps_); }
  PaintDc(const PaintDc&) = delete;
  PaintDc& operator=(const PaintDc&) = delete;
  HDC get() const { return dc_; }
  const PAINTSTRUCT& ps() const { return ps_; }

 private:
  HWND wnd_;
  PAINTSTRUCT ps_{};
  HDC dc_;
};

// Paints into a memory bitmap of the target's size and copies it to the
// target when the guard ends, so a window paints without flicker.
class BufferedDc {
 public:
  BufferedDc(HDC target, int cx, int cy);
  ~BufferedDc();
  BufferedDc(const BufferedDc&) = delete;
  BufferedDc& operator=(const BufferedDc&) = delete;
  // The memory DC, or the target itself when no buffer could be made.
  HDC get() const { return old_ != nullptr ? mem_.get() : target_; }

 private:
  HDC target_;
  int cx_, cy_;
  MemoryDc mem_;
  UniqueBitmap bitmap_;
  HGDIOBJ old_ = nullptr;
};

inline BufferedDc::BufferedDc(HDC target, int cx, int cy)
    : target_(target),
      cx_(cx),
      cy_(cy),
      mem_(target),
      bitmap_(CreateCompatibleBitmap(target, cx > 0 ? cx : 1, cy > 0 ? cy : 1)) {
  if (mem_ && bitmap_) old_ = SelectObject(mem_.get(), bitmap_.get());
}

inline BufferedDc::~BufferedDc() {
  if (old_ == nullptr) return;
  BitBlt(target_, 0, 0, cx_, cy_, mem_.get(), 0, 0, SRCCOPY);
  SelectObject(mem_.get(), old_);
}

// A straight line from (x0, y0) to (x1, y1) with the current pen; the end
// point is not drawn, as LineTo does.
inline void Line(HDC dc, int x0, int y0, int x1, int y1) {
  MoveToEx(dc, x0, y0, nullptr);
  LineTo(dc, x1, y1);
}

}  // namespace fw
