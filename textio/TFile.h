#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>

#include "fw/Handle.h"

// Why the last Load returned what it did. The job needs this to tell an
// empty file (nothing to convert, not a failure) from one it could not read.
enum class LoadStatus {
  NotLoaded,    // Load has not run yet
  Loaded,       // the whole file is in data (Load returned nonzero)
  Empty,        // the file opened and holds no bytes
  OpenFailed,   // missing, or held open by another process
  TooLarge,     // 4 GiB or more: refused rather than read in part
  OutOfMemory,  // no array of the file's size could be had
  ReadFailed,   // the read itself failed
  NotDiskFile,  // a device, pipe or console, never read
};

// One file's bytes, read whole in a single read.
//
// OnLoaded is the one virtual operation besides the destructor, which is
// virtual so that a reader may be deleted through a TFile pointer.
class TFile {
 public:
  TFile() = default;
  virtual ~TFile() = default;
  TFile(const TFile&) = delete;
  TFile& operator=(const TFile&) = delete;

  // Called at the end of every Load, whatever its result.
  virtual void OnLoaded() {}

  // Reads the file at `path` (opened for reading, shared with nobody) into
  // data. Returns nonzero when the file was read; 0 when it is missing,
  // cannot be opened, is no file on a disk, is empty, is 4 GiB or larger, or the read fails.
  // LastLoadStatus() says which. Data is freed first and stays empty on
  // any 0 result; OnLoaded runs in every case.
  BOOL Load(const wchar_t* path);
  // The same for `file`, opened by Open(path) (whose identity a caller may
  // take before it is read): one opening serves both.
  BOOL Load(fw::UniqueHandle file, const wchar_t* path);
  // Opens the file at `path` as Load reads it: for reading, shared with
  // nobody. An empty handle when it cannot be opened.
  static fw::UniqueHandle Open(const wchar_t* path);

  // Serves bytes [begin, end) of `whole`, which is loaded, as this file's
  // data, borrowed: `whole` keeps them and must outlive this view. Nothing
  // is read and OnLoaded does not run (the whole's data are ready).
  void ViewOf(const TFile& whole, std::uint64_t begin, std::uint64_t end);

  // The bytes of the file, `Size()` of them, no terminator (null when empty).
  // Writing to them changes this copy only, never the file.
  const BYTE* Data() const { return bytes_; }
  BYTE* Data() { return bytes_; }
  std::uint64_t Size() const { return size_; }
  LoadStatus LastLoadStatus() const { return status_; }

 private:
  LoadStatus ReadWhole(HANDLE file);
  LoadStatus MapWhole(fw::UniqueHandle& file, std::uint64_t size);
  void Release();

  struct ViewUnmapper {
    void operator()(BYTE* view) const { UnmapViewOfFile(view); }
  };
  // A large file on a local disk is mapped rather than read: its pages come
  // from the system's cache as they are used, with no copy and no fresh
  // memory to clear. The file stays open, shared with nobody, while mapped,
  // so that nothing can change it under the view; writes go to private
  // copies of the pages. Anything else is read whole into data_.
  std::unique_ptr<BYTE[]> data_;
  std::unique_ptr<BYTE, ViewUnmapper> view_;
  fw::UniqueHandle mapped_;
  BYTE* bytes_ = nullptr;
  std::uint64_t size_ = 0;
  LoadStatus status_ = LoadStatus::NotLoaded;
};
