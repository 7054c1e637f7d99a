#include "pipeline/FileIdentity.h"

#include <winternl.h>

#include "fw/Handle.h"
#include "pipeline/LongPath.h"

namespace {

// The file's index on its volume, as GetFileInformationByHandle gives it,
// without asking for the volume.
bool IndexOf(HANDLE file, ULONGLONG& index) {
  struct {
    LARGE_INTEGER number;
  } internal{};
  IO_STATUS_BLOCK status{};
  constexpr auto kFileInternalInformation = static_cast<FILE_INFORMATION_CLASS>(6);
  if (NtQueryInformationFile(file, &status, &internal, sizeof(internal),
                             kFileInternalInformation) < 0) {
    return false;
  }
  index = static_cast<ULONGLONG>(internal.number.QuadPart);
  return true;
}

fw::UniqueHandle OpenForIdentity(const std::wstring& path) {
  return fw::UniqueHandle(CreateFileW(SystemPath(path).c_str(), 0,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

}  // namespace

bool FileIdentity::Volume(DWORD& serial) const {
  if (volumeAsked_ == 0) {
    volumeAsked_ = -1;
    const fw::UniqueHandle file = OpenForIdentity(path_);
    BY_HANDLE_FILE_INFORMATION info{};
    // The path must still name the file identified.
    if (file && GetFileInformationByHandle(file.get(), &info) &&
        (static_cast<ULONGLONG>(info.nFileIndexHigh) << 32 | info.nFileIndexLow) == index_) {
      volume_ = info.dwVolumeSerialNumber;
      volumeAsked_ = 1;
    }
  }
  serial = volume_;
  return volumeAsked_ == 1;
}

bool FileIdentity::SameAs(const FileIdentity& other) const {
  if (!known_ || !other.known_ || index_ != other.index_) return false;
  DWORD mine = 0, theirs = 0;
  return Volume(mine) && other.Volume(theirs) && mine == theirs;
}

FileIdentity IdentityOf(HANDLE file, const std::wstring& path) {
  ULONGLONG index = 0;
  return IndexOf(file, index) ? FileIdentity(index, path) : FileIdentity{};
}

FileIdentity IdentifyFile(const wchar_t* path, std::uint64_t* size) {
  const fw::UniqueHandle file = OpenForIdentity(path);
  if (size != nullptr) {
    LARGE_INTEGER bytes{};
    *size = file && GetFileSizeEx(file.get(), &bytes) ? static_cast<std::uint64_t>(bytes.QuadPart) : 0;
  }
  return file ? IdentityOf(file.get(), path) : FileIdentity{};
}
