#include "pages/FileListCtrl.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "fw/Gdi.h"
#include "fw/GdiObjects.h"
#include "skin/Painting.h"

namespace {

UINT AlignmentOf(HWND list, int column) {
  LVCOLUMNW info{};
  info.mask = LVCF_FMT;
  if (!ListView_GetColumn(list, column, &info)) return DT_LEFT;
  switch (info.fmt & LVCFMT_JUSTIFYMASK) {
    case LVCFMT_CENTER: return DT_CENTER;
    case LVCFMT_RIGHT: return DT_RIGHT;
    default: return DT_LEFT;
  }
}

}  // namespace

void CFileListCtrl::DrawRows(HDC dc) {
  const int top = GetTopIndex();
  const int last = std::min(GetItemCount(), top + GetCountPerPage()) - 1;
  HWND hdr = GetHeaderHwnd();
  const int columns = hdr != nullptr ? Header_GetItemCount(hdr) : 0;
  fw::SaveDcGuard saved(dc);
  fw::UniquePen dotted(CreatePen(PS_DOT, 1, selectionLineColor));
  SetTextColor(dc, textColor);
  SetBkMode(dc, TRANSPARENT);
  SelectObject(dc, font);
  SelectObject(dc, dotted.get());
  for (int i = top; i <= last; ++i) {
    RECT bounds{};
    GetItemRect(i, &bounds, LVIR_BOUNDS);
    if (GetItemState(i, LVIS_SELECTED) & LVIS_SELECTED) {
      RECT fill = bounds;
      fill.right += 1000;
      FillSolid(dc, fill, selectionColor);
      fw::Line(dc, bounds.left, bounds.top, fill.right, bounds.top);
      fw::Line(dc, bounds.left, bounds.bottom - 1, fill.right, bounds.bottom - 1);
    }
    for (int c = 0; c < columns; ++c) {
      const std::wstring text = GetItemText(i, c);
      RECT label{};
      if (c == 0) {
        GetItemRect(i, &label, LVIR_LABEL);
      } else {
        GetSubItemRect(i, c, LVIR_LABEL, &label);
      }
      label.left += 3;
      DrawTextW(
          dc, text.c_str(), static_cast<int>(text.size()), &label,
          AlignmentOf(m_hWnd, c) | DT_END_ELLIPSIS | DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER);
    }
  }
  SelectObject(dc, GetStockObject(BLACK_PEN));
}

void CFileListCtrl::OnLButtonDown(UINT flags, POINT pt) {
  if ((flags & MK_CONTROL) == 0) {
    vek_SkinList::OnLButtonDown(flags, pt);
    return;
  }
  const int hit = HitTest(pt);
  if (hit < 0) return;
  const bool selected = (GetItemState(hit, LVIS_SELECTED) & LVIS_SELECTED) != 0;
  SetItemState(hit, selected ? 0 : LVIS_SELECTED, LVIS_SELECTED);
  Invalidate(true);
  UpdateWindow();
}

void CFileListCtrl::OnLButtonDblClk(UINT flags, POINT pt) {
  // The first click of the pair has selected the row under the mouse.
  NotifyParent(NM_DBLCLK, HitTest(pt), pt);
}

void CFileListCtrl::NotifyParent(UINT code, int item, POINT pt) {
  NMITEMACTIVATE info{};
  info.hdr.hwndFrom = m_hWnd;
  info.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID());
  info.hdr.code = code;
  info.iItem = item;
  info.ptAction = pt;
  ::SendMessageW(GetParentHwnd(), WM_NOTIFY, info.hdr.idFrom, reinterpret_cast<LPARAM>(&info));
}
