#include "config/CfgStore.h"

#include <windows.h>

#include <shlobj.h>

#include <cstring>
#include <cwchar>
#include <limits>
#include <memory>
#include <new>
#include <string>

#include "config/CfgLayout.h"
#include "config/MakeDirs.h"
#include "fw/Handle.h"

namespace {

CfgStore* g_instance = nullptr;

constexpr int kOpenAttempts = 1000;
constexpr DWORD kRetryDelayMs = 200;

// Opens the settings file, creating it empty when absent. A sharing
// violation means another reader or writer holds it: wait and try again.
fw::UniqueHandle OpenCfgFile(const wchar_t* path, DWORD access, DWORD share) {
  for (int attempt = 1;; ++attempt) {
    HANDLE h = CreateFileW(path, access, share, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    if (h != INVALID_HANDLE_VALUE) return fw::UniqueHandle(h);
    if (GetLastError() != ERROR_SHARING_VIOLATION || attempt >= kOpenAttempts) return {};
    Sleep(kRetryDelayMs);
  }
}

bool ReadAt(HANDLE file, std::uint64_t offset, void* dst, DWORD size) {
  LARGE_INTEGER at;
  at.QuadPart = static_cast<LONGLONG>(offset);
  DWORD got = 0;
  return SetFilePointerEx(file, at, nullptr, FILE_BEGIN) &&
         ReadFile(file, dst, size, &got, nullptr) && got == size;
}

// The open file and its whole image in memory, with `spare` bytes more for
// a new value.
struct CfgImage {
  fw::UniqueHandle file;
  std::unique_ptr<unsigned char[]> bytes;
  bool fromFile = false;  // false: the empty store stands in for the file

  CfgHeader Header() const {
    CfgHeader h;
    std::memcpy(&h, bytes.get(), sizeof h);
    return h;
  }
  void SetHeader(const CfgHeader& h) { std::memcpy(bytes.get(), &h, sizeof h); }
  CfgEntry Entry(std::int32_t i) const {
    CfgEntry e;
    std::memcpy(&e, bytes.get() + kCfgTableOffset + i * sizeof(CfgEntry), sizeof e);
    return e;
  }
  void SetEntry(std::int32_t i, const CfgEntry& e) {
    std::memcpy(bytes.get() + kCfgTableOffset + i * sizeof(CfgEntry), &e, sizeof e);
  }
  // Index of key's entry among those in use, or -1.
  std::int32_t Find(std::int32_t key) const {
    const std::int32_t count = Header().count;
    for (std::int32_t i = 0; i < count; ++i) {
      if (Entry(i).key == key) return i;
    }
    return -1;
  }
  // Writes the image's totalSize bytes from the start of the file; returns
  // the bytes written.
  std::int32_t Store() {
    const std::uint32_t total = Header().totalSize;
    LARGE_INTEGER start{};
    DWORD written = 0;
    if (!SetFilePointerEx(file.get(), start, nullptr, FILE_BEGIN) ||
        !WriteFile(file.get(), bytes.get(), total, &written, nullptr)) {
      return 0;
    }
    return static_cast<std::int32_t>(written);
  }
};

std::unique_ptr<unsigned char[]> Allocate(std::uint64_t size) {
  if (size > std::numeric_limits<size_t>::max()) return nullptr;
  return std::unique_ptr<unsigned char[]>(new (std::nothrow) unsigned char[size]());
}

// Reads the store the file holds into image.bytes; false when the file
// holds none, or a damaged one. On a false result image.bytes may be set
// but holds nothing of use.
bool ReadStoreFromFile(CfgImage& image, std::uint32_t spare, bool& outOfMemory) {
  LARGE_INTEGER fileSize{};
  if (!GetFileSizeEx(image.file.get(), &fileSize)) return false;
  if (fileSize.QuadPart <= static_cast<LONGLONG>(kCfgMinFileSize)) return false;
  unsigned char head[kCfgMinFileSize];
  if (!ReadAt(image.file.get(), 0, head, sizeof head)) return false;
  CfgHeader header;
  std::memcpy(&header, head, sizeof header);
  if (!HasCfgMagic(header)) return false;
  const auto size = static_cast<std::uint64_t>(fileSize.QuadPart);
  if (header.totalSize < kCfgEmptySize || header.totalSize > size) return false;
  image.bytes = Allocate(std::uint64_t{header.totalSize} + spare);
  if (!image.bytes) {
    outOfMemory = true;
    return false;
  }
  if (!ReadAt(image.file.get(), 0, image.bytes.get(), header.totalSize)) return false;
  // The first 40 bytes were read twice; the file is held, so they agree.
  return IsCfgImageSound(image.bytes.get(), size);
}

// Opens the file and loads its image. A file without a sound store yields
// the empty store. False only when the file cannot be opened or no memory
// is left.
bool LoadCfgImage(const wchar_t* path, bool forWriting, std::uint32_t spare, CfgImage& image) {
  if (!path[0]) return false;
  image.file = forWriting ? OpenCfgFile(path, GENERIC_READ | GENERIC_WRITE, 0)
                          : OpenCfgFile(path, GENERIC_READ, FILE_SHARE_READ);
  if (!image.file) return false;
  bool outOfMemory = false;
  image.fromFile = ReadStoreFromFile(image, spare, outOfMemory);
  if (image.fromFile) return true;
  if (outOfMemory) return false;
  image.bytes = Allocate(std::uint64_t{kCfgEmptySize} + spare);
  if (!image.bytes) return false;
  BuildEmptyCfgImage(image.bytes.get());
  return true;
}

}  // namespace

CfgStore::CfgStore(const wchar_t* path) {
  if (path && std::wcslen(path) < kPathUnits) std::wcscpy(path_, path);
}

bool CfgStore::ComposeSettingsPath(const wchar_t* appData, wchar_t* folder, wchar_t* file) {
  std::wmemset(folder, 0, kPathUnits);
  std::wmemset(file, 0, kPathUnits);
  if (!appData) return false;
  std::wstring dir = std::wstring(appData) + L"\\Quorvane\\Tarnwell\\";
  std::wstring full = dir + L"Tarnwell.cfg";
  if (full.size() >= kPathUnits) return false;
  std::wmemcpy(folder, dir.c_str(), dir.size());
  std::wmemcpy(file, full.c_str(), full.size());
  return true;
}

CfgStore& CfgStore::Instance() {
  if (g_instance) return *g_instance;
  wchar_t appData[MAX_PATH] = {};
  wchar_t folder[kPathUnits] = {};
  wchar_t file[kPathUnits] = {};
  if (SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData)) &&
      ComposeSettingsPath(appData, folder, file)) {
    MakeDirs(folder);
  }
  g_instance = new CfgStore(file);
  wchar_t documents[MAX_PATH] = {};
  std::wstring output;
  if (SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT,
                                 documents))) {
    output = std::wstring(documents) + L"\\Tarnwell";
  }
  g_instance->EnsureCurrent(output.c_str());
  return *g_instance;
}

