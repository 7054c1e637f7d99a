// Drops from the Explorer: reading the HDROP, expanding folders, and the
// subclass that delivers a drop to whoever queues the files.
#include "pages/FileDrop.h"

#include <commctrl.h>
#include <shlwapi.h>

#include <algorithm>

#include "fw/Handle.h"
#include "fw/Trace.h"

namespace {

constexpr UINT_PTR kDropSubclassId = 0x46445250;  // 'FDRP'

}  // namespace

std::vector<std::wstring> DroppedPaths(HDROP drop) {
  std::vector<std::wstring> paths;
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    const UINT length = DragQueryFileW(drop, i, nullptr, 0);
    if (length == 0) continue;
    std::wstring path(length + 1, L'\0');
    path.resize(DragQueryFileW(drop, i, path.data(), length + 1));
    if (!path.empty()) paths.push_back(std::move(path));
  }
  return paths;
}

bool FileDropTarget::Attach(HWND window, Handler handler) {
  Detach();
  if (window == nullptr ||
      !SetWindowSubclass(window, &SubclassProc, kDropSubclassId,
                         reinterpret_cast<DWORD_PTR>(this))) {
    return false;
  }
  window_ = window;
  handler_ = std::move(handler);
  DragAcceptFiles(window, TRUE);
  // Started elevated (the installer's last page runs it so), the program
  // would otherwise never see drops from the user's own Explorer.
  constexpr UINT kCopyGlobalData = 0x0049;
  for (UINT msg : {UINT{WM_DROPFILES}, UINT{WM_COPYDATA}, kCopyGlobalData}) {
    ChangeWindowMessageFilterEx(window, msg, MSGFLT_ALLOW, nullptr);
  }
  return true;
}

void FileDropTarget::Detach() {
  if (window_ == nullptr) return;
  if (IsWindow(window_)) {
    DragAcceptFiles(window_, FALSE);
    RemoveWindowSubclass(window_, &SubclassProc, kDropSubclassId);
  }
  window_ = nullptr;
}

void FileDropTarget::OnDrop(HDROP drop) {
  std::vector<std::wstring> paths;
  try {
    paths = DroppedPaths(drop);
  } catch (...) {
    paths.clear();  // out of memory: the drop is lost, the program is not
  }
  DragFinish(drop);
  if (!paths.empty() && handler_) handler_(paths);
}

LRESULT CALLBACK FileDropTarget::SubclassProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp,
                                              UINT_PTR id, DWORD_PTR data) noexcept {
  auto* self = reinterpret_cast<FileDropTarget*>(data);
  switch (msg) {
    case WM_DROPFILES:
      try {
        self->OnDrop(reinterpret_cast<HDROP>(wp));
      } catch (...) {
        // Nothing crosses the window procedure.
        fw::TraceCaughtException(L"file drop");
      }
      return 0;
    case WM_NCDESTROY:
      RemoveWindowSubclass(wnd, &SubclassProc, id);
      self->window_ = nullptr;
      break;
    default: break;
  }
  return DefSubclassProc(wnd, msg, wp, lp);
}
