#include "fw/FileDialog.h"

#include <commctrl.h>
#include <dlgs.h>

#include <algorithm>

#include "fw/Trace.h"

namespace fw {

namespace {
constexpr UINT_PTR kOwnerSubclassId = 0x7446;  // the file dialog's own window
}  // namespace

CFileDialog::CFileDialog(BOOL openFile, const wchar_t* defaultExt, const wchar_t* fileName,
                         DWORD flags, const wchar_t* filter, CWnd* parent, size_t bufferUnits)
    : open_(openFile), files_(std::max<size_t>(bufferUnits, 2), L'\0') {
  if (filter != nullptr) {
    // "a|b||" becomes "a\0b\0\0": the system's form.
    for (const wchar_t* p = filter; *p != L'\0'; ++p) filter_.push_back(*p == L'|' ? L'\0' : *p);
  }
  filter_.push_back(L'\0');
  filter_.push_back(L'\0');
  if (defaultExt != nullptr) defaultExt_ = defaultExt;
  if (fileName != nullptr) lstrcpynW(files_.data(), fileName, static_cast<int>(files_.size()));

  m_ofn.lStructSize = sizeof(m_ofn);
  m_ofn.hwndOwner = parent != nullptr ? parent->m_hWnd : nullptr;
  m_ofn.lpstrFilter = filter != nullptr ? filter_.data() : nullptr;
  m_ofn.lpstrFile = files_.data();
  // The size is counted in characters; it must fit a DWORD.
  m_ofn.nMaxFile = static_cast<DWORD>(std::min<size_t>(files_.size(), 0x7FFFFFFF));
  m_ofn.lpstrDefExt = defaultExt_.empty() ? nullptr : defaultExt_.c_str();
  // Without OFN_EXPLORER the system shows the old dialog, whose multiple
  // selection comes back in another form.
  // The hook only makes room for large choices; with it the system keeps
  // the dialog resizable only when asked to.
  m_ofn.Flags = flags | OFN_EXPLORER | OFN_ENABLEHOOK | OFN_ENABLESIZING;
  m_ofn.lpfnHook = &CFileDialog::Hook;
  m_ofn.lCustData = reinterpret_cast<LPARAM>(this);
}

void CFileDialog::MakeRoom(HWND dialog, OPENFILENAMEW* ofn) {
  // The dialog hands back the folder, then each name: never more than the
  // folder and the file name box's text (quotes and spaces included), and
  // a full path for a single name, hence the spare MAX_PATH.
  const LRESULT folder = SendMessageW(dialog, CDM_GETFOLDERPATH, 0, 0);
  const LRESULT spec = SendMessageW(dialog, CDM_GETSPEC, 0, 0);
  HWND box = GetDlgItem(dialog, cmb13);
  if (box == nullptr) box = GetDlgItem(dialog, edt1);
  const LRESULT typed = box != nullptr ? GetWindowTextLengthW(box) + 1 : 0;
  const size_t need = static_cast<size_t>(std::max<LRESULT>(folder, 0)) +
                      static_cast<size_t>(std::max<LRESULT>(std::max(spec, typed), 0)) +
                      MAX_PATH + 2;
  if (need <= ofn->nMaxFile || need > 0x7FFFFFFF) return;
  files_.resize(need, L'\0');  // what is there now is kept
  for (OPENFILENAMEW* o : {ofn, &m_ofn}) {
    o->lpstrFile = files_.data();
    o->nMaxFile = static_cast<DWORD>(need);
  }
}

UINT_PTR CALLBACK CFileDialog::Hook(HWND hook, UINT msg, WPARAM, LPARAM lp) noexcept {
  try {
    if (msg == WM_INITDIALOG) {
      // The structure the dialog reads: the caller's, or its own copy.
      auto* ofn = reinterpret_cast<OPENFILENAMEW*>(lp);
      auto* self = reinterpret_cast<CFileDialog*>(ofn->lCustData);
      self->dialogOfn_ = ofn;
      SetWindowSubclass(GetParent(hook), &CFileDialog::OwnerProc, kOwnerSubclassId,
                        reinterpret_cast<DWORD_PTR>(self));
    } else if (msg == WM_NOTIFY) {
      const auto* note = reinterpret_cast<const OFNOTIFYW*>(lp);
      if (note->hdr.code == CDN_SELCHANGE && note->lpOFN != nullptr) {
        reinterpret_cast<CFileDialog*>(note->lpOFN->lCustData)
            ->MakeRoom(GetParent(hook), note->lpOFN);
      }
    }
  } catch (...) {
    // No room to grow: the dialog then reports the choice as too large.
    TraceCaughtException(L"file dialog");
  }
  return 0;  // the dialog's own handling goes on
}

LRESULT CALLBACK CFileDialog::OwnerProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                        DWORD_PTR data) noexcept {
  auto* self = reinterpret_cast<CFileDialog*>(data);
  try {
    // Open, by button or Enter: the names typed in are read after this.
    if (msg == WM_COMMAND && LOWORD(wp) == IDOK && self->dialogOfn_ != nullptr) {
      self->MakeRoom(wnd, self->dialogOfn_);
    } else if (msg == WM_NCDESTROY) {
      RemoveWindowSubclass(wnd, &CFileDialog::OwnerProc, id);
    }
  } catch (...) {
    TraceCaughtException(L"file dialog");
  }
  return DefSubclassProc(wnd, msg, wp, lp);
}

INT_PTR CFileDialog::DoModal() {
  BOOL ok = open_ ? GetOpenFileNameW(&m_ofn) : GetSaveFileNameW(&m_ofn);
  m_error = ok ? 0 : CommDlgExtendedError();
  dialogOfn_ = nullptr;
  return ok ? IDOK : IDCANCEL;
}

std::vector<CString> CFileDialog::GetPathNames() const {
  std::vector<CString> paths;
  const wchar_t* p = m_ofn.lpstrFile;
  if (p == nullptr || *p == L'\0') return paths;
  CString first(p);
  p += first.size() + 1;
  if (!(m_ofn.Flags & OFN_ALLOWMULTISELECT) || *p == L'\0') {
    paths.push_back(first);  // one file: the full path
    return paths;
  }
  // Several files: the folder, then each name, ending in an empty name.
  if (!first.empty() && first.back() != L'\\') first += L'\\';
  while (*p != L'\0') {
    CString name(p);
    paths.push_back(first + name);
    p += name.size() + 1;
  }
  return paths;
}

CString CFileDialog::GetPathName() const {
  std::vector<CString> all = GetPathNames();
  return all.empty() ? CString() : all.front();
}

}  // namespace fw
