#pragma once
// The skinned buttons: picture buttons drawn from a five-frame strip
// (vek_SkinBtn), caption buttons that fire on release (vek_SkinSysBtn),
// and check boxes and radio buttons painted with pens and pixels.
#include <windows.h>

#include <vector>

#include "fw/Controls.h"
#include "fw/GdiObjects.h"
#include "skin/SkinColor.h"
#include "skin/SkinImg.h"

// The hover notification a vek_SkinBtn sends its parent with WM_NOTIFY
// (wParam: the control id) when the mouse enters (1) or leaves (0) it.
constexpr UINT SKINBTN_HOVER = 0x5001;
struct SkinBtnHoverNotify {
  NMHDR hdr;
  int entered;
};

// Frames of a button strip, in strip order.
enum SkinBtnFrame {
  SKINBTN_NORMAL = 0,
  SKINBTN_HOVER_FRAME = 1,
  SKINBTN_PRESSED = 2,
  SKINBTN_DISABLED = 3,
  SKINBTN_FRAMES = 5
};

class vek_SkinBtn : public fw::CButton {
 public:
  BOOL stretchImage = TRUE;  // stretch the frame over the client area, else 1:1
  bool hovering = false;
  vek_SkinImg image;  // the strip; deleted with the button if still attached
  HCURSOR handCursor = LoadCursorW(nullptr, IDC_HAND);  // shared, not owned

  // Resizes the button to one frame of its strip without moving it.
  void SizeToFrame();
  // The frame shown for an owner-draw item state (ODS_*).
  int FrameFor(UINT itemState) const;

 protected:
  void PreSubclassWindow() override;
  LRESULT OnCreate(CREATESTRUCTW* cs) override;
  void OnMouseMove(UINT flags, POINT pt) override;
  void OnMouseLeave() override;
  BOOL OnEraseBkgnd(HDC dc) override;
  bool OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;
  virtual void DrawItem(const DRAWITEMSTRUCT& dis);

 private:
  void MakeOwnerDraw();
  void SendHover(int entered);
};

class vek_SkinSysBtn : public vek_SkinBtn {
 public:
  HWND focusOwner = nullptr;  // the window that had the focus before us

 protected:
  void OnSetFocus(HWND oldFocus) override;
  void OnLButtonDown(UINT flags, POINT pt) override;
  void OnLButtonUp(UINT flags, POINT pt) override;
};

class vek_SkinCheckBox : public fw::CButton, public vek_ISkinColor {
 public:
  vek_SkinCheckBox();
  COLORREF backColor = RGB(225, 230, 236);
  COLORREF boxBorderColor = RGB(64, 64, 64);
  COLORREF boxFrameColor = RGB(255, 255, 255);
  COLORREF boxFrameHotColor = RGB(220, 170, 0);
  COLORREF boxFillColor = RGB(238, 238, 238);
  COLORREF textColor = RGB(255, 186, 161);
  COLORREF checkColor = RGB(70, 148, 1);
  fw::CFont font;
  bool hovering = false;

  void SetBackColor(COLORREF color) override { backColor = color; }
  void SetForeColor(COLORREF color) override { textColor = color; }

 protected:
  void OnPaint() override;
  void OnMouseMove(UINT flags, POINT pt) override;
  void OnMouseLeave() override;
};

class vek_SkinRadioBtn : public fw::CButton, public vek_ISkinColor {
 public:
  vek_SkinRadioBtn();
  COLORREF backColor = RGB(217, 216, 216);
  COLORREF outerRingColor = RGB(81, 110, 140);
  COLORREF edgeRingColor = RGB(152, 169, 186);
  COLORREF innerColor = RGB(255, 255, 255);
  COLORREF innerHotColor = RGB(255, 243, 62);
  COLORREF textColor = RGB(36, 98, 154);
  COLORREF dotOffColor = RGB(255, 255, 255);
  COLORREF dotOnColor = RGB(77, 182, 78);
  fw::CFont font;
  bool hovering = false;

  void SetBackColor(COLORREF color) override { backColor = color; }
  void SetForeColor(COLORREF color) override { textColor = color; }

  // The pixel sets of the 13 by 13 radio cell, as (x, y) offsets.
  enum PixelSet { OUTER_RING, EDGE_RING, INNER_RING, CENTRE_DOT };
  static const std::vector<POINT>& Pixels(PixelSet set);

 protected:
  void OnPaint() override;
  void OnMouseMove(UINT flags, POINT pt) override;
  void OnMouseLeave() override;
};
