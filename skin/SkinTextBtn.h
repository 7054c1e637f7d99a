#pragma once
// vek_SkinTextBtn: a small flat button drawn with lines and its caption in
// the skin's colours, for actions too small to have a picture strip.
#include <windows.h>

#include "fw/Controls.h"
#include "skin/Palette.h"

class vek_SkinTextBtn : public fw::CButton {
 public:
  COLORREF lineColor = palette::kProofMark;
  COLORREF textColor = palette::kProofMark;
  COLORREF backColor = palette::kBody;
  COLORREF hoverColor = RGB(226, 240, 250);
  bool hovering = false;

 protected:
  void PreSubclassWindow() override;
  void OnMouseMove(UINT flags, POINT pt) override;
  void OnMouseLeave() override;
  BOOL OnEraseBkgnd(HDC) override { return TRUE; }
  bool OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;
};
