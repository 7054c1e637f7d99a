#pragma once
// vek_SkinEdit: an edit box with a flat one-colour border.
#include <windows.h>

#include "fw/Controls.h"
#include "fw/Gdi.h"
#include "skin/SkinColor.h"

// The window class of an edit box made for long texts: the system edit box
// with a device context of its own. Under Wine the edit box measures every
// line of a text it is given, each time through a device context it takes
// and gives back; a shared one is reset at every return and costs a sixth
// of the time of putting 1 MB in the box. Registered on first use; a
// template names it as a control's class.
const wchar_t* LongTextEditClass();

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
  bool Create(DWORD style, const RECT& rect, fw::CWnd* parent, UINT id,
              const wchar_t* windowClass = L"EDIT");
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
