#pragma once
// The identity of a file (volume and file index), to tell whether two paths
// name the same file however they are spelled.
#include <windows.h>

struct FileIdentity {
  DWORD volume = 0;
  DWORD indexHigh = 0;
  DWORD indexLow = 0;
  bool known = false;
  bool SameAs(const FileIdentity& other) const {
    return known && other.known && volume == other.volume && indexHigh == other.indexHigh &&
           indexLow == other.indexLow;
  }
};

// The identity of the open `file`; unknown when the system does not say.
FileIdentity IdentityOf(HANDLE file);
// The identity of the file at `path`, or an unknown one when it cannot be
// opened.
FileIdentity IdentifyFile(const wchar_t* path);
