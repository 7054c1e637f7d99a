#pragma once
// vek_SkinListBox: the owner-drawn list box of the skinned combo box's
// drop-down.
#include <windows.h>

#include "fw/Controls.h"
#include "fw/Gdi.h"
#include "fw/GdiObjects.h"

class vek_SkinListBox : public fw::CListBox {
 public:
  COLORREF borderColor = RGB(87, 117, 159);
  COLORREF backColor = RGB(229, 239, 243);
  COLORREF textColor = RGB(87, 117, 159);
  COLORREF selBackColor = RGB(132, 159, 166);
  COLORREF selTextColor = RGB(255, 255, 255);

  // Paints one item (and the frame around the whole list).
  void DrawItem(const DRAWITEMSTRUCT& dis);
  // Draws the 1-pixel frame along the list window's outer edge.
  void DrawFrame();

 protected:
  bool OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;
  // A list that was not created owner-drawn (a combo box restyled after
  // its creation keeps its original list) paints its items through
  // DrawItem all the same.
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
  void OnPaint() override;
  BOOL OnEraseBkgnd(HDC dc) override;

 private:
  fw::UniqueBrush backBrush_;  // answers the list's colour requests
  COLORREF brushColor_ = CLR_INVALID;
  bool OwnerDrawn() const {
    return (GetStyle() & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) != 0;
  }
};
