#pragma once
// Driving another process's windows as a user would, for end-to-end tests:
// starting the program and ending it for sure, finding its windows,
// clicking, typing, answering its message boxes, and reading its list views
// (whose messages carry pointers, so they go through the other process's
// memory). Every wait has a time limit.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace testing_support {

// A running program, terminated when the object goes.
class RemoteProcess {
 public:
  RemoteProcess() = default;
  ~RemoteProcess() { Kill(); }
  RemoteProcess(const RemoteProcess&) = delete;
  RemoteProcess& operator=(const RemoteProcess&) = delete;

  // Starts `exe` (full path) in its own folder; false when it cannot start.
  bool Start(const std::wstring& exe, const std::wstring& args = L"");
  // Ends the process (if it still runs) and waits for it.
  void Kill();
  bool Running() const;
  // Waits for the end; false on timeout. `code` receives the exit code.
  bool WaitExit(DWORD timeoutMs, DWORD* code = nullptr);
  DWORD id() const { return info_.dwProcessId; }
  HANDLE handle() const { return info_.hProcess; }

  // Tarnwell's main window: the visible dialog with the caption buttons.
  HWND MainWindow() const;
  HWND WaitMainWindow(DWORD timeoutMs) const;
  // A message box of the program showing now (WaitForBox), or after a wait.
  HWND MessageBoxWindow() const { return WaitMessageBox(0); }
  HWND WaitMessageBox(DWORD timeoutMs) const;

 private:
  PROCESS_INFORMATION info_{};
};

// The built program, beside the test programs.
std::wstring ProgramPath();

// Polls `found` every 20 ms until it is true or `timeoutMs` passed (a last
// look at the end).
bool WaitFor(const std::function<bool()>& found, DWORD timeoutMs = 10000);

// Top-level windows of process `pid` that are visible, optionally of one
// class and with one title (empty: any).
std::vector<HWND> TopWindows(DWORD pid, const std::wstring& cls = L"",
                             const std::wstring& title = L"");
// Waits for such a window; null after `timeoutMs`.
HWND WaitForTopWindow(DWORD pid, const std::wstring& cls, const std::wstring& title,
                      DWORD timeoutMs = 10000);
// The first descendant of `parent` with control id `id` that is visible
// (any when `visibleOnly` is false); null when none.
HWND FindDescendant(HWND parent, int id, bool visibleOnly = true);

// Every descendant of `parent` with control id `id`, visible or not.
std::vector<HWND> DescendantsWithId(HWND parent, int id);
// The visible child dialog (page) of `main` that holds control `id`.
HWND VisiblePageWith(HWND main, int id);
// All top-level windows titled `title`, of any process, visible or not.
std::vector<HWND> WindowsTitled(const std::wstring& title);

// The window's text (WM_GETTEXT, so also a control's of another process),
// and setting it; neither blocks on a hung window for long.
std::wstring TextOf(HWND wnd);
bool SetTextOf(HWND wnd, const std::wstring& text);
std::wstring ClassOf(HWND wnd);
// Posts the click of button `id` of `dialog` as the button would send it.
void PostClick(HWND dialog, int id);
// Clicks `button` itself (BM_CLICK): as a user's click, nothing happens
// while it is disabled.
void Click(HWND button);

// A message box of `pid` (a visible #32770 with the static 0xFFFF); waits
// up to `timeoutMs`. Its text goes into `text`.
HWND WaitForBox(DWORD pid, std::wstring* text, DWORD timeoutMs = 20000);
// Answers the box with `button` (IDOK, IDYES, IDNO) and waits for it to go.
bool AnswerBox(HWND box, int button, DWORD timeoutMs = 5000);

// A list view of another process.
class RemoteList {
 public:
  RemoteList(HWND list, DWORD pid);
  ~RemoteList();
  RemoteList(const RemoteList&) = delete;
  RemoteList& operator=(const RemoteList&) = delete;

  int Rows() const;
  std::wstring Cell(int row, int column) const;
  // All of column `column`, top to bottom.
  std::vector<std::wstring> Column(int column) const;
  bool Selected(int row) const;
  // Client point in the middle of the row's first column.
  POINT RowPoint(int row) const;

 private:
  HWND list_;
  HANDLE process_ = nullptr;
  void* remote_ = nullptr;  // a page of the other process's memory
};

}  // namespace testing_support
