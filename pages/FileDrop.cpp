// Drops from the Explorer: reading the HDROP, expanding folders, and the
// subclass that delivers a drop to whoever queues the files.
#include "pages/FileDrop.h"

#include <commctrl.h>
#include <shlwapi.h>

#include <algorithm>

#include "fw/Handle.h"
#include "fw/Trace.h"

// The installer registers Explorer's verbs for the same list
// (packaging/tarnwell.nsi); the shipping test holds the two together.
const wchar_t* const kTextExtensions[] = {
    L".txt", L".text", L".log", L".htm", L".html", L".xhtml", L".xml", L".json", L".csv",
    L".tsv", L".ini", L".md",  L".srt", L".ass", L".ssa",   L".vtt", L".lrc", L".sub"};
const size_t kTextExtensionCount = sizeof(kTextExtensions) / sizeof(kTextExtensions[0]);

// The name itself must end so: a pattern such as "*.txt" also matches
// longer extensions through 8.3 short names on some volumes.
bool HasTextExtension(const wchar_t* name) {
  const size_t length = wcslen(name);
  for (size_t i = 0; i < kTextExtensionCount; ++i) {
    const size_t n = wcslen(kTextExtensions[i]);
    if (length > n && CompareStringOrdinal(name + length - n, static_cast<int>(n),
                                           kTextExtensions[i], static_cast<int>(n),
                                           TRUE) == CSTR_EQUAL) {
      return true;
    }
  }
  return false;
}

namespace {

constexpr UINT_PTR kDropSubclassId = 0x46445250;  // 'FDRP'

bool IsFolder(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool IsLinkedFolder(DWORD attributes) {
  return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// The text files of `folder` (sorted as the Explorer shows them), then,
// with `recurse`, those of its sub-folders below `relative`.
void TextFilesIn(const std::wstring& folder, const std::wstring& relative, bool recurse,
                 std::vector<QueuedPath>& out) {
  std::wstring base = folder;
  if (!base.empty() && base.back() != L'\\' && base.back() != L'/') base += L'\\';
  std::vector<std::wstring> names;
  std::vector<std::wstring> folders;
  WIN32_FIND_DATAW found{};
  fw::UniqueFindHandle search(FindFirstFileW((base + L"*").c_str(), &found));
  if (!search) return;
  do {
    const bool isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (!isFolder && HasTextExtension(found.cFileName)) {
      names.emplace_back(found.cFileName);
    } else if (isFolder && recurse && !IsLinkedFolder(found.dwFileAttributes) &&
               wcscmp(found.cFileName, L".") != 0 && wcscmp(found.cFileName, L"..") != 0) {
      folders.emplace_back(found.cFileName);
    }
  } while (FindNextFileW(search.get(), &found));
  search.reset();
  const auto explorerOrder = [](const std::wstring& a, const std::wstring& b) {
    return StrCmpLogicalW(a.c_str(), b.c_str()) < 0;
  };
  std::sort(names.begin(), names.end(), explorerOrder);
  std::sort(folders.begin(), folders.end(), explorerOrder);
  for (const std::wstring& name : names) out.push_back({base + name, relative});
  for (const std::wstring& sub : folders) {
    const std::wstring path = base + sub;
    // A sub-folder too long to look into goes on as it is: the queue
    // refuses it by name.
    if (path.size() >= MAX_PATH) {
      out.push_back({path, relative});
      continue;
    }
    TextFilesIn(path, relative + sub + L"\\", true, out);
  }
}

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

std::vector<QueuedPath> ExpandDroppedFolders(const std::vector<std::wstring>& paths,
                                             bool subFolders) {
  std::vector<QueuedPath> expanded;
  for (const std::wstring& path : paths) {
    // A folder whose own path is too long holds only files that are longer
    // still: it goes on as it is and is refused by name.
    if (path.size() < MAX_PATH && IsFolder(path)) {
      TextFilesIn(path, L"", subFolders, expanded);
    } else {
      expanded.push_back({path, L""});
    }
  }
  return expanded;
}

std::vector<std::wstring> ExpandDroppedFolders(const std::vector<std::wstring>& paths) {
  std::vector<std::wstring> out;
  for (QueuedPath& p : ExpandDroppedFolders(paths, false)) out.push_back(std::move(p.path));
  return out;
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
