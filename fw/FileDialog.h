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
  // The name buffer grows while the dialog is up, whenever the folder and
  // the names in the file name box could outgrow it (a new selection, or
  // Open pressed on names typed in), so a choice of any size comes back whole.
  INT_PTR DoModal();
  // The chosen files as full paths: one for a single choice, each of a
  // multiple choice (folder and names joined).
  std::vector<CString> GetPathNames() const;
  CString GetPathName() const;

  OPENFILENAMEW m_ofn{};
  DWORD m_error = 0;

 private:
  static UINT_PTR CALLBACK Hook(HWND hook, UINT msg, WPARAM wp, LPARAM lp) noexcept;
  static LRESULT CALLBACK OwnerProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                    DWORD_PTR data) noexcept;
  // Grows the name buffer of `ofn` (the structure the dialog reads) so that
  // what the dialog `dialog` shows now fits.
  void MakeRoom(HWND dialog, OPENFILENAMEW* ofn);

  BOOL open_;
  std::vector<wchar_t> filter_;
  std::vector<wchar_t> files_;
  OPENFILENAMEW* dialogOfn_ = nullptr;  // while the dialog is up
  CString defaultExt_;
};

}  // namespace fw
