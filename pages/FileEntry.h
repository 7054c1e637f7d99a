#pragma once
#include <windows.h>

#include "textio/FileEncoding.h"

// One queued file of a file page, in list order.
struct FileEntry {
  wchar_t path[260] = {};  // full path of the source
  wchar_t name[260] = {};  // the part after the last backslash; also the output's name
  FileEncoding encoding = EncAnsi;
  // For EncAnsi: the code page detection found (Charsets.h), or 0 for the
  // system's. A choice made by hand always leaves 0.
  UINT codePage = 0;
  // True when the encoding is the user's choice (the settings' manual
  // encoding, or the row's own): the file is converted as chosen.
  bool chosenByHand = false;
  // For a file found in a sub-folder of a dropped folder: its folder below
  // the dropped one ("第一季\\"), kept under the output folder. Else empty.
  wchar_t subFolder[260] = {};
};

// An entry for `path` (at most 259 units; false, leaving the entry empty,
// for a longer one) with its name cut from the path.
bool MakeFileEntry(const wchar_t* path, FileEncoding encoding, FileEntry& entry,
                   UINT codePage = 0);
