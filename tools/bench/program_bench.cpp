// Times tarnwell.exe as a user meets it, driven from this second process:
// from process start to the visible main window, and from Convert to the
// result for two characters typed and for a pasted text of about 1 MB (UTF-8
// bytes of the corpus).
//   program_bench.exe TARNWELL.EXE CORPUS.txt [ROUNDS]
// With "file" first: a file handed to the program (as the Explorer's verb
// does), from Start on the file page to the end of the run (the question
// that follows it), the output going to a folder of the bench's own. A
// folder is handed over the same way, and all its files are converted.
//   program_bench.exe file TARNWELL.EXE FILE|FOLDER [ROUNDS]
// Prints "bench: NAME VALUE UNIT" lines.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "config/CfgStore.h"
#include "tools/bench/BenchClock.h"

namespace {

constexpr size_t kPasteBytes = 1000000;
// Two characters, typed, and what they become.
constexpr wchar_t kTwoChars[] = L"头发";
constexpr wchar_t kTwoCharsConverted[] = L"頭髮";
constexpr int kTwoCharRounds = 5;
// Pairs of 1 MB conversions with the default marks and with every place.
constexpr int kMarkedPairs = 3;
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

std::wstring TextOf(HWND wnd) {
  const LRESULT n = Send(wnd, WM_GETTEXTLENGTH);
  std::wstring text(static_cast<size_t>(n) + 1, L'\0');
  Send(wnd, WM_GETTEXT, static_cast<WPARAM>(text.size()), reinterpret_cast<LPARAM>(text.data()));
  text.resize(wcslen(text.c_str()));
  return text;
}

// The text page's choice to mark every place, in the settings it reads at
// each conversion.
void SetEveryPlace(bool every) {
  const std::int32_t value = every ? 1 : 0;
  CfgStore::Instance().WriteValue(CFGKEY_PROOF_EVERY_PLACE, &value, sizeof value);
  CfgStore::DeleteInstance();
}

// Convert to result again over the text in the upper box, the page marking
// the default places and every place in turn, with the count line each
// time.
void MarkedPairs(HWND page, HWND main, std::vector<double>& byDefault, std::vector<double>& every,
                 std::wstring* counts) {
  HWND result = GetDlgItem(page, 1006);
  for (int i = 0; i < 2 * kMarkedPairs; ++i) {
    const bool all = i % 2 == 1;
    SetEveryPlace(all);
    Send(result, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    const double t = Now();
    PostMessageW(GetDlgItem(page, IDOK), BM_CLICK, 0, 0);
    if (!WaitFor([&] { return IsWindowEnabled(main) && Send(result, WM_GETTEXTLENGTH) > 0; },
                 kTimeoutMs, 1)) {
      return;
    }
    (all ? every : byDefault).push_back(Now() - t);
    const std::wstring line = TextOf(GetDlgItem(page, 1070));
    counts[all ? 1 : 0] = line.substr(0, line.find(L' '));
  }
}

// A message box of the process: a dialog with the box's text static.
struct BoxSearch {
  DWORD pid;
  HWND found;
};

BOOL CALLBACK FindBox(HWND wnd, LPARAM lp) {
  auto* s = reinterpret_cast<BoxSearch*>(lp);
  DWORD owner = 0;
  GetWindowThreadProcessId(wnd, &owner);
  if (owner != s->pid || !IsWindowVisible(wnd) || ClassOf(wnd) != L"#32770") return TRUE;
  if (GetDlgItem(wnd, 0xFFFF) == nullptr) return TRUE;
  s->found = wnd;
  return FALSE;
}

// Looked for among the windows of the program's main thread, which shows
// its questions: each look costs a few questions to Wine's server instead of
// several for every window of the desktop, which kept the server busy beside
// the run being timed.
HWND BoxOf(DWORD pid, DWORD tid) {
  BoxSearch s{pid, nullptr};
  EnumThreadWindows(tid, &FindBox, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

int Fail(const char* what) {
  std::fprintf(stderr, "program_bench: %s\n", what);
  return 1;
}

bool StartProgram(const std::wstring& exe, const std::wstring& args, Program& program) {
  const std::wstring folder = exe.substr(0, exe.find_last_of(L'\\'));
  STARTUPINFOW si{};
  si.cb = sizeof si;
  std::wstring command = L"\"" + exe + L"\"" + args;
  return CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &si, &program.pi) != FALSE;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// The file page from Start to the question at the end of the run, for a
// file handed over on the command line.
int FileRun(int argc, char** argv) {
  if (argc < 4) return Fail("usage: program_bench.exe file TARNWELL.EXE FILE [ROUNDS]");
  const std::wstring exe = Wide(argv[2]);
  const std::wstring file = Wide(argv[3]);
  const int rounds = argc > 4 ? std::max(1, std::atoi(argv[4])) : 3;
  // A folder is handed over as the Explorer hands one: its files are
  // queued, and the run converts them all.
  const DWORD attributes = GetFileAttributesW(file.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return Fail("cannot open the file");
  const bool folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  std::vector<std::wstring> names;
  LARGE_INTEGER size{};
  if (folder) {
    WIN32_FIND_DATAW found{};
    HANDLE find = FindFirstFileW((file + L"\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return Fail("cannot list the folder");
    do {
      if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) continue;
      names.push_back(found.cFileName);
      size.QuadPart += (static_cast<LONGLONG>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
    } while (FindNextFileW(find, &found));
    FindClose(find);
  } else {
    HANDLE h = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE) return Fail("cannot open the file");
    GetFileSizeEx(h, &size);
    CloseHandle(h);
    names.push_back(file.substr(file.find_last_of(L'\\') + 1));
  }
  // The program's settings, pointed at a folder of the bench's own, with
  // the default output options.
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::wstring out = std::wstring(temp) + L"tarnwell-program-bench";
  CreateDirectoryW(out.c_str(), nullptr);
  CfgStore& store = CfgStore::Instance();
  store.WriteString(CFGKEY_OUTPUT_DIR, out.c_str());
  // Encodings detected, as a new user has them (a test may have left one
  // fixed encoding for every file in this prefix).
  for (std::int32_t key : {CFGKEY_OUTPUT_ENCODING, CFGKEY_OUTPUT_PLACE, CFGKEY_EXISTING_OUTPUT,
                           CFGKEY_CONVERT_NAMES, CFGKEY_ENCODING_MODE}) {
    const std::int32_t zero = 0;
    store.WriteValue(key, &zero, sizeof zero);
  }
  CfgStore::DeleteInstance();
  auto deleteOutputs = [&] {
    for (const std::wstring& name : names) DeleteFileW((out + L"\\" + name).c_str());
  };

  std::vector<double> runs;
  for (int round = 0; round < rounds; ++round) {
    deleteOutputs();
    Program program;
    if (!StartProgram(exe, L" /s2t \"" + file + L"\"", program)) return Fail("cannot start");
    HWND main = nullptr, page = nullptr;
    if (!WaitFor([&] { return (main = MainWindowOf(program.pi.dwProcessId)) != nullptr; },
                 kTimeoutMs) ||
        !WaitFor([&] { return (page = VisiblePageWith(main, 1021)) != nullptr; }, kTimeoutMs)) {
      return Fail("no file page");
    }
    HWND list = GetDlgItem(page, 1014);
    const auto queued = static_cast<LRESULT>(names.size());
    if (!WaitFor([&] { return Send(list, LVM_GETITEMCOUNT) >= queued; }, kTimeoutMs)) {
      return Fail("the file was not queued");
    }
    // A user clicks Start on a page already drawn: the program is let
    // finish drawing the page (and reach its message loop idle) first, so
    // that the run does not include the page's first paint.
    WaitForInputIdle(program.pi.hProcess, kTimeoutMs);
    const double t0 = Now();
    PostMessageW(GetDlgItem(page, 1021), BM_CLICK, 0, 0);
    // Looked for every 5 ms: looking every millisecond took a good part of
    // a processor from the program's two conversion threads.
    if (!WaitFor([&] { return BoxOf(program.pi.dwProcessId, program.pi.dwThreadId) != nullptr; },
                 600000, 5)) {
      return Fail("the run did not end");
    }
    runs.push_back(Now() - t0);
  }
  deleteOutputs();
  const double seconds = Median(runs);
  if (folder) {
    std::printf("bench: program_file_page_many_s2t %.2f s (%zu files, %.1f MB, Start to end of "
                "run, median of %d)\n",
                seconds, names.size(), static_cast<double>(size.QuadPart) / 1e6, rounds);
    return 0;
  }
  std::printf("bench: program_file_page_s2t %.2f MB/s (%.1f MB, Start to end of run, median of %d)\n",
              static_cast<double>(size.QuadPart) / seconds / 1e6,
              static_cast<double>(size.QuadPart) / 1e6, rounds);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "file") == 0) return FileRun(argc, argv);
  if (argc < 3) return Fail("usage: program_bench.exe TARNWELL.EXE CORPUS.txt [ROUNDS]");
  const int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 3;
  int wn = MultiByteToWideChar(CP_UTF8, 0, argv[1], -1, nullptr, 0);
  std::wstring exe(static_cast<size_t>(wn), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, argv[1], -1, exe.data(), wn);
  exe.resize(exe.size() - 1);
  const std::wstring folder = exe.substr(0, exe.find_last_of(L'\\'));
  const std::wstring paste = PasteText(argv[2]);
  if (paste.empty()) return Fail("empty corpus");

  std::vector<double> starts, converts, twoChars, pastes, markedDefault, markedEvery;
  std::wstring marks[2];
  SetEveryPlace(false);
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
    for (int i = 0; i < kTwoCharRounds; ++i) {
      Send(source, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(kTwoChars));
      Send(result, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
      const double t = Now();
      PostMessageW(GetDlgItem(page, IDOK), BM_CLICK, 0, 0);
      if (!WaitFor([&] { return IsWindowEnabled(main) && TextOf(result) == kTwoCharsConverted; },
                   kTimeoutMs, 1)) {
        return Fail("no result for two characters");
      }
      twoChars.push_back(Now() - t);
    }
    Send(source, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    Send(result, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    if (!PutOnClipboard(paste)) return Fail("clipboard");
    const double tp = Now();
    Send(source, WM_PASTE);
    pastes.push_back(Now() - tp);
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
    if (round == 0) MarkedPairs(page, main, markedDefault, markedEvery, marks);
  }
  std::sort(starts.begin(), starts.end());
  std::sort(converts.begin(), converts.end());
  std::printf("bench: program_start_to_main_window %.0f ms (median of %d)\n",
              starts[starts.size() / 2] * 1000, rounds);
  std::printf("bench: program_convert_1MB_paste %.0f ms (median of %d, %zu UTF-16 units)\n",
              converts[converts.size() / 2] * 1000, rounds, paste.size());
  std::printf("bench: program_convert_two_chars %.0f ms (median of %zu)\n",
              Median(twoChars) * 1000, twoChars.size());
  std::printf("bench: program_paste_1MB %.0f ms (the edit box taking the text, for reference)\n",
              Median(pastes) * 1000);
  if (!markedDefault.empty()) {
    std::printf("bench: program_convert_1MB_marks_default %.0f ms (median of %zu, %ls places)\n",
                Median(markedDefault) * 1000, markedDefault.size(), marks[0].c_str());
    std::printf("bench: program_convert_1MB_marks_every %.0f ms (median of %zu, %ls places)\n",
                Median(markedEvery) * 1000, markedEvery.size(), marks[1].c_str());
    std::printf("bench: program_convert_1MB_marks_every_vs_default %.2f x\n",
                Median(markedEvery) / Median(markedDefault));
  }
  SetEveryPlace(false);
  return 0;
}
