#pragma once
// Files dragged from the Explorer onto a window: the paths of a drop, in the
// order dropped, with each folder replaced by the .txt files directly inside
// it, and a small subclass that hands them to the window's owner.
#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <string>
#include <vector>

// The paths a drop holds, whole (a path longer than MAX_PATH comes back in
// full, so that the queue can refuse it by name).
std::vector<std::wstring> DroppedPaths(HDROP drop);

// `paths` with every folder replaced by the .txt files directly inside it
// (no subfolders), in the order the Explorer lists them. Files, paths that
// do not exist and paths too long to look into stay as they are: the queue
// decides about them as it does for the file dialog's.
std::vector<std::wstring> ExpandDroppedFolders(const std::vector<std::wstring>& paths);

// Accepts drops on one window and hands each drop's expanded paths to a
// handler. The window keeps its own behaviour otherwise; the subclass goes
// with the window.
class FileDropTarget {
 public:
  using Handler = std::function<void(const std::vector<std::wstring>& paths)>;

  FileDropTarget() = default;
  FileDropTarget(const FileDropTarget&) = delete;
  FileDropTarget& operator=(const FileDropTarget&) = delete;
  ~FileDropTarget() { Detach(); }

  bool Attach(HWND window, Handler handler);
  void Detach();

 private:
  static LRESULT CALLBACK SubclassProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                       DWORD_PTR data) noexcept;
  void OnDrop(HDROP drop);

  HWND window_ = nullptr;  // borrowed: the window that takes the drops
  Handler handler_;
};
