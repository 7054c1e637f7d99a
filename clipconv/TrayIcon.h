#pragma once
// The program's icon in the notification area. The object owns the icon's
// place there: it is added by Show and removed by Remove or the destructor.
// The shell reports the mouse on it to `window` with `callbackMessage`
// (lParam: WM_RBUTTONUP, WM_LBUTTONDBLCLK, ...).
#include <windows.h>

#include <string>

class TrayIcon {
 public:
  TrayIcon() = default;
  ~TrayIcon() { Remove(); }
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;

  // Adds the icon (or updates it when shown); false when the shell refused.
  bool Show(HWND window, UINT callbackMessage, HICON icon, const std::wstring& tip);
  // Adds it again after the shell restarted (the "TaskbarCreated" message).
  bool Restore();
  void Remove();
  bool Shown() const { return shown_; }

 private:
  NOTIFYICONDATAW Data() const;

  HWND window_ = nullptr;  // borrowed: receives the icon's messages
  UINT message_ = 0;
  HICON icon_ = nullptr;   // borrowed: a shared icon of the program
  std::wstring tip_;
  bool shown_ = false;
};
