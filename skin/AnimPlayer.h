#pragma once
// vek_AnimPlayer: a static control that plays the frames of an image list,
// one frame per tick of its timer 1 (which its owner starts and kills).
#include <windows.h>

#include "fw/Controls.h"
#include "fw/GdiObjects.h"

constexpr UINT_PTR ANIM_TIMER_ID = 1;

class vek_AnimPlayer : public fw::CStatic {
 public:
  fw::CImageList frames;  // destroyed with the control
  int frame = 0;          // the next frame to show
  int frameCount = 0;
  BOOL paused = FALSE;
  // The body colour each frame is drawn on: a frame's transparent parts
  // show it, never the dots of the frame before.
  COLORREF backColor = RGB(241, 241, 241);

 protected:
  void OnPaint() override;
  void OnTimer(UINT_PTR id) override;
  BOOL OnEraseBkgnd(HDC) override { return TRUE; }
};
