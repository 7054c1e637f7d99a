#include "textio/TFile.h"

#include <new>

#include "fw/Handle.h"
#include "textio/SourceCheck.h"

BOOL TFile::Load(const wchar_t* path) {
  data_.reset();
  size_ = 0;
  // No sharing: nobody may change the file while it is read in one go.
  fw::UniqueHandle file(CreateFileW(path ? path : L"", GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
  // A device (a name like "aux.txt" may stand for one) could block a read
  // for good or read as empty: only a file on a disk is read.
  status_ = !file                     ? LoadStatus::OpenFailed
            : !IsDiskFile(file.get()) ? LoadStatus::NotDiskFile
                                      : ReadWhole(file.get());
  file.reset();
  OnLoaded();
  return status_ == LoadStatus::Loaded ? TRUE : FALSE;
}

LoadStatus TFile::ReadWhole(HANDLE file) {
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file, &size)) return LoadStatus::ReadFailed;
  if (size.QuadPart <= 0) return LoadStatus::Empty;
  // One read takes at most a 32-bit count; a larger file would come back cut
  // short and look whole, so it is refused.
  if (static_cast<std::uint64_t>(size.QuadPart) > 0xFFFFFFFFull) return LoadStatus::TooLarge;
  const DWORD wanted = static_cast<DWORD>(size.QuadPart);
  // Not cleared: the read fills it, and only the bytes it read are used.
  std::unique_ptr<BYTE[]> bytes(new (std::nothrow) BYTE[wanted]);
  if (!bytes) return LoadStatus::OutOfMemory;
  LARGE_INTEGER start{};
  SetFilePointerEx(file, start, nullptr, FILE_BEGIN);
  DWORD got = 0;
  if (!ReadFile(file, bytes.get(), wanted, &got, nullptr)) return LoadStatus::ReadFailed;
  data_ = std::move(bytes);
  size_ = got;
  return got > 0 ? LoadStatus::Loaded : LoadStatus::Empty;
}
