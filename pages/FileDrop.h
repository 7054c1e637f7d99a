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

// The extensions of the files a dropped folder gives to the queue, the
// ones the file dialog's first filter offers: ".txt", ".srt", ... (lower case).
extern const wchar_t* const kTextExtensions[];
extern const size_t kTextExtensionCount;
// True when `name` ends in one of kTextExtensions (in any case).
bool HasTextExtension(const wchar_t* name);

// A path for the queue, and for a file found in a sub-folder of a dropped
// folder, that sub-folder below the dropped one ("第一季\\"), which its
// output keeps under the output folder.
struct QueuedPath {
  std::wstring path;
  std::wstring subFolder;
  bool operator==(const QueuedPath& other) const {
    return path == other.path && subFolder == other.subFolder;
  }
};

// `paths` with every folder replaced by the text files directly inside it
// (and, with `subFolders`, those of its sub-folders, each folder's files
// before its sub-folders), in the order the Explorer lists them. Files,
// paths that do not exist and paths too long to look into stay as they
// are: the queue decides about them as it does for the file dialog's.
// Linked folders (junctions, symbolic links) inside are not followed.
std::vector<QueuedPath> ExpandDroppedFolders(const std::vector<std::wstring>& paths,
                                             bool subFolders);
// The same without sub-folders, paths only.
std::vector<std::wstring> ExpandDroppedFolders(const std::vector<std::wstring>& paths);

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
