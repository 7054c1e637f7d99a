#pragma once
// CFileListCtrl: the file pages' queue list. The skinned list swallows
// double clicks and takes every click for itself, so a page would never
// hear of a double click on a row; this list tells its parent with
// NM_DBLCLK, as a plain list view does. A click with Ctrl held adds the
// row to the selection or takes it out again. Cells follow their column's
// alignment, as the header does.
#include <windows.h>

#include "skin/SkinList.h"

class CFileListCtrl : public vek_SkinList {
 protected:
  UINT CellAlignment(int column) const override;
  void OnLButtonDown(UINT flags, POINT pt) override;
  void OnLButtonDblClk(UINT flags, POINT pt) override;

 private:
  void NotifyParent(UINT code, int item, POINT pt);
};
