#include "skin/SkinScrollBar.h"

#include <algorithm>

#include "fw/Gdi.h"
#include "skin/Painting.h"
#include "skin/SkinRes.h"

namespace {

// A rectangle outlined with a 1-pixel pen and filled.
void OutlinedRect(HDC dc, const RECT& rc, COLORREF border, COLORREF fill) {
  fw::UniquePen pen(CreatePen(PS_SOLID, 1, border));
  fw::UniqueBrush brush(CreateSolidBrush(fill));
  fw::SelectGuard selPen(dc, pen.get());
  fw::SelectGuard selBrush(dc, brush.get());
  Rectangle(dc, rc.left, rc.top, rc.right, rc.bottom);
}

enum Direction { kLeft, kRight, kUp, kDown };

// A filled arrow triangle around the centre (a, b) with sizes c and d.
void Triangle(HDC dc, Direction dir, int a, int b, int c, int d, COLORREF color) {
  int hc = (c - 1) / 2;
  int hd = (d - 1) / 2;
  POINT pts[3];
  switch (dir) {
    case kLeft:
      pts[0] = {a - hc, b};
      pts[1] = {a, b - hd};
      pts[2] = {a, b + hd};
      break;
    case kRight:
      pts[0] = {a, b - hd};
      pts[1] = {a + hc, b};
      pts[2] = {a, b + hd};
      break;
    case kUp:
      pts[0] = {a - hc, b};
      pts[1] = {a, b - hd};
      pts[2] = {a + hc, b};
      break;
    case kDown:
      pts[0] = {a - hc, b};
      pts[1] = {a, b + hd};
      pts[2] = {a + hc, b};
      break;
  }
  fw::UniquePen pen(CreatePen(PS_SOLID, 1, color));
  fw::UniqueBrush brush(CreateSolidBrush(color));
  fw::SelectGuard selPen(dc, pen.get());
  fw::SelectGuard selBrush(dc, brush.get());
  Polygon(dc, pts, 3);
}

bool StrictlyInside(const RECT& rc, POINT pt) {
  return pt.x > rc.left && pt.x < rc.right && pt.y > rc.top && pt.y < rc.bottom;
}

}  // namespace

// ---- geometry ----

int vek_SkinScrollBar::Px(int v) const { return SkinDpi(m_hWnd).Scale(v); }

int vek_SkinScrollBar::Length() const {
  RECT rc = GetClientRect();
  return vertical ? rc.bottom - rc.top : rc.right - rc.left;
}

double vek_SkinHScrollBar::GetThumbLength() const {
  return std::max(static_cast<double>(Px(16)), (Length() - 2 * Ax()) * Ratio());
}

double vek_SkinHScrollBar::GetTrackSpan() const {
  return (Length() - 2 * Ax()) - static_cast<int>(GetThumbLength());
}

double vek_SkinHScrollBar::GetPixelsPerStep() const {
  int range = Range();
  return range < 1 ? 0.0 : GetTrackSpan() / range;
}

double vek_SkinVScrollBar::GetThumbLength() const {
  return std::max(static_cast<double>(Px(16)), (Length() - 3 * Ay()) * Ratio());
}

double vek_SkinVScrollBar::GetTrackSpan() const {
  return (Length() - 2 * Ay()) - GetThumbLength() + 1;
}

double vek_SkinVScrollBar::GetPixelsPerStep() const {
  int range = Range();
  return range < 1 ? 0.0 : GetTrackSpan() / range;
}

int vek_SkinScrollBar::ThumbStart() const {
  return (vertical ? Ay() : Ax()) + static_cast<int>(pos * GetPixelsPerStep());
}

RECT vek_SkinScrollBar::PartRect(int part) const {
  RECT rc = GetClientRect();
  const int w = rc.right, h = rc.bottom;
  const int start = ThumbStart();
  const int end = start + static_cast<int>(GetThumbLength());
  if (!vertical) {
    switch (part) {
      case SBPART_ARROW1: return RECT{0, 0, Ax(), h};
      case SBPART_ARROW2: return RECT{w - Ax(), 0, w, h};
      case SBPART_THUMB: return RECT{start, 0, end, h};
      case SBPART_TRACK_BEFORE: return RECT{Ax(), 0, start, h};
      case SBPART_TRACK_AFTER: return RECT{end, 0, w - Ax(), h};
    }
  } else {
    switch (part) {
      case SBPART_ARROW1: return RECT{0, 0, w, Ay()};
      case SBPART_ARROW2: return RECT{0, h - Ay(), w, h};
      case SBPART_THUMB: return RECT{0, start, w, end};
      case SBPART_TRACK_BEFORE: return RECT{0, Ay(), w, start};
      case SBPART_TRACK_AFTER: return RECT{0, end, w, h - Ay()};
    }
  }
  return RECT{0, 0, 0, 0};
}

