#pragma once
// vek_PathDlg: the shell's folder browser with a path edit box above the
// tree, path validation and the offer to create a missing folder.
#include <windows.h>
#include <shlobj.h>

#include "fw/Wnd.h"

// Results of CheckPath.
constexpr int CHECKPATH_VALID = 0;
constexpr int CHECKPATH_INVALID = 2;

// Checks that `path` is a folder path (config/MakeDirs.h has the rule; a
// drive root is one); in create mode also creates every missing level.
int CheckPath(const wchar_t* path, BOOL create);

// Takes a folder the user typed, asking over `owner`: true when `path` is
// a folder path naming an existing folder, or a missing one the user lets
// us create. Otherwise warns over `owner` and returns false; the caller
// puts the focus back where the path was typed.
bool AcceptTypedFolder(HWND owner, const wchar_t* path);

// Control ids inside the shell's browse dialog.
constexpr int BROWSE_TREE_ID = 14145;
constexpr int BROWSE_STATUS_ID = 14147;
constexpr int BROWSE_EDIT_ID = 14148;  // our own path box

class vek_PathDlg;

// Subclasses the browse dialog: follows the path box and takes over OK.
class vek_PathDlgEdit : public fw::CWnd {
 public:
  vek_PathDlg* picker = nullptr;  // borrowed: the picker that owns us
  int result = -1;                // 1 once a path is accepted

 protected:
  BOOL OnCommand(WPARAM wp, LPARAM lp) override;

 private:
  void AcceptOrComplain();
};

class vek_PathDlg {
 public:
  vek_PathDlg();
  virtual ~vek_PathDlg() = default;
  vek_PathDlg(const vek_PathDlg&) = delete;
  vek_PathDlg& operator=(const vek_PathDlg&) = delete;

  BROWSEINFOW info{};
  fw::CWnd* owner = nullptr;      // borrowed
  wchar_t caption[260] = {};      // window title of the browser; kept when empty
  wchar_t initialPath[260] = {};  // selected when the browser opens
  HWND browseWnd = nullptr;
  vek_PathDlgEdit editHook;
  wchar_t chosenPath[260] = {};  // the accepted path when Browse returns 1

  // Runs the browser: 1 when a path was accepted, else -1.
  virtual int Browse();

  static int CALLBACK BrowseCallback(HWND wnd, UINT msg, LPARAM lp, LPARAM data) noexcept;

 private:
  wchar_t displayName_[260] = {};  // the shell's display name of the choice; unused
  void OnInitialized(HWND wnd);
  void OnSelChanged(HWND wnd, LPCITEMIDLIST item);
};
