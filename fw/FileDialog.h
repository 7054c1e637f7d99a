#pragma once
// CFileDialog: the system's file-open (or save) dialog in its Explorer
// form, with the framework's '|'-separated filter and multiple selection.
#include <windows.h>
#include <commdlg.h>

#include <vector>

#include "fw/Wnd.h"

namespace fw {

class CFileDialog {
 public:
  // `filter` in the framework's form: "Text files (*.txt)|*.txt||".
  CFileDialog(BOOL openFile, const wchar_t* defaultExt, const wchar_t* fileName, DWORD flags,
              const wchar_t* filter, CWnd* parent, size_t bufferUnits = 260);

  // IDOK when files were chosen, else IDCANCEL; then m_error tells a
  // failure (the common dialogs' extended error) from the user's Cancel (0).
  INT_PTR DoModal();
  // The chosen files as full paths: one for a single choice, each of a
  // multiple choice (folder and names joined).
  std::vector<CString> GetPathNames() const;
  CString GetPathName() const;

  OPENFILENAMEW m_ofn{};
  DWORD m_error = 0;

 private:
  BOOL open_;
  std::vector<wchar_t> filter_;
  std::vector<wchar_t> files_;
  CString defaultExt_;
};

}  // namespace fw
