#include "skin/PathDlg.h"

#include <cwchar>
#include <string>

#include "config/MakeDirs.h"
#include "fw/MessageBox.h"
#include "fw/Trace.h"
#include "skin/DpiScale.h"

namespace {

constexpr wchar_t kAskCreate[] = L"%s\n\nThe directory not exist,are you want to create it?";
constexpr wchar_t kInvalid[] = L"%s\n\nThe path is invalidate,please input again! ";

bool IsFolder(const wchar_t* path) {
  const DWORD attributes = GetFileAttributesW(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool Exists(const wchar_t* path) { return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES; }

std::wstring Format(const wchar_t* pattern, const wchar_t* path) {
  std::wstring text(pattern);
  text.replace(text.find(L"%s"), 2, path);
  return text;
}

}  // namespace

int CheckPath(const wchar_t* path, BOOL create) {
  const bool sound = create ? MakeDirs(path) == 0 : IsFolderPath(path);
  return sound ? CHECKPATH_VALID : CHECKPATH_INVALID;
}

bool AcceptTypedFolder(HWND owner, const wchar_t* path) {
  if (IsFolderPath(path)) {
    if (IsFolder(path)) return true;
    // A file of that name cannot become a folder: no offer to create it.
    if (!Exists(path) &&
        fw::AppMessageBox(owner, Format(kAskCreate, path), MB_YESNO | MB_ICONQUESTION) == IDYES &&
        MakeDirs(path) == 0 && IsFolder(path)) {
      return true;
    }
  }
  fw::AppMessageBox(owner, Format(kInvalid, path != nullptr ? path : L""), MB_ICONEXCLAMATION);
  return false;
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
  if (!AcceptTypedFolder(m_hWnd, path)) {
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

int CALLBACK vek_PathDlg::BrowseCallback(HWND wnd, UINT msg, LPARAM lp, LPARAM data) noexcept {
  auto* self = reinterpret_cast<vek_PathDlg*>(data);
  if (self == nullptr) return 0;
  try {
    if (msg == BFFM_INITIALIZED) self->OnInitialized(wnd);
    if (msg == BFFM_SELCHANGED) self->OnSelChanged(wnd, reinterpret_cast<LPCITEMIDLIST>(lp));
  } catch (...) {
    // Nothing may unwind into the shell.
    fw::TraceCaughtException(L"folder picker callback");
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
  // The system's folder dialog is scaled for its DPI by the system; the
  // path box above its tree follows.
  const DpiScale s = DpiScale::ForWindow(wnd);
  RECT box{tree.left, tree.top - s.Scale(27), tree.right, tree.top - s.Scale(4)};
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
