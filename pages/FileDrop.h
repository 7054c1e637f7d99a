#pragma once
// Files dragged from the Explorer onto a window: the paths of a drop, in the
// order dropped, and a small subclass that hands them to the window's owner
// (folders are expanded by pipeline/TextFiles.h).
#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <string>
#include <vector>

#include "pipeline/TextFiles.h"

// The paths a drop holds, whole (a path longer than MAX_PATH comes back in
// full, so that the queue can refuse it by name).
std::vector<std::wstring> DroppedPaths(HDROP drop);

// Accepts drops on one window and hands each drop's paths (folders not yet
// expanded) to a handler. The window keeps its own behaviour otherwise; the subclass goes
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
