// Times tarnwell.exe as a user meets it, driven from this second process:
// from process start to the visible main window, and from Convert to the
// result for a pasted text of about 1 MB (UTF-8 bytes of the corpus).
//   program_bench.exe TARNWELL.EXE CORPUS.txt [ROUNDS]
// Prints "bench: NAME VALUE UNIT" lines.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "tools/bench/BenchClock.h"

namespace {

constexpr size_t kPasteBytes = 1000000;
constexpr DWORD kTimeoutMs = 120000;

bool WaitFor(const std::function<bool()>& done, DWORD timeoutMs, DWORD pollMs = 2) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start >= timeoutMs) return false;
    Sleep(pollMs);
  }
  return true;
}

std::wstring ClassOf(HWND wnd) {
  wchar_t name[64] = {};
  GetClassNameW(wnd, name, 64);
  return name;
}

struct MainSearch {
  DWORD pid;
  HWND found;
};

BOOL CALLBACK FindMainWindow(HWND wnd, LPARAM lp) {
  auto* s = reinterpret_cast<MainSearch*>(lp);
  DWORD owner = 0;
  GetWindowThreadProcessId(wnd, &owner);
  if (owner != s->pid || !IsWindowVisible(wnd) || ClassOf(wnd) != L"#32770") return TRUE;
  if (GetDlgItem(wnd, 1013) == nullptr || GetDlgItem(wnd, 1007) == nullptr) return TRUE;
  s->found = wnd;
  return FALSE;
}

HWND MainWindowOf(DWORD pid) {
  MainSearch s{pid, nullptr};
  EnumWindows(&FindMainWindow, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

HWND VisiblePageWith(HWND main, int id) {
  for (HWND p = GetWindow(main, GW_CHILD); p != nullptr; p = GetWindow(p, GW_HWNDNEXT)) {
    if (IsWindowVisible(p) && GetDlgItem(p, id) != nullptr) return p;
  }
  return nullptr;
}

LRESULT Send(HWND wnd, UINT msg, WPARAM wp = 0, LPARAM lp = 0) {
  DWORD_PTR result = 0;
  SendMessageTimeoutW(wnd, msg, wp, lp, SMTO_ABORTIFHUNG, kTimeoutMs, &result);
  return static_cast<LRESULT>(result);
}

bool PutOnClipboard(const std::wstring& text) {
  if (!OpenClipboard(nullptr)) return false;
  EmptyClipboard();
  const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, bytes);
  bool ok = false;
  if (mem != nullptr) {
    memcpy(GlobalLock(mem), text.c_str(), bytes);
    GlobalUnlock(mem);
    ok = SetClipboardData(CF_UNICODETEXT, mem) != nullptr;
    if (!ok) GlobalFree(mem);
  }
  CloseClipboard();
  return ok;
}

// About kPasteBytes of the corpus, cut at a line end, with CR LF line ends
// as an edit box holds them.
std::wstring PasteText(const char* corpus) {
  std::ifstream in(corpus, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (bytes.size() > kPasteBytes) {
    size_t cut = bytes.rfind('\n', kPasteBytes);
    bytes.resize(cut == std::string::npos ? kPasteBytes : cut + 1);
  }
  std::string crlf;
  crlf.reserve(bytes.size() + bytes.size() / 20);
  for (char c : bytes) {
    if (c == '\n') crlf += '\r';
    if (c != '\r') crlf += c;
  }
  int n = MultiByteToWideChar(CP_UTF8, 0, crlf.data(), static_cast<int>(crlf.size()), nullptr, 0);
  std::wstring text(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, crlf.data(), static_cast<int>(crlf.size()), text.data(), n);
  return text;
}

struct Program {
  PROCESS_INFORMATION pi{};
  ~Program() {
    if (pi.hProcess == nullptr) return;
    TerminateProcess(pi.hProcess, 99);
    WaitForSingleObject(pi.hProcess, 10000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
};

int Fail(const char* what) {
  std::fprintf(stderr, "program_bench: %s\n", what);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return Fail("usage: program_bench.exe TARNWELL.EXE CORPUS.txt [ROUNDS]");
  const int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 3;
  int wn = MultiByteToWideChar(CP_UTF8, 0, argv[1], -1, nullptr, 0);
  std::wstring exe(static_cast<size_t>(wn), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, argv[1], -1, exe.data(), wn);
  exe.resize(exe.size() - 1);
  const std::wstring folder = exe.substr(0, exe.find_last_of(L'\\'));
  const std::wstring paste = PasteText(argv[2]);
  if (paste.empty()) return Fail("empty corpus");

  std::vector<double> starts, converts;
  for (int round = 0; round < rounds; ++round) {
    Program program;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    std::wstring command = L"\"" + exe + L"\"";
    const double t0 = Now();
    if (!CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &si, &program.pi)) {
      return Fail("cannot start the program");
    }
    HWND main = nullptr;
    if (!WaitFor([&] { return (main = MainWindowOf(program.pi.dwProcessId)) != nullptr; },
                 kTimeoutMs, 1)) {
      return Fail("no main window");
    }
    starts.push_back(Now() - t0);

    HWND entrance = VisiblePageWith(main, 1001);
    if (entrance == nullptr) return Fail("no entrance page");
    PostMessageW(GetDlgItem(entrance, 1001), BM_CLICK, 0, 0);
    HWND page = nullptr;
    if (!WaitFor([&] { return (page = VisiblePageWith(main, 1005)) != nullptr; }, kTimeoutMs)) {
      return Fail("no text page");
    }
    HWND source = GetDlgItem(page, 1005), result = GetDlgItem(page, 1006);
    if (!PutOnClipboard(paste)) return Fail("clipboard");
    Send(source, WM_PASTE);
    const LRESULT pasted = Send(source, WM_GETTEXTLENGTH);
    if (pasted != static_cast<LRESULT>(paste.size())) {
      std::fprintf(stderr, "program_bench: pasted %ld of %zu units\n", static_cast<long>(pasted),
                   paste.size());
      return 1;
    }
    const double t1 = Now();
    PostMessageW(GetDlgItem(page, IDOK), BM_CLICK, 0, 0);
    // Done when the page is uncovered again with the result in place.
    if (!WaitFor([&] { return IsWindowEnabled(main) && Send(result, WM_GETTEXTLENGTH) > 0; },
                 kTimeoutMs, 1)) {
      return Fail("no result");
    }
    converts.push_back(Now() - t1);
  }
  std::sort(starts.begin(), starts.end());
  std::sort(converts.begin(), converts.end());
  std::printf("bench: program_start_to_main_window %.0f ms (median of %d)\n",
              starts[starts.size() / 2] * 1000, rounds);
  std::printf("bench: program_convert_1MB_paste %.0f ms (median of %d, %zu UTF-16 units)\n",
              converts[converts.size() / 2] * 1000, rounds, paste.size());
  return 0;
}
