#include "skin/SkinTextBtn.h"

#include <string>

#include "fw/Gdi.h"
#include "skin/DpiScale.h"

void vek_SkinTextBtn::PreSubclassWindow() {
  const UINT style = static_cast<UINT>(GetStyle());
  SetButtonStyle((style & 0xFFF4) | BS_OWNERDRAW, true);
}

void vek_SkinTextBtn::OnMouseMove(UINT flags, POINT pt) {
  if (!hovering) {
    hovering = true;
    TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, m_hWnd, 0};
    TrackMouseEvent(&tme);
    Invalidate(false);
  }
  Default();
}

void vek_SkinTextBtn::OnMouseLeave() {
  hovering = false;
  Invalidate(false);
  Default();
}

bool vek_SkinTextBtn::OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
  if (msg != WM_DRAWITEM) return false;
  const auto& dis = *reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
  HDC dc = dis.hDC;
  RECT rc = dis.rcItem;
  const bool pressed = (dis.itemState & ODS_SELECTED) != 0;
  const bool disabled = (dis.itemState & ODS_DISABLED) != 0;
  fw::UniqueBrush back{CreateSolidBrush(pressed || hovering ? hoverColor : backColor)};
  FillRect(dc, &rc, back.get());
  const int line = DpiScale::ForWindow(m_hWnd).Scale(1);
  fw::UniqueBrush frame{CreateSolidBrush(disabled ? RGB(180, 180, 180) : lineColor)};
  for (const RECT& edge : {RECT{rc.left, rc.top, rc.right, rc.top + line},
                           RECT{rc.left, rc.bottom - line, rc.right, rc.bottom},
                           RECT{rc.left, rc.top, rc.left + line, rc.bottom},
                           RECT{rc.right - line, rc.top, rc.right, rc.bottom}}) {
    FillRect(dc, &edge, frame.get());
  }
  const std::wstring caption = GetWindowText();
  const int saved = SaveDC(dc);
  SelectObject(dc, reinterpret_cast<HFONT>(::GetParent(m_hWnd) ? ::SendMessageW(::GetParent(m_hWnd), WM_GETFONT, 0, 0) : 0));
  SetTextColor(dc, disabled ? RGB(160, 160, 160) : textColor);
  SetBkMode(dc, TRANSPARENT);
  if (pressed) OffsetRect(&rc, 0, 1);
  DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &rc,
            DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  RestoreDC(dc, saved);
  *result = TRUE;
  return true;
}
