#pragma once
// ClipboardService: converting what was copied, from anywhere. A hidden
// window of its own holds the two global hotkeys and the notification-area
// icon; a hotkey or the icon's menu reads the clipboard's text, converts it
// on a worker thread (the window stays responsive for a text of several
// MB) and puts the result in its place, and a small notification says
// what happened. The main window owns the service and forwards nothing to
// it: what the service needs of the main window it asks through `Host`.
#include <windows.h>

#include <functional>
#include <string>

#include "clipconv/ClipboardJob.h"
#include "clipconv/ClipboardOptions.h"
#include "clipconv/GlobalHotkey.h"
#include "clipconv/Notification.h"
#include "clipconv/TrayIcon.h"
#include "engine/ConvWorker.h"
#include "fw/Wnd.h"

class ClipboardService : public fw::CWnd, public ConvWorker {
 public:
  static constexpr wchar_t kClassName[] = L"TarnwellClipboardService";
  // The icon's callback message (lParam: the mouse message).
  static constexpr UINT WM_TRAY_ICON = WM_APP + 40;
  // The icon menu's commands, posted to the service window as WM_COMMAND.
  static constexpr UINT kCmdSim2Tra = 0x5101;
  static constexpr UINT kCmdTra2Sim = 0x5102;
  static constexpr UINT kCmdOpenMain = 0x5103;
  static constexpr UINT kCmdExit = 0x5104;

  struct Host {
    // What a conversion of the direction uses now (standard, word list).
    std::function<ConvOptions(ConvDirection)> convOptions;
    std::function<void()> showMainWindow;  // 打开主窗口, a double-click on the icon
    std::function<void()> exitProgram;     // 退出
    HICON icon = nullptr;                  // borrowed: the program's small icon
  };

  explicit ClipboardService(Host host);
  ~ClipboardService() override;

  // Creates the hidden window and takes `options` into effect. False when
  // the window cannot be made (the program then goes on without it).
  bool Start(const ClipboardOptions& options);
  // Registers the hotkeys anew and shows or removes the icon as `options`
  // say. A hotkey another program holds is left out; HotkeyHeld says so.
  void Apply(const ClipboardOptions& options);
  const ClipboardOptions& Options() const { return options_; }
  // True when the direction's hotkey is on but another program holds it.
  bool HotkeyHeld(ConvDirection direction) const;
  // The close button hides the main window instead of ending the program.
  bool KeepsInTray() const { return options_.keepInTray && tray_.Shown(); }

  // Converts the clipboard's text; what happened is shown in the notification.
  void ConvertClipboard(ConvDirection direction);
  // The notification's text now (empty before the first).
  std::wstring LastNotice() const { return lastNotice_; }

  DWORD RunJob() override;
  void OnJobMessage(WPARAM code, LPARAM arg) override;
  HWND JobWindow() const override { return m_hWnd; }

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
  void OnDestroy() override;

 private:
  void OnTrayIcon(UINT mouseMessage);
  void ShowTrayMenu();
  bool OnMenuCommand(UINT id);
  void ShowTrayIcon();
  // Puts the converted text in the clipboard and says what happened.
  void FinishJob();
  void Notify(const std::wstring& text);

  Host host_;
  ClipboardOptions options_;
  GlobalHotkey hotkeys_[2];  // by direction
  bool held_[2] = {false, false};
  TrayIcon tray_;
  Notification notice_;
  std::wstring lastNotice_;
  UINT taskbarCreated_ = 0;
  // The job the worker runs; the user interface thread touches it only
  // while no worker is recorded.
  ClipboardJob job_;
};
