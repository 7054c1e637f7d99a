#include "glyphmap/ConversionImage.h"

#include <windows.h>

#include <cstring>
#include <new>

#include "fw/Handle.h"
#include "glyphmap/ImageStream.h"

namespace glyphmap {
namespace {

// Bumped whenever the byte form changes.
constexpr char kMagic[8] = {'G', 'M', 'I', 'M', 'G', '0', '0', '2'};

// A 64-bit checksum over the bytes, eight at a time: any damage a disk or
// an interrupted copy does changes it.
uint64_t Checksum(const char* p, size_t n) {
  uint64_t h = 0x9E3779B97F4A7C15ULL ^ n;
  auto mix = [&h](uint64_t w) {
    h ^= w * 0xC2B2AE3D27D4EB4FULL;
    h = (h << 31 | h >> 33) * 0x9E3779B97F4A7C15ULL;
  };
  size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    uint64_t w;
    std::memcpy(&w, p + i, 8);
    mix(w);
  }
  uint64_t tail = 0;
  std::memcpy(&tail, p + i, n - i);
  mix(tail);
  return h ^ (h >> 29);
}

bool ReadWhole(const std::wstring& path, std::string& bytes) {
  fw::UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  LARGE_INTEGER size{};
  if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart > (1LL << 30)) return false;
  bytes.resize(static_cast<size_t>(size.QuadPart));
  DWORD got = 0;
  return bytes.empty() || (ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &got,
                                    nullptr) &&
                           got == bytes.size());
}

bool WriteWhole(const std::wstring& path, const std::string& bytes) {
  fw::UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD put = 0;
  return file && WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr) &&
         put == bytes.size();
}

// Creates `folder` (ending in a backslash) and the folders above it.
bool MakeFolders(const std::wstring& folder) {
  for (size_t at = folder.find_first_of(L"\\/", 3); at != std::wstring::npos;
       at = folder.find_first_of(L"\\/", at + 1)) {
    const std::wstring part = folder.substr(0, at);
    if (!CreateDirectoryW(part.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
      return false;
    }
  }
  return true;
}

}  // namespace

std::wstring ConversionImages::PathOf(const std::string& key) const {
  // The key's checksum names the file; bitness too, as each side keeps its own.
  wchar_t name[64];
  swprintf(name, 64, L"%016llx-%d.image", static_cast<unsigned long long>(Checksum(key.data(), key.size())),
           static_cast<int>(sizeof(void*) * 8));
  return folder_ + name;
}

std::unique_ptr<FastConverter> ConversionImages::Load(const std::string& key,
                                                      const std::string& identity) const {
  if (folder_.empty()) return nullptr;
  std::string bytes;
  if (!ReadWhole(PathOf(key), bytes)) return nullptr;
  try {
    // magic, identity, payload, then the checksum of everything before it.
    ImageCheck(bytes.size() >= sizeof kMagic + 8 && std::memcmp(bytes.data(), kMagic, sizeof kMagic) == 0);
    const size_t body = bytes.size() - 8;
    uint64_t sum;
    std::memcpy(&sum, bytes.data() + body, 8);
    if (sum != Checksum(bytes.data(), body)) return nullptr;
    ImageReader in(std::string_view(bytes.data() + sizeof kMagic, body - sizeof kMagic));
    if (in.GetString() != identity) return nullptr;
    std::unique_ptr<FastConverter> fast = FastConverter::Load(in);
    in.ExpectEnd();
    return fast;
  } catch (const ImageDamaged&) {
    return nullptr;
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

void ConversionImages::Save(const std::string& key, const std::string& identity,
                            const FastConverter& fast) const {
  if (folder_.empty() || !MakeFolders(folder_)) return;
  ImageWriter out;
  out.Bytes().assign(kMagic, sizeof kMagic);
  out.PutString(identity);
  fast.Save(out);
  std::string& bytes = out.Bytes();
  const uint64_t sum = Checksum(bytes.data(), bytes.size());
  bytes.append(reinterpret_cast<const char*>(&sum), sizeof sum);
  // Written beside its place under a name of this thread's own, then moved
  // over the old image.
  const std::wstring path = PathOf(key);
  const std::wstring part = path + L"." + std::to_wstring(GetCurrentProcessId()) + L"-" +
                            std::to_wstring(GetCurrentThreadId());
  if (!WriteWhole(part, bytes) ||
      !MoveFileExW(part.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    DeleteFileW(part.c_str());
  }
}

std::wstring UserImageFolder() {
  wchar_t base[MAX_PATH];
  const DWORD n = GetEnvironmentVariableW(L"LOCALAPPDATA", base, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return {};
  return std::wstring(base, n) + L"\\Quorvane\\Tarnwell\\Conversions\\";
}

}  // namespace glyphmap
