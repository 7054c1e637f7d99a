#include "pipeline/PartFiles.h"

#include <windows.h>

#include <atomic>
#include <cwchar>

#include "fw/Handle.h"
#include "pipeline/LongPath.h"
#include "textio/SourceCheck.h"

namespace {

constexpr wchar_t kPartEnding[] = L".tarnwell-part";
constexpr size_t kPartEndingLength = 14;
constexpr size_t kNumbersLength = 13;  // "3f2a9c01-7d1e"

std::uint32_t Fnv1a(const std::wstring& text, std::uint32_t seed) {
  std::uint32_t hash = 2166136261u ^ seed;
  for (wchar_t c : text) {
    hash ^= static_cast<std::uint32_t>(c);
    hash *= 16777619u;
  }
  return hash;
}

std::wstring PartName(const std::wstring& name, std::uint32_t nonce) {
  wchar_t numbers[16] = {};
  swprintf(numbers, 16, L"%08x-%04x", nonce, Fnv1a(name, nonce) & 0xFFFFu);
  return name + L"." + numbers + kPartEnding;
}

// A part file holds the converted text written so far: it reads as text.
bool HoldsText(HANDLE file) {
  std::string sample(kTextSampleBytes, '\0');
  DWORD got = 0;
  if (!ReadFile(file, sample.data(), static_cast<DWORD>(sample.size()), &got, nullptr)) return false;
  return LooksLikeText(reinterpret_cast<const unsigned char*>(sample.data()), got,
                       CandidateCodePages(0));
}

}  // namespace

std::wstring NewPartFileName(const std::wstring& name) {
  static std::atomic<std::uint32_t> counter{0};
  LARGE_INTEGER now{};
  QueryPerformanceCounter(&now);
  const std::uint32_t nonce = static_cast<std::uint32_t>(now.QuadPart) ^
                              (GetCurrentProcessId() << 16) ^ (counter.fetch_add(1) * 2654435761u);
  return PartName(name, nonce);
}

bool IsPartFileName(const std::wstring& name, const std::wstring& candidate) {
  if (candidate.size() != name.size() + 1 + kNumbersLength + kPartEndingLength) return false;
  if (candidate.compare(0, name.size(), name) != 0 || candidate[name.size()] != L'.') return false;
  const std::wstring numbers = candidate.substr(name.size() + 1, 8);
  for (wchar_t c : numbers) {
    if (!iswxdigit(c)) return false;
  }
  const auto nonce = static_cast<std::uint32_t>(wcstoul(numbers.c_str(), nullptr, 16));
  return candidate == PartName(name, nonce);
}

void RemoveStalePartFiles(const std::wstring& folder, const std::wstring& name) {
  WIN32_FIND_DATAW found{};
  fw::UniqueFindHandle search(
      FindFirstFileW(SystemPath(folder + name + L".*" + kPartEnding).c_str(), &found));
  if (!search) return;
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ||
        !IsPartFileName(name, found.cFileName)) {
      continue;
    }
    // Opened for deletion without sharing: a part file another running
    // copy is writing cannot be opened so, and stays.
    fw::UniqueHandle part(CreateFileW(SystemPath(folder + found.cFileName).c_str(),
                                      GENERIC_READ | DELETE, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!part || !HoldsText(part.get())) continue;
    part.reset();
    DeleteFileW(SystemPath(folder + found.cFileName).c_str());
  } while (FindNextFileW(search.get(), &found));
}
