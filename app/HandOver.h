#pragma once
// Files given to tarnwell.exe on its command line ("/s2t" or "/t2s" first
// picks the file page; Explorer's context menu and drops onto the program
// start it so), and their hand-over from a later start to the running
// program through WM_COPYDATA to its instance window.
#include <windows.h>

#include <deque>
#include <string>
#include <vector>

// The tag of a hand-over's COPYDATASTRUCT.
constexpr ULONG_PTR kHandOverTag = 0x54574631;  // "TWF1"
// The most paths one hand-over may carry.
constexpr size_t kHandOverMaxPaths = 32767;
// The most bytes one hand-over may carry.
constexpr DWORD kHandOverMaxBytes = 64u << 20;

// Which file page receives handed files.
enum class HandOverPage : wchar_t {
  Current = L'0',  // the file page on show, else Simplified to Traditional
  Sim2Tra = L'3',  // page 3
  Tra2Sim = L'4',  // page 4
};

struct HandOver {
  HandOverPage page = HandOverPage::Current;
  std::vector<std::wstring> paths;
};

// The program's arguments (after its name): an optional "/s2t" or "/t2s"
// (any case), then files and folders, each made absolute (FullPath, which
// also turns forward slashes into backslashes) against this process's
// current folder before it is queued or handed over.
HandOver ParseProgramArgs(const std::vector<std::wstring>& args);
// The arguments of this process's command line.
std::vector<std::wstring> ProgramArgs();

// The hand-over's data: the page's letter, then every path, each ended by
// a NUL, and one more NUL.
std::vector<wchar_t> PackHandOver(const HandOver& handOver);
// Reads a received hand-over. False, leaving `out` alone, for anything
// malformed: another tag, no data, an odd or oversized count, a missing
// terminator, an unknown page, no path, or more than kHandOverMaxPaths.
bool UnpackHandOver(const COPYDATASTRUCT& data, HandOver& out);

// Sends the hand-over to the instance window `running` and waits for its
// answer; true when the running program took the files.
bool SendHandOver(HWND running, const HandOver& handOver);

// Hand-overs received (or given at start) that the main window has not
// queued yet, oldest first. User interface thread only.
std::deque<HandOver>& PendingHandOvers();
