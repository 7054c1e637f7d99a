#include "textio/TFile.h"

#include <new>

#include "fw/Handle.h"
#include "textio/SourceCheck.h"

namespace {

// Files from this size on are mapped when they lie on a local disk.
constexpr std::uint64_t kMapFrom = 1u << 20;

// A fixed or RAM disk of this machine. A page of a mapped file on a network
// share or a removable disk can fail to come in, and the program would
// stop on the spot; such files are read.
bool OnLocalDisk(const wchar_t* path) {
  wchar_t volume[MAX_PATH + 1] = {};
  if (!GetVolumePathNameW(path, volume, MAX_PATH)) return false;
  const UINT type = GetDriveTypeW(volume);
  return type == DRIVE_FIXED || type == DRIVE_RAMDISK;
}

}  // namespace

fw::UniqueHandle TFile::Open(const wchar_t* path) {
  // No sharing: nobody may change the file while it is read.
  return fw::UniqueHandle(CreateFileW(path ? path : L"", GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
}

BOOL TFile::Load(const wchar_t* path) { return Load(Open(path), path); }

BOOL TFile::Load(fw::UniqueHandle file, const wchar_t* path) {
  Release();
  // A device (a name like "aux.txt" may stand for one) could block a read
  // for good or read as empty: only a file on a disk is read.
  LARGE_INTEGER size{};
  if (!file) {
    status_ = LoadStatus::OpenFailed;
  } else if (!IsDiskFile(file.get())) {
    status_ = LoadStatus::NotDiskFile;
  } else if (GetFileSizeEx(file.get(), &size) && static_cast<std::uint64_t>(size.QuadPart) >= kMapFrom &&
             static_cast<std::uint64_t>(size.QuadPart) <= 0xFFFFFFFFull && OnLocalDisk(path ? path : L"")) {
    status_ = MapWhole(file, static_cast<std::uint64_t>(size.QuadPart));
    if (status_ != LoadStatus::Loaded) status_ = ReadWhole(file.get());
  } else {
    status_ = ReadWhole(file.get());
  }
  file.reset();
  OnLoaded();
  return status_ == LoadStatus::Loaded ? TRUE : FALSE;
}

void TFile::ViewOf(const TFile& whole, std::uint64_t begin, std::uint64_t end) {
  Release();
  if (!whole.bytes_ || begin >= end || end > whole.size_) {
    status_ = LoadStatus::Empty;
    return;
  }
  bytes_ = whole.bytes_ + begin;
  size_ = end - begin;
  status_ = LoadStatus::Loaded;
}

void TFile::Release() {
  view_.reset();
  mapped_.reset();
  data_.reset();
  bytes_ = nullptr;
  size_ = 0;
}

// The view is had or nothing is: any failure leaves the file to be read.
LoadStatus TFile::MapWhole(fw::UniqueHandle& file, std::uint64_t size) {
  const fw::UniqueHandle mapping(
      CreateFileMappingW(file.get(), nullptr, PAGE_WRITECOPY, 0, 0, nullptr));
  if (!mapping) return LoadStatus::ReadFailed;
  BYTE* view = static_cast<BYTE*>(MapViewOfFile(mapping.get(), FILE_MAP_COPY, 0, 0, 0));
  if (!view) return LoadStatus::ReadFailed;
  view_.reset(view);
  mapped_ = std::move(file);
  bytes_ = view;
  size_ = size;
  return LoadStatus::Loaded;
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
  bytes_ = data_.get();
  size_ = got;
  return got > 0 ? LoadStatus::Loaded : LoadStatus::Empty;
}
