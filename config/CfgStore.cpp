#include "config/CfgStore.h"

#include <windows.h>

#include <shlobj.h>

#include <cstring>
#include <cwchar>
#include <limits>
#include <memory>
#include <mutex>
#include <new>
#include <string>
#include <vector>

#include "config/CfgLayout.h"
#include "config/MakeDirs.h"
#include "fw/Handle.h"

namespace {

CfgStore* g_instance = nullptr;

using RetryWait = std::function<void(DWORD)>;

// Opens the settings file, creating it empty when absent. A sharing
// violation means another reader or writer holds it: wait and try again.
// A copy of the program holds the file for a moment only; another program
// (a backup or sync tool) may hold it for minutes: the attempts of about
// two seconds tell them apart. On failure `error` holds the system's reason.
fw::UniqueHandle OpenCfgFile(const wchar_t* path, DWORD access, DWORD share, DWORD& error,
                             const RetryWait& wait) {
  for (int attempt = 1;; ++attempt) {
    HANDLE h = CreateFileW(path, access, share, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    if (h != INVALID_HANDLE_VALUE) {
      error = ERROR_SUCCESS;
      return fw::UniqueHandle(h);
    }
    error = GetLastError();
    if (error != ERROR_SHARING_VIOLATION || attempt >= CfgStore::kOpenAttempts) return {};
    if (wait) {
      wait(CfgStore::kRetryDelayMs);
    } else {
      Sleep(CfgStore::kRetryDelayMs);
    }
  }
}

bool ReadAt(HANDLE file, std::uint64_t offset, void* dst, DWORD size) {
  LARGE_INTEGER at;
  at.QuadPart = static_cast<LONGLONG>(offset);
  DWORD got = 0;
  return SetFilePointerEx(file, at, nullptr, FILE_BEGIN) &&
         ReadFile(file, dst, size, &got, nullptr) && got == size;
}

// Index of key's entry among those in use in a sound image, or -1.
std::int32_t FindCfgEntry(const unsigned char* image, std::int32_t key) {
  CfgHeader header;
  std::memcpy(&header, image, sizeof header);
  for (std::int32_t i = 0; i < header.count; ++i) {
    CfgEntry entry;
    std::memcpy(&entry, image + kCfgTableOffset + i * sizeof(CfgEntry), sizeof entry);
    if (entry.key == key) return i;
  }
  return -1;
}

// Copies key's value from a sound image (CfgReader::ReadValue).
std::int32_t CopyCfgValue(const unsigned char* image, std::int32_t key, void* dst,
                          std::int32_t dstSize) {
  const std::int32_t i = FindCfgEntry(image, key);
  if (i < 0) return 0;
  CfgEntry entry;
  std::memcpy(&entry, image + kCfgTableOffset + i * sizeof(CfgEntry), sizeof entry);
  if (!dst || dstSize < 0 || static_cast<std::uint32_t>(dstSize) < entry.size) return 0;
  std::memcpy(dst, image + entry.offset, entry.size);
  return static_cast<std::int32_t>(entry.size);
}

// A string slot read through `reader` (CfgReader::ReadString), the output
// folder giving way to `defaultOutputDir` when it is not absolute.
std::int32_t ReadCfgString(const CfgReader& reader, std::int32_t key, wchar_t* dst,
                           const wchar_t* defaultOutputDir) {
  if (!dst) return 0;
  std::memset(dst, 0, CfgStore::kStringSlotBytes);
  wchar_t slot[CfgStore::kStringUnits] = {};
  std::int32_t size = reader.ReadValue(key, slot, CfgStore::kStringSlotBytes);
  if (size >= 1 && size <= CfgStore::kStringSlotBytes) {
    std::memcpy(dst, slot, CfgStore::kStringSlotBytes);
  }
  // A slot filled to its last unit has no terminator; callers treat the
  // buffer as a C string.
  dst[CfgStore::kStringUnits - 1] = L'\0';
  // Output lands in the output folder only when it names one place: a
  // relative folder would depend on whatever folder is current.
  if (key == CFGKEY_OUTPUT_DIR && defaultOutputDir[0] != L'\0' && !IsAbsoluteFolder(dst)) {
    const size_t n = wcsnlen(defaultOutputDir, CfgStore::kStringUnits - 1);
    std::wmemset(dst, 0, CfgStore::kStringUnits);
    std::wmemcpy(dst, defaultOutputDir, n);
    size = CfgStore::kStringSlotBytes;
  }
  return size;
}

// The open file and its whole image in memory, with `spare` bytes more for
// a new value.
struct CfgImage {
  fw::UniqueHandle file;
  std::unique_ptr<unsigned char[]> bytes;
  bool fromFile = false;  // false: the empty store stands in for the file
  // Set when the store lives in memory for this session: Store writes there.
  std::vector<unsigned char>* memory = nullptr;
  DWORD openError = ERROR_SUCCESS;

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
  std::int32_t Find(std::int32_t key) const { return FindCfgEntry(bytes.get(), key); }
  // Writes the image's totalSize bytes from the start of the file (or into
  // the session's memory); returns the bytes written, 0 when they were not
  // all written.
  std::int32_t Store() {
    const std::uint32_t total = Header().totalSize;
    if (memory != nullptr) {
      memory->assign(bytes.get(), bytes.get() + total);
      return static_cast<std::int32_t>(total);
    }
    LARGE_INTEGER start{};
    DWORD written = 0;
    if (!SetFilePointerEx(file.get(), start, nullptr, FILE_BEGIN) ||
        !WriteFile(file.get(), bytes.get(), total, &written, nullptr) || written != total) {
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
  if (header.totalSize > kCfgMaxImageSize) return false;
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
bool LoadCfgImage(const wchar_t* path, bool forWriting, std::uint32_t spare, CfgImage& image,
                  std::vector<unsigned char>* memory, const RetryWait& wait) {
  if (memory != nullptr && memory->size() >= kCfgEmptySize) {
    // The session's own store, sound by construction.
    image.memory = memory;
    image.bytes = Allocate(std::uint64_t{memory->size()} + spare);
    if (!image.bytes) return false;
    std::memcpy(image.bytes.get(), memory->data(), memory->size());
    image.fromFile = true;
    return true;
  }
  if (!path[0]) return false;
  image.file = forWriting
                   ? OpenCfgFile(path, GENERIC_READ | GENERIC_WRITE, 0, image.openError, wait)
                   : OpenCfgFile(path, GENERIC_READ, FILE_SHARE_READ, image.openError, wait);
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

bool IsAbsoluteFolder(const wchar_t* path) {
  if (path == nullptr) return false;
  const auto slash = [](wchar_t c) { return c == L'\\' || c == L'/'; };
  const wchar_t d = path[0];
  if (((d >= L'A' && d <= L'Z') || (d >= L'a' && d <= L'z')) && path[1] == L':' &&
      slash(path[2])) {
    return true;
  }
  // \\server\share, but not the device forms \\.\ and \\?\.
  if (slash(path[0]) && slash(path[1]) && path[2] != L'\0' && path[2] != L'.' &&
      path[2] != L'?' && !slash(path[2])) {
    const wchar_t* rest = path + 2;
    while (*rest != L'\0' && !slash(*rest)) ++rest;
    return slash(*rest) && rest[1] != L'\0' && !slash(rest[1]);
  }
  return false;
}

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
  std::wmemset(defaultOutputDir_, 0, kPathUnits);
  if (defaultOutputDir && std::wcslen(defaultOutputDir) < kPathUnits) {
    std::wcscpy(defaultOutputDir_, defaultOutputDir);
  }
  DWORD openError = ERROR_SUCCESS;
  {
    CfgImage image;
    const bool opened = LoadCfgImage(path_, false, 0, image, Memory(), retryWait_);
    if (opened && image.fromFile && (image.Header().version >> 16) == kCfgMajorVersion) return;
    openError = opened ? ERROR_SUCCESS : image.openError;
  }
  if (openError != ERROR_SUCCESS) {
    // The file is there but held by another program, or cannot be opened
    // at all: it is never taken for a stale one and overwritten. This
    // session keeps its settings in memory, starting from the defaults.
    unreachableError_ = openError;
    std::lock_guard<std::mutex> lock(memoryLock_);
    memory_.assign(kCfgEmptySize, 0);
    BuildEmptyCfgImage(memory_.data());
    inMemory_ = true;
  } else {
    DeleteFileW(path_);
  }
  Reset();
  MakeDirs(defaultOutputDir);
  WriteString(CFGKEY_OUTPUT_DIR, defaultOutputDir);
  const std::int32_t zero = 0;
  WriteValue(CFGKEY_ENCODING_MODE, &zero, sizeof zero);
  WriteValue(CFGKEY_ENCODING_INDEX, &zero, sizeof zero);
}

std::vector<unsigned char>* CfgStore::Memory() const {
  return inMemory_ ? &memory_ : nullptr;
}

std::int32_t CfgStore::ReadValue(std::int32_t key, void* dst, std::int32_t dstSize) const {
  std::unique_lock<std::mutex> lock(memoryLock_, std::defer_lock);
  if (inMemory_) lock.lock();
  CfgImage image;
  if (!LoadCfgImage(path_, false, 0, image, Memory(), retryWait_)) return 0;
  return CopyCfgValue(image.bytes.get(), key, dst, dstSize);
}

bool CfgStore::ReadAll(CfgValues& values, DWORD* openError) const {
  values.image_.clear();
  values.defaultOutputDir_ = defaultOutputDir_;
  std::unique_lock<std::mutex> lock(memoryLock_, std::defer_lock);
  if (inMemory_) lock.lock();
  CfgImage image;
  const bool loaded = LoadCfgImage(path_, false, 0, image, Memory(), retryWait_);
  if (openError != nullptr) {
    *openError = loaded ? ERROR_SUCCESS
                        : image.openError != ERROR_SUCCESS ? image.openError : ERROR_OUTOFMEMORY;
  }
  if (!loaded) return false;
  const std::uint32_t size = image.Header().totalSize;
  try {
    values.image_.assign(image.bytes.get(), image.bytes.get() + size);
  } catch (const std::bad_alloc&) {
    if (openError != nullptr) *openError = ERROR_OUTOFMEMORY;
    return false;
  }
  return true;
}

std::int32_t CfgValues::ReadValue(std::int32_t key, void* dst, std::int32_t dstSize) const {
  if (image_.empty()) return 0;
  return CopyCfgValue(image_.data(), key, dst, dstSize);
}

std::int32_t CfgValues::ReadString(std::int32_t key, wchar_t* dst) const {
  return ReadCfgString(*this, key, dst, defaultOutputDir_.c_str());
}

std::int32_t CfgStore::WriteValue(std::int32_t key, const void* src, std::int32_t size) {
  std::unique_lock<std::mutex> lock(memoryLock_, std::defer_lock);
  if (inMemory_) lock.lock();
  lastWriteFailure_ = CfgWriteFailure::None;
  lastWriteError_ = ERROR_SUCCESS;
  if (size < 0 || (size > 0 && !src)) {
    lastWriteFailure_ = CfgWriteFailure::OtherSize;
    return 0;
  }
  const auto valueSize = static_cast<std::uint32_t>(size);
  CfgImage image;
  if (!LoadCfgImage(path_, true, valueSize, image, Memory(), retryWait_)) {
    lastWriteFailure_ = CfgWriteFailure::CannotOpen;
    lastWriteError_ = image.openError != ERROR_SUCCESS ? image.openError : ERROR_OUTOFMEMORY;
    return 0;
  }
  CfgHeader header = image.Header();
  const std::int32_t i = image.Find(key);
  if (i >= 0 && image.Entry(i).size == valueSize) {
    std::memcpy(image.bytes.get() + image.Entry(i).offset, src, valueSize);
  } else {
    // A new key takes the next slot of the table: the table's 100 slots
    // are always in the file, so a smaller capacity grows to them. A key
    // held at another size (by a damaged or foreign writer) keeps its slot
    // and gets its value anew at its right size after the others; the old
    // bytes stay unused. Either way the value goes at the end of the image.
    if (i < 0 && header.count >= header.capacity) {
      if (header.capacity >= kCfgCapacity) {
        lastWriteFailure_ = CfgWriteFailure::Full;
        return 0;
      }
      header.capacity = kCfgCapacity;
    }
    if (std::uint64_t{header.totalSize} + valueSize > kCfgMaxImageSize) {
      lastWriteFailure_ = CfgWriteFailure::Full;
      return 0;
    }
    const CfgEntry entry{key, header.totalSize, valueSize};
    if (i >= 0) {
      image.SetEntry(i, entry);
      repaired_ = true;
    } else {
      image.SetEntry(header.count, entry);
      ++header.count;
    }
    header.totalSize += valueSize;
    header.nextOffset = header.totalSize;
    image.SetHeader(header);
    if (valueSize) std::memcpy(image.bytes.get() + entry.offset, src, valueSize);
  }
  const std::int32_t written = image.Store();
  if (written == 0) {
    lastWriteFailure_ = CfgWriteFailure::WriteFailed;
    lastWriteError_ = GetLastError();
  }
  return written;
}

std::int32_t CfgStore::ReadString(std::int32_t key, wchar_t* dst) const {
  return ReadCfgString(*this, key, dst, defaultOutputDir_);
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
  std::unique_lock<std::mutex> lock(memoryLock_, std::defer_lock);
  if (inMemory_) lock.lock();
  CfgImage image;
  if (!LoadCfgImage(path_, false, 0, image, Memory(), retryWait_) || !image.fromFile) return false;
  return (image.Header().version >> 16) == kCfgMajorVersion;
}

bool CfgStore::Reset() {
  std::unique_lock<std::mutex> lock(memoryLock_, std::defer_lock);
  if (inMemory_) lock.lock();
  CfgImage image;
  if (!LoadCfgImage(path_, true, 0, image, Memory(), retryWait_)) return false;
  CfgHeader header = image.Header();
  header.version = kCfgVersion;
  image.SetHeader(header);
  return image.Store() == static_cast<std::int32_t>(header.totalSize);
}
