#include "pipeline/FileIdentity.h"

#include "fw/Handle.h"
#include "pipeline/LongPath.h"

FileIdentity IdentityOf(HANDLE file) {
  FileIdentity id;
  BY_HANDLE_FILE_INFORMATION info{};
  if (GetFileInformationByHandle(file, &info)) {
    id.volume = info.dwVolumeSerialNumber;
    id.indexHigh = info.nFileIndexHigh;
    id.indexLow = info.nFileIndexLow;
    id.known = true;
  }
  return id;
}

FileIdentity IdentifyFile(const wchar_t* path) {
  fw::UniqueHandle file(CreateFileW(SystemPath(path).c_str(), 0,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  return file ? IdentityOf(file.get()) : FileIdentity{};
}
