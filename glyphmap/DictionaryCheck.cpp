#include "glyphmap/DictionaryCheck.h"

#include <windows.h>

#include <bcrypt.h>

#include <algorithm>
#include <string_view>
#include <stdexcept>
#include <vector>

#include "glyphmap/Utf8.h"

namespace glyphmap {
namespace {

// The whole file, or false when it cannot be read.
bool ReadWhole(const std::string& path, std::string& bytes) {
  HANDLE file = CreateFileW(WideFromUtf8(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size{};
  bool ok = GetFileSizeEx(file, &size) && size.QuadPart < (1LL << 30);
  if (ok) {
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD got = 0;
    ok = bytes.empty() || (ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got,
                                    nullptr) &&
                           got == bytes.size());
  }
  CloseHandle(file);
  return ok;
}

struct Listed {
  std::string sha256;
  unsigned long long size = 0;
};

enum class ListState { Missing, Unparsable, Sound };

bool IsSha256Hex(std::string_view s) {
  return s.size() == 64 && s.find_first_not_of("0123456789abcdef") == std::string_view::npos;
}

// One line as the build writes it: "<sha256> <size> <name>".
bool ParseLine(std::string_view line, std::string& name, Listed& entry) {
  const size_t first = line.find(' ');
  const size_t second = first == std::string_view::npos ? first : line.find(' ', first + 1);
  if (second == std::string_view::npos) return false;
  const std::string_view hash = line.substr(0, first);
  const std::string_view size = line.substr(first + 1, second - first - 1);
  const std::string_view file = line.substr(second + 1);
  if (!IsSha256Hex(hash) || size.empty() || size.size() > 15 ||
      size.find_first_not_of("0123456789") != std::string_view::npos || file.empty() ||
      file.find_first_of(" \t/\\:") != std::string_view::npos) {
    return false;
  }
  entry.sha256 = std::string(hash);
  entry.size = std::stoull(std::string(size));
  name = std::string(file);
  return true;
}

// The list beside the dictionaries: missing, not a list (a line it cannot
// read, or no line at all), or its entries by file name.
ListState ReadList(const std::string& folder, std::map<std::string, Listed>& entries) {
  std::string text;
  if (!ReadWhole(folder + kDictionaryListName, text)) {
    const DWORD attributes = GetFileAttributesW(WideFromUtf8(folder + kDictionaryListName).c_str());
    return attributes == INVALID_FILE_ATTRIBUTES ? ListState::Missing : ListState::Unparsable;
  }
  std::string_view rest(text);
  while (!rest.empty()) {
    const size_t end = rest.find('\n');
    std::string_view line = rest.substr(0, end);
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    std::string name;
    Listed entry;
    if (!ParseLine(line, name, entry)) return ListState::Unparsable;
    entries[name] = entry;
  }
  return entries.empty() ? ListState::Unparsable : ListState::Sound;
}

[[noreturn]] void ThrowDamagedInstallation(const std::string& folder, const std::string& why) {
  throw std::runtime_error("安装已损坏: 词典校验清单 " + folder + kDictionaryListName + " " + why +
                           "\n请重新安装本程序 / The installation is damaged: the dictionary list " +
                           folder + kDictionaryListName + " is missing, unreadable or incomplete. "
                           "Please reinstall the program.");
}

}  // namespace

std::string Sha256Hex(const std::string& bytes) {
  BCRYPT_ALG_HANDLE alg = nullptr;
  if (BCryptOpenAlgorithmProvider(&alg, BCRYPT_SHA256_ALGORITHM, nullptr, 0) != 0) return {};
  unsigned char digest[32] = {};
  BCRYPT_HASH_HANDLE hash = nullptr;
  bool ok = BCryptCreateHash(alg, &hash, nullptr, 0, nullptr, 0, 0) == 0;
  // Fed in pieces: one call takes at most a 32-bit count.
  for (size_t at = 0; ok && at < bytes.size(); at += 1u << 30) {
    const size_t n = std::min<size_t>(bytes.size() - at, 1u << 30);
    ok = BCryptHashData(hash, reinterpret_cast<PUCHAR>(const_cast<char*>(bytes.data() + at)),
                        static_cast<ULONG>(n), 0) == 0;
  }
  ok = ok && BCryptFinishHash(hash, digest, sizeof digest, 0) == 0;
  if (hash != nullptr) BCryptDestroyHash(hash);
  BCryptCloseAlgorithmProvider(alg, 0);
  if (!ok) return {};
  static const char kHex[] = "0123456789abcdef";
  std::string hex;
  for (unsigned char b : digest) {
    hex += kHex[b >> 4];
    hex += kHex[b & 15];
  }
  return hex;
}

void DictionaryCheck::Verify(const std::string& folder, const std::string& name,
                             unsigned long long writeTime, unsigned long long size) {
  const std::string path = folder + name;
  const Stamp stamp{writeTime, size};
  {
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = sound_.find(path);
    if (found != sound_.end() && found->second == stamp) return;
  }
  std::map<std::string, Listed> entries;
  const ListState state = ReadList(folder, entries);
  if (state == ListState::Unparsable) ThrowDamagedInstallation(folder, "无法解析");
  auto found = entries.find(name);
  if (state == ListState::Missing || found == entries.end()) return;
  const Listed& listed = found->second;
  std::string bytes;
  // A file that cannot be read is left to the loader, which names it.
  if (!ReadWhole(path, bytes)) return;
  if (bytes.size() != listed.size || Sha256Hex(bytes) != listed.sha256) {
    std::lock_guard<std::mutex> lock(mutex_);
    sound_.erase(path);
    throw std::runtime_error("词典文件已损坏, 与安装时的不同 / The dictionary file is damaged "
                             "(it differs from the one installed): " +
                             path + "\n请重新安装本程序 / Please reinstall the program.");
  }
  std::lock_guard<std::mutex> lock(mutex_);
  sound_[path] = stamp;
}

void DictionaryCheck::VerifyShipped(const std::string& folder,
                                    const std::vector<std::string>& names) {
  const std::string path = folder + kDictionaryListName;
  WIN32_FILE_ATTRIBUTE_DATA info{};
  Stamp stamp;
  if (GetFileAttributesExW(WideFromUtf8(path).c_str(), GetFileExInfoStandard, &info)) {
    stamp.writeTime = (static_cast<unsigned long long>(info.ftLastWriteTime.dwHighDateTime) << 32) |
                      info.ftLastWriteTime.dwLowDateTime;
    stamp.size = (static_cast<unsigned long long>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  }
  std::string key = path;
  for (const std::string& name : names) key += "\n" + name;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = shippedSound_.find(key);
    if (found != shippedSound_.end() && found->second == stamp) return;
  }
  std::map<std::string, Listed> entries;
  switch (ReadList(folder, entries)) {
    case ListState::Missing: ThrowDamagedInstallation(folder, "缺失");
    case ListState::Unparsable: ThrowDamagedInstallation(folder, "无法解析");
    case ListState::Sound: break;
  }
  for (const std::string& name : names) {
    if (entries.find(name) == entries.end()) ThrowDamagedInstallation(folder, "未列出 " + name);
  }
  std::lock_guard<std::mutex> lock(mutex_);
  shippedSound_[key] = stamp;
}

}  // namespace glyphmap
