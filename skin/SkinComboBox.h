#pragma once
// vek_SkinComboBox: a drop-down list combo box with a flat face, a small
// arrow box and a skinned drop-down list.
#include <windows.h>

#include "fw/Controls.h"
#include "fw/Gdi.h"
#include "fw/GdiObjects.h"
#include "skin/SkinListBox.h"

class vek_SkinComboBox : public fw::CComboBox {
 public:
  vek_SkinComboBox();
  COLORREF borderColor = RGB(87, 117, 159);
  COLORREF backColor = RGB(229, 239, 243);
  COLORREF arrowBoxColor = RGB(87, 117, 159);
  COLORREF arrowColor = RGB(230, 130, 12);
  COLORREF textColor = RGB(87, 117, 159);
  fw::UniqueBrush backBrush{CreateSolidBrush(RGB(229, 239, 243))};
  vek_SkinListBox dropList;

  // Paints the face (fill, frame, arrow box, selected text) into `dc`.
  void DrawFace(HDC dc);

 protected:
  void PreSubclassWindow() override;
  bool OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;
  HBRUSH OnCtlColor(HDC dc, HWND ctl, UINT ctlType) override;
  void OnPaint() override;
  void OnDestroy() override;
};
