#pragma once
// The application object: one per process, with a start hook
// (InitInstance) and an exit hook (ExitInstance) around the message loop.
#include <windows.h>

#include "fw/Wnd.h"

namespace fw {

class CWinApp {
 public:
  CWinApp();
  virtual ~CWinApp();
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;

  // Start hook: return FALSE to skip the message loop (a dialog-based
  // program runs its main dialog modally here and returns FALSE).
  virtual BOOL InitInstance() { return FALSE; }
  // Exit hook: its result is the process's exit code.
  virtual int ExitInstance() { return exitCode_; }
  // InitInstance, the message loop when asked for, then ExitInstance.
  int Run();

  HINSTANCE m_hInstance = GetModuleHandleW(nullptr);
  // The main window, borrowed: the window that runs the program.
  CWnd* m_pMainWnd = nullptr;

 protected:
  int exitCode_ = 0;
};

// The one application object, or null when none exists (tests).
CWinApp* AfxGetApp();
// The application's main window, or null.
CWnd* AfxGetMainWnd();
// The module that holds the program's dialog templates.
HINSTANCE ResourceModule();

}  // namespace fw
