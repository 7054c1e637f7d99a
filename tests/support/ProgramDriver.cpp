#include "tests/support/ProgramDriver.h"

#include "tests/support/TempDir.h"

namespace testing_support {

bool WaitFor(const std::function<bool()>& done, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start >= timeoutMs) return done();
    Sleep(20);
  }
  return true;
}

ProgramProcess::~ProgramProcess() { Kill(); }

bool ProgramProcess::Start(const std::wstring& exe) {
  std::wstring folder = exe.substr(0, exe.find_last_of(L'\\'));
  std::wstring command = L"\"" + exe + L"\"";
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  if (!CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder.c_str(), &si, &pi_)) {
    return false;
  }
  pid_ = pi_.dwProcessId;
  return true;
}

bool ProgramProcess::Running() const {
  return pi_.hProcess != nullptr && WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT;
}

bool ProgramProcess::WaitExit(DWORD timeoutMs, DWORD* code) {
  if (pi_.hProcess == nullptr) return false;
  if (WaitForSingleObject(pi_.hProcess, timeoutMs) != WAIT_OBJECT_0) return false;
  if (code != nullptr) GetExitCodeProcess(pi_.hProcess, code);
  return true;
}

void ProgramProcess::Kill() {
  if (pi_.hProcess == nullptr) return;
  if (Running()) {
    TerminateProcess(pi_.hProcess, 99);
    WaitForSingleObject(pi_.hProcess, 10000);
  }
  CloseHandle(pi_.hThread);
  CloseHandle(pi_.hProcess);
  pi_ = PROCESS_INFORMATION{};
}

namespace {

struct PidSearch {
  DWORD pid;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectOfPid(HWND wnd, LPARAM lp) {
  auto* s = reinterpret_cast<PidSearch*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(wnd, &pid);
  if (pid == s->pid) s->found.push_back(wnd);
  return TRUE;
}

struct IdSearch {
  int id;
  HWND found;
};

BOOL CALLBACK FindId(HWND wnd, LPARAM lp) {
  auto* s = reinterpret_cast<IdSearch*>(lp);
  if (GetDlgCtrlID(wnd) != s->id) return TRUE;
  s->found = wnd;
  return FALSE;
}

struct TitleSearch {
  const std::wstring* title;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectTitled(HWND wnd, LPARAM lp) {
  auto* s = reinterpret_cast<TitleSearch*>(lp);
  wchar_t text[128] = {};
  InternalGetWindowText(wnd, text, 128);
  if (*s->title == text) s->found.push_back(wnd);
  return TRUE;
}

}  // namespace

std::vector<HWND> ProgramProcess::TopLevelWindows() const {
  PidSearch search{pid_, {}};
  EnumWindows(&CollectOfPid, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND ProgramProcess::MainWindow() const {
  for (HWND wnd : TopLevelWindows()) {
    if (ClassNameOf(wnd) == L"#32770" && IsWindowVisible(wnd) && GetDlgItem(wnd, 1013) &&
        GetDlgItem(wnd, 1011) && GetDlgItem(wnd, 1007)) {
      return wnd;
    }
  }
  return nullptr;
}

HWND ProgramProcess::WaitMainWindow(DWORD timeoutMs) const {
  HWND found = nullptr;
  WaitFor([&] { return (found = MainWindow()) != nullptr; }, timeoutMs);
  return found;
}

HWND ProgramProcess::MessageBoxWindow() const {
  for (HWND wnd : TopLevelWindows()) {
    if (ClassNameOf(wnd) == L"#32770" && IsWindowVisible(wnd) && GetDlgItem(wnd, 0xFFFF)) {
      return wnd;
    }
  }
  return nullptr;
}

HWND ProgramProcess::WaitMessageBox(DWORD timeoutMs) const {
  HWND found = nullptr;
  WaitFor([&] { return (found = MessageBoxWindow()) != nullptr; }, timeoutMs);
  return found;
}

std::wstring ProgramPath() { return ExeFolder() + L"\\tarnwell.exe"; }

std::wstring ClassNameOf(HWND wnd) {
  wchar_t name[256] = {};
  GetClassNameW(wnd, name, 256);
  return name;
}

std::wstring TextOf(HWND wnd) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(wnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) {
    return {};
  }
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  DWORD_PTR got = 0;
  if (!SendMessageTimeoutW(wnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                           SMTO_ABORTIFHUNG, 5000, &got)) {
    return {};
  }
  text.resize(static_cast<size_t>(got));
  return text;
}

bool SetTextOf(HWND wnd, const std::wstring& text) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutW(wnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                             SMTO_ABORTIFHUNG, 10000, &result) != 0 &&
         result != 0;
}

HWND FindDescendant(HWND parent, int id) {
  IdSearch search{id, nullptr};
  EnumChildWindows(parent, &FindId, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND VisiblePageWith(HWND main, int id) {
  for (HWND page = GetWindow(main, GW_CHILD); page != nullptr;
       page = GetWindow(page, GW_HWNDNEXT)) {
    if (IsWindowVisible(page) && ClassNameOf(page) == L"#32770" && GetDlgItem(page, id)) {
      return page;
    }
  }
  return nullptr;
}

void Click(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }

void Answer(HWND box, int id) {
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(box, id)));
}

std::vector<HWND> WindowsTitled(const std::wstring& title) {
  TitleSearch search{&title, {}};
  EnumWindows(&CollectTitled, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace testing_support