int vek_SkinScrollBar::HitTest(POINT pt) const {
  for (int part :
       {SBPART_ARROW1, SBPART_ARROW2, SBPART_THUMB, SBPART_TRACK_BEFORE, SBPART_TRACK_AFTER}) {
    if (StrictlyInside(PartRect(part), pt)) return part;
  }
  return SBPART_NONE;
}

// ---- position ----

void vek_SkinScrollBar::MoveTo(int newPos, int code, bool updateNow) {
  newPos = std::clamp(newPos, 0, std::max(0, Range()));
  if (newPos != pos) {
    pos = newPos;
    if (target != nullptr) target->OnScrolled(code);
    if (m_hWnd != nullptr) Invalidate(true);
  }
  if (updateNow && m_hWnd != nullptr) UpdateWindow();
}

void vek_SkinScrollBar::LineBack() { MoveTo(pos - 1, vertical ? 2 : 0, false); }
void vek_SkinScrollBar::LineForward() { MoveTo(pos + 1, vertical ? 3 : 1, false); }
void vek_SkinScrollBar::PageBack() { MoveTo(pos - Page(), vertical ? 2 : 1, false); }
void vek_SkinScrollBar::PageForward() { MoveTo(pos + Page(), vertical ? 2 : 1, false); }
void vek_SkinScrollBar::ScrollBy(int n) { MoveTo(pos + n, vertical ? 3 : 1, true); }

// ---- mouse and timers ----

void vek_SkinScrollBar::OnLButtonDown(UINT flags, POINT pt) {
  int part = HitTest(pt);
  SetCapture(m_hWnd);
  if (part != SBPART_NONE && Range() > 0) SetCursor(handCursor);
  buttonDown = TRUE;
  switch (part) {
    case SBPART_ARROW1: LineBack(); break;
    case SBPART_ARROW2: LineForward(); break;
    case SBPART_TRACK_BEFORE: PageBack(); break;
    case SBPART_TRACK_AFTER: PageForward(); break;
    case SBPART_THUMB:
      pressedPart = SBPART_THUMB;
      dragOrigin = vertical ? pt.y : pt.x;
      break;
    default: pressedPart = SBPART_NONE; break;
  }
  if (part != SBPART_NONE && part != SBPART_THUMB) {
    pressedPart = part;
    SetTimer(SCROLL_TIMER_DELAY, SCROLL_DELAY_MS);
  }
  Default();
}

void vek_SkinScrollBar::OnMouseMove(UINT flags, POINT pt) {
  if (HitTest(pt) != SBPART_NONE && Range() > 0) SetCursor(handCursor);
  if (buttonDown && pressedPart == SBPART_THUMB) {
    int coordinate = vertical ? pt.y : pt.x;
    double perStep = GetPixelsPerStep();
    // Without a range there is nothing to drag (and no step to divide by).
    int n = perStep > 0 ? static_cast<int>((coordinate - dragOrigin) / perStep) : 0;
    if (n != 0) {
      ScrollBy(n);
      dragOrigin = coordinate;
    }
  }
  Default();
}

void vek_SkinScrollBar::OnLButtonUp(UINT flags, POINT pt) {
  ReleaseCapture();
  buttonDown = FALSE;
  Default();
}

void vek_SkinScrollBar::OnTimer(UINT_PTR id) {
  if (id == SCROLL_TIMER_DELAY) {
    KillTimer(SCROLL_TIMER_DELAY);
    SetTimer(SCROLL_TIMER_REPEAT, SCROLL_REPEAT_MS);
  } else if (id == SCROLL_TIMER_REPEAT) {
    if (!buttonDown || !AutoRepeatStep()) KillTimer(SCROLL_TIMER_REPEAT);
  } else {
    Default();
  }
}

BOOL vek_SkinScrollBar::RepeatPressedPart() {
  POINT pt{};
  GetCursorPos(&pt);
  ScreenToClient(m_hWnd, &pt);
  switch (pressedPart) {
    case SBPART_ARROW1: LineBack(); return TRUE;
    case SBPART_ARROW2: LineForward(); return TRUE;
    case SBPART_TRACK_BEFORE:
      if (HitTest(pt) != SBPART_TRACK_BEFORE) return FALSE;
      PageBack();
      return TRUE;
    case SBPART_TRACK_AFTER:
      if (HitTest(pt) != SBPART_TRACK_AFTER) return FALSE;
      PageForward();
      return TRUE;
    default: return FALSE;
  }
}

// ---- painting ----

