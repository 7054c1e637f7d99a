#pragma once
// CTarnwellApp: the application object. InitInstance prepares the process
// (settings file, instance window, COM, the resource pack, the caption of
// every message box, common controls, the shared tooltip window) and runs
// the main window modally; ExitInstance undoes it in a fixed order.
#include <windows.h>

#include "app/HandOver.h"
#include "fw/App.h"
#include "skin/HideWnd.h"

// Title of the hidden window by which a later start finds this one.
extern const wchar_t InstanceWindowTitle[];
// Posted (wParam 0, lParam 0) to the instance window of a running copy.
constexpr UINT WM_INSTANCE_PING = WM_USER + 901;

// Posted to the main window when hand-overs are waiting to be queued.
constexpr UINT WM_HANDED_FILES = WM_APP + 12;

// Exit code of a start that could not reach the resource pack.
constexpr int EXIT_NO_RESOURCE_PACK = 3;
// The exit code of a start without one of its libraries (glyphmap, modgate).
constexpr int EXIT_MISSING_MODULE = 4;

class CTarnwellApp : public fw::CWinApp, public vek_InstWnd {
 public:
  CTarnwellApp();

  BOOL InitInstance() override;
  int ExitInstance() override;

  // The instance window's messages: files handed over by a later start.
  LRESULT OnWndMsg(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, BOOL* handled) override;

  // Receives the product title from the resource pack.
  wchar_t appName[260] = {};

 private:
  // Hands the command line's files to a running copy; true when it took
  // them and this start is to end.
  bool HandToRunningCopy(const HandOver& handOver);
  // Finds a running copy's instance window and pings it, or creates ours.
  void SetUpInstanceWindow();
  // The product title from the pack; false (after telling the user) when
  // the pack cannot serve.
  bool ReachResourcePack();
  // Loads the program's own libraries from its folder; false (after one
  // message naming what is missing and where it was looked for) when one
  // cannot be loaded.
  bool ReachModules();
  // One message box when the settings could not be opened at start.
  void TellUnreachableSettings();
  void CreateInstanceWindow();

  bool handedOver_ = false;  // this start passed its files to a running copy
};
