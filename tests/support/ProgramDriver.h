#pragma once
// Drives tarnwell.exe from a second process, as a user would: starts it,
// finds its windows, types into them, clicks, answers its message boxes,
// and makes sure it never outlives the test. Every wait has a timeout.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace testing_support {

// Polls `done` every 20 ms until it is true or `timeoutMs` passed.
bool WaitFor(const std::function<bool()>& done, DWORD timeoutMs);

class ProgramProcess {
 public:
  ProgramProcess() = default;
  ~ProgramProcess();  // kills the program if it still runs
  ProgramProcess(const ProgramProcess&) = delete;
  ProgramProcess& operator=(const ProgramProcess&) = delete;

  // Starts `exe` (full path) with its own folder as working folder.
  bool Start(const std::wstring& exe);
  DWORD Pid() const { return pid_; }
  bool Running() const;
  // Waits for the end; false on timeout. `code` receives the exit code.
  bool WaitExit(DWORD timeoutMs, DWORD* code = nullptr);
  // Ends the program at once and waits for it to be gone.
  void Kill();

  // The program's top-level windows (visible or not).
  std::vector<HWND> TopLevelWindows() const;
  // The main window: the visible dialog with the caption buttons.
  HWND MainWindow() const;
  HWND WaitMainWindow(DWORD timeoutMs) const;
  // A message box of the program (a dialog with the static 0xFFFF).
  HWND MessageBoxWindow() const;
  HWND WaitMessageBox(DWORD timeoutMs) const;

 private:
  PROCESS_INFORMATION pi_{};
  DWORD pid_ = 0;
};

// The folder of the built program (the test programs' own folder).
std::wstring ProgramPath();

// Window helpers that work across processes and never block for long.
std::wstring ClassNameOf(HWND wnd);
std::wstring TextOf(HWND wnd);  // WM_GETTEXT, for controls of another process
bool SetTextOf(HWND wnd, const std::wstring& text);
// The visible child dialog (page) of `main` that holds control `id`.
HWND VisiblePageWith(HWND main, int id);
// The first descendant of `parent` with control id `id`.
HWND FindDescendant(HWND parent, int id);
// Posts a click to a button (BM_CLICK).
void Click(HWND button);
// Answers a message box with `id` (IDOK, IDYES, IDNO).
void Answer(HWND box, int id);
// All top-level windows titled `title`, of any process.
std::vector<HWND> WindowsTitled(const std::wstring& title);

}  // namespace testing_support