void vek_SkinScrollBar::OnPaint() {
  fw::PaintDc paint(m_hWnd);
  if (!visible) return;
  HDC dc = paint.get();
  RECT rc = GetClientRect();
  FillSolid(dc, rc, backColor);
  if (trackImage.GetSafeHandle() != nullptr) {
    trackImage.Stretch(dc, 0, 0, rc.right, rc.bottom);
  } else {
    fw::UniquePen pen1(CreatePen(PS_SOLID, 1, edgeColor1));
    fw::UniquePen pen2(CreatePen(PS_SOLID, 1, edgeColor2));
    fw::SaveDcGuard saved(dc);
    SelectObject(dc, pen1.get());
    if (!vertical) {
      fw::Line(dc, 0, 0, rc.right, 0);
      SelectObject(dc, pen2.get());
      fw::Line(dc, 0, rc.bottom - 1, rc.right, rc.bottom - 1);
    } else {
      fw::Line(dc, 0, 0, 0, rc.bottom);
      SelectObject(dc, pen2.get());
      fw::Line(dc, rc.right - 1, 0, rc.right - 1, rc.bottom);
    }
  }
  DrawArrows(dc, rc);
  if (Range() > 0) DrawThumb(dc, rc);
}

void vek_SkinScrollBar::DrawArrows(HDC dc, const RECT& rc) {
  const int w = rc.right, h = rc.bottom;
  if (arrow1Image.GetSafeHandle() != nullptr && arrow2Image.GetSafeHandle() != nullptr) {
    if (!vertical) {
      arrow1Image.Stretch(dc, 0, 0, Ax(), Ax());
      arrow2Image.Stretch(dc, w - Ax(), 0, Ax(), Ax());
    } else {
      arrow1Image.Stretch(dc, 0, 0, Ay(), Ay());
      arrow2Image.Stretch(dc, 0, h - Ay(), Ay(), Ay());
    }
    return;
  }
  if (!vertical) {
    OutlinedRect(dc, RECT{0, 0, Ax(), Ay()}, arrowBorderColor, arrowFillColor);
    OutlinedRect(dc, RECT{w - Ax(), 0, w, Ay()}, arrowBorderColor, arrowFillColor);
    Triangle(dc, kLeft, Px(10), Px(8), Ax() - Px(7), Ay() - Px(7), arrowColor);
    Triangle(dc, kRight, w - Ax() + Px(6), Px(8), Ax() - Px(7), Ay() - Px(7), arrowColor);
  } else {
    OutlinedRect(dc, RECT{0, 0, Ax(), Ay()}, arrowBorderColor, arrowFillColor);
    OutlinedRect(dc, RECT{0, h - Ay(), Ax(), h}, arrowBorderColor, arrowFillColor);
    Triangle(dc, kUp, Px(8), Px(9), Ax() - Px(8), Ay() - Px(8), arrowColor);
    Triangle(dc, kDown, Px(8), h - Ay() + Px(6), Ax() - Px(8), Ay() - Px(8), arrowColor);
  }
}

void vek_SkinScrollBar::DrawThumb(HDC dc, const RECT& rc) {
  RECT thumb = PartRect(SBPART_THUMB);
  const int length = vertical ? thumb.bottom - thumb.top : thumb.right - thumb.left;
  SIZE pic = thumbImage.GetSize();
  if (thumbImage.GetSafeHandle() == nullptr) {
    OutlinedRect(dc, thumb, thumbBorderColor, thumbFillColor);
    return;
  }
  const int picLength = vertical ? pic.cy : pic.cx;
  if (length <= 8 || picLength <= 4) {
    thumbImage.Stretch(dc, thumb.left, thumb.top, thumb.right - thumb.left,
                       thumb.bottom - thumb.top);
    return;
  }
  // Caps of 4 pixels at both ends at 1:1, the middle stretched.
  if (!vertical) {
    const int h = thumb.bottom - thumb.top;
    thumbImage.StretchPart(dc, thumb.left, thumb.top, 4, h, 0, 0, 4, pic.cy);
    thumbImage.StretchPart(dc, thumb.left + 4, thumb.top, length - 8, h, 4, 0, pic.cx - 8, pic.cy);
    thumbImage.StretchPart(dc, thumb.right - 4, thumb.top, 4, h, pic.cx - 4, 0, 4, pic.cy);
  } else {
    const int w = thumb.right - thumb.left;
    thumbImage.StretchPart(dc, thumb.left, thumb.top, w, 4, 0, 0, pic.cx, 4);
    thumbImage.StretchPart(dc, thumb.left, thumb.top + 4, w, length - 8, 0, 4, pic.cx, pic.cy - 8);
    thumbImage.StretchPart(dc, thumb.left, thumb.bottom - 4, w, 4, 0, pic.cy - 4, pic.cx, 4);
  }
}
