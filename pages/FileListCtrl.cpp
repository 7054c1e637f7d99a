#include "pages/FileListCtrl.h"

#include <commctrl.h>



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

UINT CFileListCtrl::CellAlignment(int column) const { return AlignmentOf(m_hWnd, column); }

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
