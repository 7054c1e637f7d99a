#pragma once
// The identity of a file (volume and file index), to tell whether two paths
// name the same file however they are spelled.
#include <windows.h>

#include <cstdint>
#include <string>

class FileIdentity {
 public:
  FileIdentity() = default;
  FileIdentity(ULONGLONG index, std::wstring path)
      : index_(index), path_(std::move(path)), known_(true) {}

  bool Known() const { return known_; }
  // Whether both are the same known file: the same index on the same
  // volume. The volumes are only asked (at the paths the identities were
  // taken from) when the indexes agree: under Wine each such question is a
  // round trip to another process, and a run of a thousand files asked
  // three a file.
  bool SameAs(const FileIdentity& other) const;

 private:
  // The volume's serial number, asked once; false when it cannot be had.
  bool Volume(DWORD& serial) const;

  ULONGLONG index_ = 0;
  std::wstring path_;
  bool known_ = false;
  mutable DWORD volume_ = 0;
  mutable int volumeAsked_ = 0;  // 0 not yet, 1 had, -1 failed
};

// The identity of the open `file`, found at `path` (which must still name
// it: the caller holds it open without sharing deletion); unknown when the
// system does not say.
FileIdentity IdentityOf(HANDLE file, const std::wstring& path);
// The identity of the file at `path`, or an unknown one when it cannot be
// opened; with `size`, also its size in bytes (0 when unknown), from the
// same opening.
FileIdentity IdentifyFile(const wchar_t* path, std::uint64_t* size = nullptr);