void CfgStore::DeleteInstance() {
  delete g_instance;
  g_instance = nullptr;
}

void CfgStore::EnsureCurrent(const wchar_t* defaultOutputDir) {
  if (IsCurrent()) return;
  DeleteFileW(path_);
  Reset();
  MakeDirs(defaultOutputDir);
  WriteString(CFGKEY_OUTPUT_DIR, defaultOutputDir);
  const std::int32_t zero = 0;
  WriteValue(CFGKEY_ENCODING_MODE, &zero, sizeof zero);
  WriteValue(CFGKEY_ENCODING_INDEX, &zero, sizeof zero);
}

std::int32_t CfgStore::ReadValue(std::int32_t key, void* dst, std::int32_t dstSize) const {
  CfgImage image;
  if (!LoadCfgImage(path_, false, 0, image)) return 0;
  const std::int32_t i = image.Find(key);
  if (i < 0) return 0;
  const CfgEntry entry = image.Entry(i);
  if (!dst || dstSize < 0 || static_cast<std::uint32_t>(dstSize) < entry.size) return 0;
  std::memcpy(dst, image.bytes.get() + entry.offset, entry.size);
  return static_cast<std::int32_t>(entry.size);
}

std::int32_t CfgStore::WriteValue(std::int32_t key, const void* src, std::int32_t size) {
  if (size < 0 || (size > 0 && !src)) return 0;
  const auto valueSize = static_cast<std::uint32_t>(size);
  CfgImage image;
  if (!LoadCfgImage(path_, true, valueSize, image)) return 0;
  CfgHeader header = image.Header();
  const std::int32_t i = image.Find(key);
  if (i >= 0) {
    const CfgEntry entry = image.Entry(i);
    // A value of another size would spill into its neighbour's bytes.
    if (entry.size != valueSize) return 0;
    std::memcpy(image.bytes.get() + entry.offset, src, valueSize);
  } else if (header.count < header.capacity) {
    if (std::uint64_t{header.totalSize} + valueSize > std::numeric_limits<std::int32_t>::max()) {
      return 0;
    }
    const CfgEntry entry{key, header.nextOffset, valueSize};
    image.SetEntry(header.count, entry);
    ++header.count;
    header.totalSize += valueSize;
    header.nextOffset += valueSize;
    image.SetHeader(header);
    if (valueSize) std::memcpy(image.bytes.get() + entry.offset, src, valueSize);
  }
  return image.Store();
}

std::int32_t CfgStore::ReadString(std::int32_t key, wchar_t* dst) const {
  if (!dst) return 0;
  std::memset(dst, 0, kStringSlotBytes);
  wchar_t slot[kStringUnits] = {};
  const std::int32_t size = ReadValue(key, slot, kStringSlotBytes);
  if (size >= 1 && size <= kStringSlotBytes) std::memcpy(dst, slot, kStringSlotBytes);
  // A slot filled to its last unit has no terminator; callers treat the
  // buffer as a C string.
  dst[kStringUnits - 1] = L'\0';
  return size;
}

std::int32_t CfgStore::WriteString(std::int32_t key, const wchar_t* str) {
  wchar_t slot[kStringUnits] = {};
  if (str) {
    const size_t n = wcsnlen(str, kStringUnits);
    if (n < kStringUnits) std::wmemcpy(slot, str, n);
  }
  return WriteValue(key, slot, kStringSlotBytes);
}

bool CfgStore::IsCurrent() const {
  CfgImage image;
  if (!LoadCfgImage(path_, false, 0, image) || !image.fromFile) return false;
  return (image.Header().version >> 16) == kCfgMajorVersion;
}

bool CfgStore::Reset() {
  CfgImage image;
  if (!LoadCfgImage(path_, true, 0, image)) return false;
  CfgHeader header = image.Header();
  header.version = kCfgVersion;
  image.SetHeader(header);
  return image.Store() == static_cast<std::int32_t>(header.totalSize);
}
