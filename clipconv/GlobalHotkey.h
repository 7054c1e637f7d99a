#pragma once
// A global hotkey registered for a window of this program: WM_HOTKEY with
// its id reaches the window whichever program has the focus. The object
// owns the registration and gives it back when it goes.
#include <windows.h>

#include "clipconv/HotkeyChoice.h"

class GlobalHotkey {
 public:
  GlobalHotkey() = default;
  ~GlobalHotkey() { Release(); }
  GlobalHotkey(const GlobalHotkey&) = delete;
  GlobalHotkey& operator=(const GlobalHotkey&) = delete;

  // Gives back what this object held, then registers `hotkey` for `window`
  // under `id`. False when it cannot be had: another program (or another
  // running copy of this one) holds it; LastError() then says why.
  bool Register(HWND window, int id, const Hotkey& hotkey);
  void Release();
  bool Registered() const { return window_ != nullptr; }
  DWORD LastError() const { return lastError_; }

 private:
  HWND window_ = nullptr;  // borrowed: the window the hotkey is registered for
  int id_ = 0;
  DWORD lastError_ = ERROR_SUCCESS;
};
