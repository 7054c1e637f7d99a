#pragma once
// CTarnwellApp: the application object. InitInstance prepares the process
// (settings file, instance window, COM, the resource pack, the caption of
// every message box, common controls, the shared tooltip window) and runs
// the main window modally; ExitInstance undoes it in a fixed order.
#include <windows.h>

#include "fw/App.h"
#include "skin/HideWnd.h"

// Title of the hidden window by which a later start finds this one.
extern const wchar_t InstanceWindowTitle[];
// Posted (wParam 0, lParam 0) to the instance window of a running copy.
constexpr UINT WM_INSTANCE_PING = WM_USER + 901;

// Exit code of a start that could not reach the resource pack.
constexpr int EXIT_NO_RESOURCE_PACK = 3;
// The exit code of a start without one of its libraries (glyphmap, modgate).
constexpr int EXIT_MISSING_MODULE = 4;

class CTarnwellApp : public fw::CWinApp, public vek_InstWnd {
 public:
  CTarnwellApp();

  BOOL InitInstance() override;
  int ExitInstance() override;

  // Receives the product title from the resource pack.
  wchar_t appName[260] = {};

 private:
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
};
