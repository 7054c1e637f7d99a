#pragma once
// Hidden top-level windows whose messages go to an object of the program:
// the window's GWLP_USERDATA holds the object's vek_HideWnd pointer.
#include <windows.h>

class vek_HideWnd {
 public:
  virtual ~vek_HideWnd() = default;
  // Sets *handled to non-zero when it handled the message.
  virtual LRESULT OnWndMsg(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, BOOL* handled) = 0;
};

// The instance window's owner (the application object): handles no
// message unless a derived class does.
class vek_InstWnd : public vek_HideWnd {
 public:
  wchar_t className[260] = {};
  wchar_t windowTitle[260] = {};
  HWND hwnd = nullptr;

  LRESULT OnWndMsg(HWND, UINT, WPARAM, LPARAM, BOOL*) override { return 0; }
};

// Registers a window class for hidden windows with the shared procedure;
// returns the class atom, 0 on failure.
ATOM RegisterHiddenClass(const wchar_t* className);
LRESULT CALLBACK HiddenWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;
