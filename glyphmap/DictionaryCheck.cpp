#include "glyphmap/DictionaryCheck.h"

#include <windows.h>

#include <bcrypt.h>

#include <algorithm>
#include <sstream>
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

// The list's entry for `name`; false when there is no list or it does not
// name the file.
bool FindListed(const std::string& folder, const std::string& name, Listed& entry) {
  std::string text;
  if (!ReadWhole(folder + kDictionaryListName, text)) return false;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    Listed candidate;
    std::string listedName;
    if (fields >> candidate.sha256 >> candidate.size >> listedName && listedName == name) {
      entry = candidate;
      return true;
    }
  }
  return false;
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
  Listed listed;
  if (!FindListed(folder, name, listed)) return;
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

}  // namespace glyphmap
