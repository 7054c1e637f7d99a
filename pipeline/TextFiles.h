#pragma once
// Which files a run takes from a folder: the text and subtitle files by
// their extension, in the order the Explorer lists them, with their
// sub-folders' when asked.
#include <optional>
#include <string>
#include <vector>

#include "engine/ConvDirection.h"

// The extensions of the files a folder gives to a run, the ones the file
// dialog's first filter offers: ".txt", ".srt", ... (lower case).
extern const wchar_t* const kTextExtensions[];
extern const size_t kTextExtensionCount;
// True when `name` ends in one of kTextExtensions (in any case).
bool HasTextExtension(const wchar_t* name);

// A path for the run, and for a file found in a sub-folder of a given
// folder, that sub-folder below the given one ("第一季\\"), which its output
// keeps under the output folder.
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
// are: the queue decides about them. Linked folders (junctions, symbolic
// links) inside are not followed. With `outputsOf`, a folder's files named
// as that direction's outputs beside their sources ("a(繁體).srt") are
// left out: they are earlier results, not sources.
std::vector<QueuedPath> ExpandDroppedFolders(const std::vector<std::wstring>& paths,
                                             bool subFolders,
                                             std::optional<ConvDirection> outputsOf = std::nullopt);
// The same without sub-folders, paths only.
std::vector<std::wstring> ExpandDroppedFolders(const std::vector<std::wstring>& paths);
