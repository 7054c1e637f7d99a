#pragma once
// vek_SkinStatic, a static text painted in its own colours and font, and
// vek_SkinGroupBox, a group box drawn with thin lines.
#include <windows.h>

#include "fw/Controls.h"
#include "fw/Gdi.h"
#include "fw/GdiObjects.h"
#include "skin/SkinColor.h"

class vek_SkinStatic : public fw::CStatic, public vek_ISkinColor {
 public:
  vek_SkinStatic();
  COLORREF textColor = RGB(50, 50, 155);
  COLORREF backColor = RGB(225, 235, 238);
  fw::UniqueBrush backBrush{CreateSolidBrush(RGB(225, 235, 238))};
  UINT drawFormat = DT_WORDBREAK;
  fw::CFont font;
  BOOL ownPaint = TRUE;

  void SetBackColor(COLORREF color) override;
  void SetForeColor(COLORREF color) override { textColor = color; }

 protected:
  void PreSubclassWindow() override;
  bool OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;
  void OnPaint() override;
  void OnMouseMove(UINT flags, POINT pt) override;
  void OnLButtonDown(UINT flags, POINT pt) override;
};

class vek_SkinGroupBox : public fw::CStatic, public vek_ISkinColor {
 public:
  COLORREF lineColor = RGB(87, 117, 159);
  COLORREF textColor = RGB(87, 117, 159);
  COLORREF textBackColor = RGB(255, 255, 255);

  void SetBackColor(COLORREF color) override { textBackColor = color; }
  void SetForeColor(COLORREF color) override { textColor = color; }

 protected:
  void OnPaint() override;
};
