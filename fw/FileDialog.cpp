#include "fw/FileDialog.h"

#include <algorithm>

namespace fw {

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
  m_ofn.Flags = flags | OFN_EXPLORER;
}

INT_PTR CFileDialog::DoModal() {
  BOOL ok = open_ ? GetOpenFileNameW(&m_ofn) : GetSaveFileNameW(&m_ofn);
  m_error = ok ? 0 : CommDlgExtendedError();
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
