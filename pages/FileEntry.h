#pragma once
#include "textio/FileEncoding.h"

// One queued file of a file page, in list order.
struct FileEntry {
  wchar_t path[260] = {};  // full path of the source
  wchar_t name[260] = {};  // the part after the last backslash; also the output's name
  FileEncoding encoding = EncAnsi;
};

// An entry for `path` (at most 259 units; false, leaving the entry empty,
// for a longer one) with its name cut from the path.
bool MakeFileEntry(const wchar_t* path, FileEncoding encoding, FileEntry& entry);
