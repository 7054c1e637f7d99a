#include "skin/AnimPlayer.h"

#include "fw/Gdi.h"

void vek_AnimPlayer::OnPaint() {
  fw::PaintDc paint(m_hWnd);
  const RECT rc = GetClientRect();
  fw::BufferedDc buffer(paint.get(), rc.right, rc.bottom);
  fw::UniqueBrush body(CreateSolidBrush(backColor));
  FillRect(buffer.get(), &rc, body.get());
  if (frames.GetSafeHandle() != nullptr)
    frames.Draw(buffer.get(), frame, POINT{0, 0}, ILD_TRANSPARENT);
}

void vek_AnimPlayer::OnTimer(UINT_PTR id) {
  if (id != ANIM_TIMER_ID || paused) {
    Default();
    return;
  }
  if (frame >= frameCount) frame = 0;
  Invalidate(true);
  UpdateWindow();
  ++frame;
}
