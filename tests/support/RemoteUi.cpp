#include "tests/support/RemoteUi.h"

#include <commctrl.h>

#include <cstring>

#include "tests/support/TempDir.h"

namespace testing_support {

bool RemoteProcess::Start(const std::wstring& exe, const std::wstring& args) {
  Kill();
  std::wstring folder = exe.substr(0, exe.find_last_of(L'\\'));
  std::wstring command = L"\"" + exe + L"\"" + (args.empty() ? L"" : L" " + args);
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder.c_str(), &si, &pi)) {
    return false;
  }
  info_ = pi;
  return true;
}

void RemoteProcess::Kill() {
  if (info_.hProcess == nullptr) return;
  if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
    TerminateProcess(info_.hProcess, 99);
    WaitForSingleObject(info_.hProcess, 10000);
  }
  CloseHandle(info_.hProcess);
  CloseHandle(info_.hThread);
  info_ = PROCESS_INFORMATION{};
}

bool RemoteProcess::Running() const {
  return info_.hProcess != nullptr && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

bool RemoteProcess::WaitExit(DWORD timeoutMs, DWORD* code) {
  if (info_.hProcess == nullptr) return false;
  if (WaitForSingleObject(info_.hProcess, timeoutMs) != WAIT_OBJECT_0) return false;
  if (code != nullptr) GetExitCodeProcess(info_.hProcess, code);
  return true;
}

HWND RemoteProcess::MainWindow() const {
  for (HWND wnd : TopWindows(id(), L"#32770")) {
    if (GetDlgItem(wnd, 1013) && GetDlgItem(wnd, 1011) && GetDlgItem(wnd, 1007)) return wnd;
  }
  return nullptr;
}

HWND RemoteProcess::WaitMainWindow(DWORD timeoutMs) const {
  HWND found = nullptr;
  WaitFor([&] { return (found = MainWindow()) != nullptr; }, timeoutMs);
  return found;
}

HWND RemoteProcess::WaitMessageBox(DWORD timeoutMs) const {
  return WaitForBox(id(), nullptr, timeoutMs);
}

std::wstring ProgramPath() { return ExeFolder() + L"\\tarnwell.exe"; }

bool WaitFor(const std::function<bool()>& found, DWORD timeoutMs) {
  const ULONGLONG until = GetTickCount64() + timeoutMs;
  for (;;) {
    if (found()) return true;
    if (GetTickCount64() >= until) return found();
    Sleep(20);
  }
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

std::wstring ClassOf(HWND wnd) {
  wchar_t cls[256] = {};
  GetClassNameW(wnd, cls, 256);
  return cls;
}

namespace {

struct TopSearch {
  DWORD pid;
  const std::wstring* cls;
  const std::wstring* title;
  std::vector<HWND> found;
};

BOOL CALLBACK MatchTop(HWND wnd, LPARAM param) {
  auto* search = reinterpret_cast<TopSearch*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(wnd, &pid);
  if (pid != search->pid || !IsWindowVisible(wnd)) return TRUE;
  if (!search->cls->empty() && ClassOf(wnd) != *search->cls) return TRUE;
  if (!search->title->empty() && TextOf(wnd) != *search->title) return TRUE;
  search->found.push_back(wnd);
  return TRUE;
}

struct ChildSearch {
  int id;
  bool visibleOnly;
  HWND found;
};

BOOL CALLBACK MatchChild(HWND wnd, LPARAM param) {
  auto* search = reinterpret_cast<ChildSearch*>(param);
  if (GetDlgCtrlID(wnd) != search->id) return TRUE;
  if (search->visibleOnly && !IsWindowVisible(wnd)) return TRUE;
  search->found = wnd;
  return FALSE;
}

struct IdSearch {
  int id;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectId(HWND wnd, LPARAM param) {
  auto* search = reinterpret_cast<IdSearch*>(param);
  if (GetDlgCtrlID(wnd) == search->id) search->found.push_back(wnd);
  return TRUE;
}

}  // namespace

std::vector<HWND> DescendantsWithId(HWND parent, int id) {
  IdSearch search{id, {}};
  EnumChildWindows(parent, CollectId, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::vector<HWND> TopWindows(DWORD pid, const std::wstring& cls, const std::wstring& title) {
  TopSearch search{pid, &cls, &title, {}};
  EnumWindows(MatchTop, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND WaitForTopWindow(DWORD pid, const std::wstring& cls, const std::wstring& title,
                      DWORD timeoutMs) {
  HWND found = nullptr;
  WaitFor(
      [&] {
        std::vector<HWND> all = TopWindows(pid, cls, title);
        found = all.empty() ? nullptr : all.front();
        return found != nullptr;
      },
      timeoutMs);
  return found;
}

HWND FindDescendant(HWND parent, int id, bool visibleOnly) {
  ChildSearch search{id, visibleOnly, nullptr};
  EnumChildWindows(parent, MatchChild, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND VisiblePageWith(HWND main, int id) {
  for (HWND page = GetWindow(main, GW_CHILD); page != nullptr;
       page = GetWindow(page, GW_HWNDNEXT)) {
    if (IsWindowVisible(page) && ClassOf(page) == L"#32770" && GetDlgItem(page, id)) {
      return page;
    }
  }
  return nullptr;
}

namespace {

struct TitleSearch {
  const std::wstring* title;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectTitled(HWND wnd, LPARAM param) {
  auto* search = reinterpret_cast<TitleSearch*>(param);
  wchar_t text[128] = {};
  InternalGetWindowText(wnd, text, 128);
  if (*search->title == text) search->found.push_back(wnd);
  return TRUE;
}

}  // namespace

std::vector<HWND> WindowsTitled(const std::wstring& title) {
  TitleSearch search{&title, {}};
  EnumWindows(CollectTitled, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

void Click(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }

void PostClick(HWND dialog, int id) {
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

HWND WaitForBox(DWORD pid, std::wstring* text, DWORD timeoutMs) {
  HWND box = nullptr;
  WaitFor(
      [&] {
        for (HWND wnd : TopWindows(pid, L"#32770")) {
          HWND label = GetDlgItem(wnd, 0xFFFF);
          if (label == nullptr || GetDlgItem(wnd, 1148) != nullptr) continue;
          box = wnd;
          return true;
        }
        return false;
      },
      timeoutMs);
  if (box != nullptr && text != nullptr) *text = TextOf(GetDlgItem(box, 0xFFFF));
  return box;
}

bool AnswerBox(HWND box, int button, DWORD timeoutMs) {
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
  return WaitFor([&] { return !IsWindow(box) || !IsWindowVisible(box); }, timeoutMs);
}

// ---- RemoteList ----

namespace {
constexpr SIZE_T kRemoteBytes = 8192;
constexpr SIZE_T kTextOffset = 1024;  // the LVITEM first, its text behind
}  // namespace

RemoteList::RemoteList(HWND list, DWORD pid) : list_(list) {
  process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  if (process_ != nullptr) {
    remote_ = VirtualAllocEx(process_, nullptr, kRemoteBytes, MEM_COMMIT, PAGE_READWRITE);
  }
}

RemoteList::~RemoteList() {
  if (remote_ != nullptr) VirtualFreeEx(process_, remote_, 0, MEM_RELEASE);
  if (process_ != nullptr) CloseHandle(process_);
}

int RemoteList::Rows() const {
  DWORD_PTR result = 0;
  SendMessageTimeoutW(list_, LVM_GETITEMCOUNT, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
  return static_cast<int>(result);
}

std::wstring RemoteList::Cell(int row, int column) const {
  if (remote_ == nullptr) return L"<no access>";
  auto* base = static_cast<char*>(remote_);
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = reinterpret_cast<wchar_t*>(base + kTextOffset);
  item.cchTextMax = 1024;
  WriteProcessMemory(process_, base, &item, sizeof(item), nullptr);
  wchar_t zero[1] = {};
  WriteProcessMemory(process_, base + kTextOffset, zero, sizeof(zero), nullptr);
  DWORD_PTR n = 0;
  SendMessageTimeoutW(list_, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                      reinterpret_cast<LPARAM>(base), SMTO_ABORTIFHUNG, 5000, &n);
  wchar_t text[1025] = {};
  ReadProcessMemory(process_, base + kTextOffset, text, 1024 * sizeof(wchar_t), nullptr);
  return text;
}

std::vector<std::wstring> RemoteList::Column(int column) const {
  std::vector<std::wstring> cells;
  const int rows = Rows();
  for (int r = 0; r < rows; ++r) cells.push_back(Cell(r, column));
  return cells;
}

bool RemoteList::Selected(int row) const {
  DWORD_PTR state = 0;
  SendMessageTimeoutW(list_, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_SELECTED,
                      SMTO_ABORTIFHUNG, 5000, &state);
  return (state & LVIS_SELECTED) != 0;
}

POINT RemoteList::RowPoint(int row) const {
  POINT pt{40, 0};
  if (remote_ == nullptr) return pt;
  RECT rect{};
  rect.left = LVIR_BOUNDS;
  WriteProcessMemory(process_, remote_, &rect, sizeof(rect), nullptr);
  DWORD_PTR ok = 0;
  SendMessageTimeoutW(list_, LVM_GETITEMRECT, static_cast<WPARAM>(row),
                      reinterpret_cast<LPARAM>(remote_), SMTO_ABORTIFHUNG, 5000, &ok);
  ReadProcessMemory(process_, remote_, &rect, sizeof(rect), nullptr);
  pt.y = (rect.top + rect.bottom) / 2;
  return pt;
}

}  // namespace testing_support
