#pragma once
// The small notification that says what a clipboard conversion did: a
// top-most window above the notification area that takes no focus and
// goes after a few seconds (later while the pointer rests on it, at once
// at a click). Its window text is the message.
#include <windows.h>

#include <string>

#include "fw/Wnd.h"
#include "skin/DpiScale.h"

class Notification : public fw::CWnd {
 public:
  static constexpr wchar_t kClassName[] = L"TarnwellNotification";
  static constexpr UINT kShowMs = 3500;

  Notification() = default;
  ~Notification() override = default;

  // Shows `text` (a line break starts a second line) at the bottom right
  // of the primary monitor's work area, in place of a message on show.
  void Show(const std::wstring& text);
  void Hide();

 protected:
  void OnPaint() override;
  void OnTimer(UINT_PTR id) override;
  void OnLButtonDown(UINT flags, POINT pt) override;
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  bool EnsureWindow();
  // Sizes the window for its text at `scale` and places it.
  void Place(const DpiScale& scale);
  HFONT Font(const DpiScale& scale, bool title) const;

  std::wstring text_;
};
