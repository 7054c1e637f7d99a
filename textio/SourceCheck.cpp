#include "textio/SourceCheck.h"

#include <algorithm>
#include <cwchar>
#include <string>

#include "textio/ZeroBytes.h"

namespace {

constexpr UINT kUtf16Le = 1200;
constexpr UINT kUtf16Be = 1201;

// Control bytes that text does carry: tab, line ends, form feed, the
// end-of-file mark and escape.
bool IsTextControl(unsigned c) {
  return c == 0x09 || c == 0x0A || c == 0x0B || c == 0x0C || c == 0x0D || c == 0x1A || c == 0x1B;
}

bool IsBadControl(unsigned c) { return (c < 0x20 && !IsTextControl(c)) || c == 0x7F; }

// Bytes of `s` that sit in invalid UTF-8 sequences or are stray controls.
size_t BadUtf8(const unsigned char* s, size_t n) {
  size_t bad = 0;
  for (size_t i = 0; i < n;) {
    const unsigned c = s[i];
    if (c < 0x80) {
      bad += IsBadControl(c);
      ++i;
      continue;
    }
    size_t len = c >= 0xC2 && c <= 0xDF ? 2 : c >= 0xE0 && c <= 0xEF ? 3 : c >= 0xF0 && c <= 0xF4 ? 4 : 0;
    bool ok = len != 0;
    // A sequence cut by the end of the sample is not held against it.
    for (size_t k = 1; ok && k < len && i + k < n; ++k) ok = (s[i + k] & 0xC0) == 0x80;
    if (ok && len >= 3 && i + 1 < n) {
      const unsigned d = s[i + 1];
      if ((c == 0xE0 && d < 0xA0) || (c == 0xED && d > 0x9F) || (c == 0xF0 && d < 0x90) ||
          (c == 0xF4 && d > 0x8F)) {
        ok = false;
      }
    }
    if (!ok) {
      ++bad;
      ++i;
    } else {
      i += len;
    }
  }
  return bad;
}

// Bytes of `s` in UTF-16 units that are lone surrogates or stray controls.
size_t BadUtf16(const unsigned char* s, size_t n, bool bigEndian) {
  size_t bad = 0;
  const auto unit = [&](size_t i) {
    return bigEndian ? static_cast<unsigned>(s[i] << 8 | s[i + 1])
                     : static_cast<unsigned>(s[i + 1] << 8 | s[i]);
  };
  for (size_t i = 0; i + 1 < n;) {
    const unsigned u = unit(i);
    if (u >= 0xD800 && u <= 0xDBFF) {
      if (i + 3 < n) {
        const unsigned v = unit(i + 2);
        if (v >= 0xDC00 && v <= 0xDFFF) {
          i += 4;
          continue;
        }
        bad += 2;
      }
      i += 2;
      continue;
    }
    if ((u >= 0xDC00 && u <= 0xDFFF) || (u < 0x80 && IsBadControl(u)) || u == 0xFFFF ||
        u == 0xFFFE) {
      bad += 2;
    }
    i += 2;
  }
  return bad;
}

// Bytes of `s` that code page `cp` cannot decode, or that are stray
// controls.
size_t BadInCodePage(const unsigned char* s, size_t n, UINT cp) {
  size_t bad = 0;
  wchar_t out[4];
  for (size_t i = 0; i < n;) {
    const unsigned c = s[i];
    if (c < 0x80) {
      bad += IsBadControl(c);
      ++i;
      continue;
    }
    if (IsDBCSLeadByteEx(cp, static_cast<BYTE>(c)) && i + 1 < n) {
      if (MultiByteToWideChar(cp, MB_ERR_INVALID_CHARS, reinterpret_cast<const char*>(s + i), 2,
                              out, 4) > 0) {
        i += 2;
        continue;
      }
      ++bad;
      ++i;
      continue;
    }
    if (MultiByteToWideChar(cp, MB_ERR_INVALID_CHARS, reinterpret_cast<const char*>(s + i), 1,
                            out, 4) <= 0) {
      ++bad;
    }
    ++i;
  }
  return bad;
}

bool HasMark(const unsigned char* s, size_t n) {
  if (n >= 3 && s[0] == 0xEF && s[1] == 0xBB && s[2] == 0xBF) return true;
  if (n >= 2 && ((s[0] == 0xFF && s[1] == 0xFE) || (s[0] == 0xFE && s[1] == 0xFF))) return true;
  return n >= 4 && s[0] == 0 && s[1] == 0 && s[2] == 0xFE && s[3] == 0xFF;
}

}  // namespace

bool NamesDevice(const wchar_t* path) {
  if (path == nullptr || path[0] == L'\0') return false;
  wchar_t full[MAX_PATH * 4] = {};
  const DWORD n = GetFullPathNameW(path, MAX_PATH * 4, full, nullptr);
  if (n == 0 || n >= MAX_PATH * 4) return false;
  return wcsncmp(full, L"\\\\.\\", 4) == 0;
}

bool IsDiskFile(HANDLE file) { return GetFileType(file) == FILE_TYPE_DISK; }

std::vector<UINT> CandidateCodePages(UINT codePage) {
  std::vector<UINT> pages{CP_UTF8, kUtf16Le, kUtf16Be, GetACP(), 936, 950};
  if (codePage != 0 && std::find(pages.begin(), pages.end(), codePage) == pages.end()) {
    pages.push_back(codePage);
  }
  return pages;
}

bool LooksLikeText(const unsigned char* sample, size_t size, const std::vector<UINT>& candidates) {
  if (sample == nullptr || size == 0) return true;
  const size_t n = std::min(size, kTextSampleBytes);
  if (HasMark(sample, n)) return true;

  // Many zero bytes are text only when UTF-16 explains them (ZeroBytes.h).
  const bool utf16Candidate =
      std::find(candidates.begin(), candidates.end(), kUtf16Le) != candidates.end() ||
      std::find(candidates.begin(), candidates.end(), kUtf16Be) != candidates.end();
  const ZeroBytes zeros = JudgeZeroBytes(sample, n);
  if (zeros == ZeroBytes::NotText || (zeros != ZeroBytes::Stray && !utf16Candidate)) return false;

  // Most of the sample bad under every candidate: no text.
  for (UINT cp : candidates) {
    size_t bad = 0;
    if (cp == CP_UTF8) {
      bad = BadUtf8(sample, n);
    } else if (cp == kUtf16Le || cp == kUtf16Be) {
      bad = BadUtf16(sample, n, cp == kUtf16Be);
    } else {
      CPINFO info{};
      if (!GetCPInfo(cp, &info)) continue;
      bad = BadInCodePage(sample, n, cp);
    }
    if (bad * 2 <= n) return true;
  }
  return false;
}
