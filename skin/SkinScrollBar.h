#pragma once
// The toolkit's own scroll bars: separate child windows that keep their
// position in steps, paint arrows, track and thumb, repeat presses on
// timers, and drive what they scroll through vek_IScrollObj.
#include <windows.h>

#include "fw/Controls.h"
#include "skin/SkinImg.h"

// What a bar scrolls. `bar` is 0 for the horizontal bar, 1 for the
// vertical one; other values give 0.
class vek_IScrollObj {
 public:
  virtual ~vek_IScrollObj() = default;
  virtual int QueryRange(int bar) = 0;     // the highest position, in steps
  virtual int QueryPage(int bar) = 0;      // steps per page
  virtual int QueryPos(int bar) = 0;       // the position as the object sees it
  virtual double QueryRatio(int bar) = 0;  // visible part / whole extent
  // The bar's position changed: 0 or 1 from the horizontal bar, 2 or 3
  // from the vertical one.
  virtual void OnScrolled(int code) = 0;
  virtual int OnScrollHint(int value) = 0;  // no caller; objects return 0
};

// Parts of a bar, as hit-testing names them.
enum ScrollBarPart {
  SBPART_NONE = -1,
  SBPART_ARROW1 = 0,  // left or up arrow
  SBPART_ARROW2 = 1,  // right or down arrow
  SBPART_THUMB = 2,
  SBPART_TRACK_BEFORE = 3,  // track before the thumb
  SBPART_TRACK_AFTER = 4,
};

// Timer ids: the first repeat after a press, then the steady repeat.
constexpr UINT_PTR SCROLL_TIMER_REPEAT = 1;
constexpr UINT_PTR SCROLL_TIMER_DELAY = 2;
constexpr UINT SCROLL_DELAY_MS = 250;
constexpr UINT SCROLL_REPEAT_MS = 50;

class vek_SkinScrollBar : public fw::CStatic {
 public:
  int pos = 0;
  int arrowCx = 17;  // 96-DPI pixels, scaled for the bar's window
  int arrowCy = 17;
  int vertical = 0;
  BOOL visible = TRUE;
  COLORREF backColor = RGB(228, 238, 248);
  COLORREF arrowBorderColor = RGB(51, 114, 153);
  COLORREF arrowFillColor = RGB(184, 226, 247);
  COLORREF arrowColor = RGB(38, 142, 178);
  COLORREF edgeColor1 = RGB(101, 164, 203);
  COLORREF edgeColor2 = RGB(51, 114, 153);
  COLORREF thumbBorderColor = RGB(90, 180, 255);
  COLORREF thumbFillColor = RGB(250, 246, 143);
  vek_SkinImg arrow1Image;
  vek_SkinImg arrow2Image;
  vek_SkinImg trackImage;
  vek_SkinImg thumbImage;
  vek_IScrollObj* target = nullptr;  // borrowed
  int pressedPart = SBPART_NONE;
  BOOL buttonDown = FALSE;
  int dragOrigin = 0;
  HCURSOR handCursor = LoadCursorW(nullptr, IDC_HAND);  // shared, not owned

  // Position changes, each clamped to 0..QueryRange; a change tells the
  // target and repaints the bar.
  void LineBack();
  void LineForward();
  void PageBack();
  void PageForward();
  void ScrollBy(int n);

  // The part under a client point (edges belong to no part).
  int HitTest(POINT pt) const;
  // The rectangle of a part in client coordinates.
  RECT PartRect(int part) const;
  // Where the thumb starts along the bar (left or top).
  int ThumbStart() const;

  virtual BOOL AutoRepeatStep() = 0;
  virtual double GetTrackSpan() const = 0;
  virtual double GetThumbLength() const = 0;
  virtual double GetPixelsPerStep() const = 0;

 protected:
  // A 96-DPI length at the scale of the window the bar sits in.
  int Px(int v) const;
  int Ax() const { return Px(arrowCx); }
  int Ay() const { return Px(arrowCy); }
  int Range() const { return target != nullptr ? target->QueryRange(vertical ? 1 : 0) : 0; }
  double Ratio() const { return target != nullptr ? target->QueryRatio(vertical ? 1 : 0) : 0.0; }
  int Page() const { return target != nullptr ? target->QueryPage(vertical ? 1 : 0) : 0; }
  // Client extent along and across the bar.
  int Length() const;
  // Repeats the pressed part's action while it still applies.
  BOOL RepeatPressedPart();

  void OnPaint() override;
  void OnTimer(UINT_PTR id) override;
  void OnLButtonDown(UINT flags, POINT pt) override;
  void OnLButtonUp(UINT flags, POINT pt) override;
  void OnMouseMove(UINT flags, POINT pt) override;

 private:
  void MoveTo(int newPos, int code, bool updateNow);
  void DrawArrows(HDC dc, const RECT& rc);
  void DrawThumb(HDC dc, const RECT& rc);
};

class vek_SkinHScrollBar : public vek_SkinScrollBar {
 public:
  vek_SkinHScrollBar() { vertical = 0; }
  BOOL AutoRepeatStep() override { return RepeatPressedPart(); }
  double GetTrackSpan() const override;
  double GetThumbLength() const override;
  double GetPixelsPerStep() const override;
};

class vek_SkinVScrollBar : public vek_SkinScrollBar {
 public:
  vek_SkinVScrollBar() { vertical = 1; }
  BOOL AutoRepeatStep() override { return RepeatPressedPart(); }
  double GetTrackSpan() const override;
  double GetThumbLength() const override;
  double GetPixelsPerStep() const override;
};
