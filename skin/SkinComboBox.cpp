#include "skin/SkinComboBox.h"

#include <string>

#include "skin/Painting.h"
#include "skin/SkinRes.h"

vek_SkinComboBox::vek_SkinComboBox() {
  dropList.borderColor = RGB(87, 117, 159);
  dropList.backColor = RGB(229, 239, 243);
  dropList.textColor = RGB(87, 117, 159);
  dropList.selBackColor = RGB(132, 159, 166);
  dropList.selTextColor = RGB(255, 255, 255);
}

void vek_SkinComboBox::PreSubclassWindow() {
  LONG_PTR style = GetStyle();
  SetWindowLongPtrW(m_hWnd, GWL_STYLE,
                    (style & ~static_cast<LONG_PTR>(0xC)) | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED |
                        CBS_HASSTRINGS);
  // The drop list may ask the combo's parent for its colours rather than
  // the combo (Wine does), so it is bound here already.
  COMBOBOXINFO info{};
  info.cbSize = sizeof(info);
  if (GetComboBoxInfo(m_hWnd, &info) && info.hwndList != nullptr && info.hwndList != m_hWnd) {
    dropList.SubclassWindow(info.hwndList);
  }
}

void vek_SkinComboBox::DrawFace(HDC dc) {
  RECT rc = GetClientRect();
  const int L = rc.left, T = rc.top, R = rc.right, B = rc.bottom;
  const DpiScale s = SkinDpi(m_hWnd);
  auto px = [&](int v) { return s.Scale(v); };
  FillRect(dc, &rc, backBrush.get());
  DrawWindowFrame(m_hWnd, borderColor);
  {
    fw::UniquePen box(CreatePen(PS_SOLID, 1, arrowBoxColor));
    fw::SelectGuard sel(dc, box.get());
    Rectangle(dc, R - px(18), T + px(4), R - px(3), B - px(4));
  }
  {
    // The chevron's strokes grow with the scale; its box keeps a one-pixel edge.
    fw::UniquePen arrow(CreatePen(PS_SOLID, px(1), arrowColor));
    fw::SelectGuard sel(dc, arrow.get());
    fw::Line(dc, R - px(14), T + px(11), R - px(11), T + px(14));
    fw::Line(dc, R - px(11), T + px(14), R - px(7), T + px(10));
  }
  std::wstring text = ControlText(m_hWnd);
  {
    fw::SaveDcGuard saved(dc);
    SelectObject(dc, fw::FontOrDefault(reinterpret_cast<HFONT>(SendMessage(WM_GETFONT))));
    SetTextColor(dc, textColor);
    SetBkColor(dc, backColor);
    SetBkMode(dc, OPAQUE);
    RECT box{L + px(5), T, R, B};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box, DT_SINGLELINE | DT_VCENTER);
  }
  if (dropList.m_hWnd != nullptr) dropList.DrawFrame();
}

void vek_SkinComboBox::OnPaint() {
  fw::PaintDc paint(m_hWnd);
  DrawFace(paint.get());
}

bool vek_SkinComboBox::OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
  if (msg != WM_DRAWITEM) return false;
  const auto* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
  // An empty selection field (item -1) draws nothing.
  if (static_cast<int>(dis->itemID) != -1) DrawFace(dis->hDC);
  *result = TRUE;
  return true;
}

HBRUSH vek_SkinComboBox::OnCtlColor(HDC dc, HWND ctl, UINT ctlType) {
  if (ctlType == CTLCOLOR_LISTBOX && ctl != m_hWnd && dropList.m_hWnd == nullptr) {
    dropList.SubclassWindow(ctl);
  }
  return reinterpret_cast<HBRUSH>(Default());
}

void vek_SkinComboBox::OnDestroy() {
  if (dropList.m_hWnd != nullptr) dropList.UnsubclassWindow();
  Default();
}
