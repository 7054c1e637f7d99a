// The files a folder gives to a run.
#include "pipeline/TextFiles.h"

#include <windows.h>
#include <shlwapi.h>

#include <algorithm>
#include <cwchar>

#include "fw/Handle.h"
#include "pipeline/OutputRules.h"

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
                 const std::optional<ConvDirection>& outputsOf, std::vector<QueuedPath>& out) {
  std::wstring base = folder;
  if (!base.empty() && base.back() != L'\\' && base.back() != L'/') base += L'\\';
  std::vector<std::wstring> names;
  std::vector<std::wstring> folders;
  WIN32_FIND_DATAW found{};
  fw::UniqueFindHandle search(FindFirstFileW((base + L"*").c_str(), &found));
  if (!search) return;
  do {
    const bool isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (!isFolder && HasTextExtension(found.cFileName) &&
        !(outputsOf && IsBesideSourceOutputName(found.cFileName, *outputsOf))) {
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
    TextFilesIn(path, relative + sub + L"\\", true, outputsOf, out);
  }
}

}  // namespace

std::vector<QueuedPath> ExpandDroppedFolders(const std::vector<std::wstring>& paths,
                                             bool subFolders,
                                             std::optional<ConvDirection> outputsOf) {
  std::vector<QueuedPath> expanded;
  for (const std::wstring& path : paths) {
    // A folder whose own path is too long holds only files that are longer
    // still: it goes on as it is and is refused by name.
    if (path.size() < MAX_PATH && IsFolder(path)) {
      TextFilesIn(path, L"", subFolders, outputsOf, expanded);
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

