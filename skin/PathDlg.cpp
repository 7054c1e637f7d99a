#include "skin/PathDlg.h"

#include <io.h>

#include <cwchar>
#include <string>

#include "fw/MessageBox.h"

namespace {

constexpr wchar_t kAskCreate[] = L"%s\n\nThe directory not exist,are you want to create it?";
constexpr wchar_t kInvalid[] = L"%s\n\nThe path is invalidate,please input again! ";

bool Exists(const wchar_t* path) { return _waccess(path, 0) == 0; }

bool IsAsciiLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

bool IsBadEnd(wchar_t c) { return c == L'\t' || c == L' ' || c == L'.'; }

bool ComponentIsValid(const std::wstring& c) {
  if (c.empty() || IsBadEnd(c.front()) || IsBadEnd(c.back())) return false;
  return c.find_first_of(L"\"*/:<>?|") == std::wstring::npos;
}

std::wstring Format(const wchar_t* pattern, const wchar_t* path) {
  std::wstring text(pattern);
  text.replace(text.find(L"%s"), 2, path);
  return text;
}

}  // namespace

int CheckPath(const wchar_t* path, BOOL create) {
  if (path == nullptr) return CHECKPATH_INVALID;
  const size_t length = wcsnlen(path, 260);
  // A path that does not fit the program's buffers is refused rather than
  // cut short (the shortened path would name another folder).
  if (length >= 260) return CHECKPATH_INVALID;
  const std::wstring copy(path, length);
  if (length <= 2 || copy[1] != L':' || copy[2] != L'\\') return CHECKPATH_INVALID;
  if (!IsAsciiLetter(copy[0])) return CHECKPATH_INVALID;
  if (length == 3) return create ? CHECKPATH_INVALID : CHECKPATH_VALID;

  size_t start = 3;
  while (start < length) {
    size_t end = copy.find(L'\\', start);
    if (end == std::wstring::npos) end = length;
    if (!ComponentIsValid(copy.substr(start, end - start))) return CHECKPATH_INVALID;
    if (create) {
      const std::wstring upTo = copy.substr(0, end);
      CreateDirectoryW(upTo.c_str(), nullptr);
      if (!Exists(upTo.c_str())) return CHECKPATH_INVALID;
    }
    start = end + 1;  // past the end: done; a trailing backslash ends here too
  }
  return CHECKPATH_VALID;
}

// ---- vek_PathDlgEdit ----

BOOL vek_PathDlgEdit::OnCommand(WPARAM wp, LPARAM lp) {
  if (picker == nullptr) return FALSE;
  if (LOWORD(wp) == BROWSE_EDIT_ID && HIWORD(wp) == EN_CHANGE) {
    GetDlgItemTextW(m_hWnd, BROWSE_EDIT_ID, picker->chosenPath, 260);
    SendMessage(BFFM_ENABLEOK, 0, picker->chosenPath[0] != L'\0' ? 1 : 0);
    return FALSE;
  }
  if (LOWORD(wp) == IDOK) {
    AcceptOrComplain();
    return TRUE;  // OK is ours entirely
  }
  return FALSE;
}

void vek_PathDlgEdit::AcceptOrComplain() {
  wchar_t* path = picker->chosenPath;
  GetDlgItemTextW(m_hWnd, BROWSE_EDIT_ID, path, 260);
  bool accepted = false;
  if (CheckPath(path, FALSE) == CHECKPATH_VALID) {
    if (Exists(path)) {
      accepted = true;
    } else if (fw::AppMessageBox(m_hWnd, Format(kAskCreate, path), MB_YESNO | MB_ICONQUESTION) ==
               IDYES) {
      CheckPath(path, TRUE);
      accepted = CheckPath(path, FALSE) == CHECKPATH_VALID && Exists(path);
    }
  }
  if (!accepted) {
    fw::AppMessageBox(m_hWnd, Format(kInvalid, path), MB_ICONEXCLAMATION);
    ::SetFocus(GetDlgItem(BROWSE_EDIT_ID));
    return;
  }
  result = 1;
  ::EndDialog(picker->browseWnd, 1);
}

// ---- vek_PathDlg ----

vek_PathDlg::vek_PathDlg() {
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT;
  info.lpfn = &vek_PathDlg::BrowseCallback;
  info.lParam = reinterpret_cast<LPARAM>(this);
  editHook.picker = this;
}

int vek_PathDlg::Browse() {
  editHook.result = -1;
  displayName_[0] = L'\0';
  info.pszDisplayName = displayName_;
  IMalloc* malloc = nullptr;
  if (FAILED(SHGetMalloc(&malloc)) || malloc == nullptr) return -1;
  if (LPITEMIDLIST item = SHBrowseForFolderW(&info)) malloc->Free(item);
  malloc->Release();
  return editHook.result;
}

int CALLBACK vek_PathDlg::BrowseCallback(HWND wnd, UINT msg, LPARAM lp, LPARAM data) {
  auto* self = reinterpret_cast<vek_PathDlg*>(data);
  if (self == nullptr) return 0;
  try {
    if (msg == BFFM_INITIALIZED) self->OnInitialized(wnd);
    if (msg == BFFM_SELCHANGED) self->OnSelChanged(wnd, reinterpret_cast<LPCITEMIDLIST>(lp));
  } catch (...) {
    // Nothing may unwind into the shell.
  }
  return 0;
}

void vek_PathDlg::OnInitialized(HWND wnd) {
  browseWnd = wnd;
  if (caption[0] != L'\0') SetWindowTextW(wnd, caption);
  editHook.SubclassWindow(wnd);
  ShowWindow(GetDlgItem(wnd, BROWSE_STATUS_ID), SW_HIDE);

  RECT tree{};
  GetWindowRect(GetDlgItem(wnd, BROWSE_TREE_ID), &tree);
  RECT box{tree.left, tree.top - 27, tree.right, tree.top - 4};
  MapWindowPoints(nullptr, wnd, reinterpret_cast<POINT*>(&box), 2);
  HWND edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                              WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, box.left,
                              box.top, box.right - box.left, box.bottom - box.top, wnd, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  if (edit != nullptr) {
    SetWindowLongPtrW(edit, GWLP_ID, BROWSE_EDIT_ID);
    ShowWindow(edit, SW_SHOW);
    SendMessageW(edit, WM_SETFONT, SendMessageW(wnd, WM_GETFONT, 0, 0), TRUE);
  }
  wchar_t start[260] = {};
  if (initialPath[0] != L'\0') {
    lstrcpynW(start, initialPath, 260);
  } else {
    GetCurrentDirectoryW(260, start);
  }
  SendMessageW(wnd, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(start));
}

void vek_PathDlg::OnSelChanged(HWND wnd, LPCITEMIDLIST item) {
  wchar_t path[MAX_PATH] = {};
  // Virtual folders and network paths cannot be the output folder.
  if (item == nullptr || !SHGetPathFromIDListW(item, path) || path[1] != L':') {
    path[0] = L'\0';
    SendMessageW(wnd, BFFM_ENABLEOK, 0, 0);
  } else {
    SendMessageW(wnd, BFFM_ENABLEOK, 0, 1);
  }
  SendMessageW(wnd, BFFM_SETSTATUSTEXTW, 0, reinterpret_cast<LPARAM>(path));
  SetDlgItemTextW(wnd, BROWSE_EDIT_ID, path);
}
