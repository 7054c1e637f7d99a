#pragma once
// vek_ISkinColor: the colours a dialog's layout table can give a skinned
// control; what each control does with them is its own business.
#include <windows.h>

class vek_ISkinColor {
 public:
  virtual ~vek_ISkinColor() = default;
  virtual void SetBackColor(COLORREF color) = 0;
  virtual void SetForeColor(COLORREF color) = 0;
};
