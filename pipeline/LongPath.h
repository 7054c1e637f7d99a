#pragma once
// Paths of any length: a path the system's ordinary calls would refuse for
// its length is handed to them in its "\\?\" form.
#include <string>

// `path` as the file calls take it: itself when it is short enough, else
// its full form behind "\\?\" (or "\\?\UNC\" for a share).
std::wstring SystemPath(const std::wstring& path);
// The full path of `path` (GetFullPathNameW), or `path` when there is none.
std::wstring FullPath(const std::wstring& path);
// `folder` ending in a backslash (an empty one stays empty).
std::wstring WithSlash(std::wstring folder);
// The part of `path` after its last slash.
std::wstring NameOf(const std::wstring& path);
// The part of `path` up to and including its last slash (empty when none).
std::wstring FolderOf(const std::wstring& path);
bool PathExists(const std::wstring& path);
bool IsFolderPath(const std::wstring& path);
