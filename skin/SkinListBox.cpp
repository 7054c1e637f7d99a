#include "skin/SkinListBox.h"

#include <algorithm>
#include <string>

#include "skin/Painting.h"
#include "skin/SkinRes.h"

bool vek_SkinListBox::OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
  if (msg == WM_CTLCOLORLISTBOX) {
    // Our own colours, for whatever the system still paints of the list.
    HDC dc = reinterpret_cast<HDC>(wp);
    SetTextColor(dc, textColor);
    SetBkColor(dc, backColor);
    if (!backBrush_ || brushColor_ != backColor) {
      backBrush_.reset(CreateSolidBrush(backColor));
      brushColor_ = backColor;
    }
    *result = reinterpret_cast<LRESULT>(backBrush_.get());
    return true;
  }
  if (msg != WM_DRAWITEM) return false;
  DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
  *result = TRUE;
  return true;
}

void vek_SkinListBox::DrawFrame() { DrawWindowFrame(m_hWnd, borderColor); }

void vek_SkinListBox::DrawItem(const DRAWITEMSTRUCT& dis) {
  std::wstring text;
  if (static_cast<int>(dis.itemID) >= 0) text = GetText(static_cast<int>(dis.itemID));
  DrawFrame();
  const bool focused = (dis.itemState & ODS_FOCUS) != 0;
  FillSolid(dis.hDC, dis.rcItem, focused ? selBackColor : backColor);
  fw::SaveDcGuard saved(dis.hDC);
  SetTextColor(dis.hDC, focused ? selTextColor : textColor);
  SetBkMode(dis.hDC, TRANSPARENT);
  SelectObject(dis.hDC, fw::FontOrDefault(reinterpret_cast<HFONT>(SendMessage(WM_GETFONT))));
  RECT box = dis.rcItem;
  box.left += SkinDpi(m_hWnd).Scale(5);
  DrawTextW(dis.hDC, text.c_str(), static_cast<int>(text.size()), &box, DT_SINGLELINE | DT_VCENTER);
}

LRESULT vek_SkinListBox::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  LRESULT result = fw::CListBox::WindowProc(msg, wp, lp);
  // The system list repaints a changed selection in its own colours.
  if (!OwnerDrawn() && (msg == WM_MOUSEMOVE || msg == LB_SETCURSEL || msg == WM_KEYDOWN)) {
    RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  }
  return result;
}

BOOL vek_SkinListBox::OnEraseBkgnd(HDC dc) {
  return OwnerDrawn() ? fw::CListBox::OnEraseBkgnd(dc) : TRUE;
}

void vek_SkinListBox::OnPaint() {
  if (OwnerDrawn()) {
    Default();
    return;
  }
  fw::PaintDc paint(m_hWnd);
  RECT rc = GetClientRect();
  fw::BufferedDc buffer(paint.get(), rc.right, rc.bottom);
  FillSolid(buffer.get(), rc, backColor);
  const int count = GetCount();
  const int selected = static_cast<int>(SendMessage(LB_GETCURSEL));
  const int height = std::max(1, static_cast<int>(SendMessage(LB_GETITEMHEIGHT, 0)));
  int y = 0;
  for (int i = static_cast<int>(SendMessage(LB_GETTOPINDEX)); i < count && y < rc.bottom; ++i) {
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_LISTBOX;
    dis.CtlID = static_cast<UINT>(GetDlgCtrlID());
    dis.itemID = static_cast<UINT>(i);
    dis.itemAction = ODA_DRAWENTIRE;
    dis.itemState = i == selected ? (ODS_SELECTED | ODS_FOCUS) : 0;
    dis.hwndItem = m_hWnd;
    dis.hDC = buffer.get();
    dis.rcItem = RECT{0, y, rc.right, y + height};
    DrawItem(dis);
    y += height;
  }
}
