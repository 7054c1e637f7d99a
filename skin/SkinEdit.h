#pragma once
// The text-bearing skinned controls: an edit box with a flat one-colour
// border, a static text in its own colours and font, a group box of thin
// lines, and a drop-down list combo box with a flat face.
#include <windows.h>

#include "fw/Controls.h"
#include "fw/Gdi.h"
#include "fw/GdiObjects.h"
#include "skin/SkinColor.h"
#include "skin/SkinList.h"

class vek_SkinEdit : public fw::CEdit, public vek_ISkinColor {
 public:
  COLORREF textColor = RGB(13, 76, 123);
  COLORREF borderColor = RGB(64, 64, 64);
  COLORREF backColor = RGB(255, 255, 255);
  fw::UniqueBrush backBrush{CreateSolidBrush(RGB(255, 255, 255))};
  BOOL drawBorder = TRUE;

  void SetBackColor(COLORREF color) override;
  void SetForeColor(COLORREF) override {}
  // An edit made at run time: as CEdit::Create, without WS_BORDER.
  bool Create(DWORD style, const RECT& rect, fw::CWnd* parent, UINT id);
  // Paints the 1-pixel border along the window's outer edge.
  void DrawBorder();

 protected:
  bool OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;
  void OnNcPaint(HRGN rgn) override;
  void OnMouseHover(UINT flags, POINT pt) override { DrawBorder(); }
  void OnMouseLeave() override { DrawBorder(); }
  void OnMouseMove(UINT flags, POINT pt) override;
  void OnChar(UINT ch, UINT repeat, UINT flags) override;
};

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

// A 1-pixel frame along a window's outer edge, in its window DC.
void DrawWindowFrame(HWND wnd, COLORREF color);
