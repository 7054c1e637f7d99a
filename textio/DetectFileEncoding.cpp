#include "textio/DetectFileEncoding.h"

#include <uchardet/uchardet.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <algorithm>
#include <type_traits>
#include <vector>

#include "fw/Handle.h"
#include "textio/LegacyCodePage.h"
#include "textio/TFile.h"

namespace {

struct DetectorDeleter {
  void operator()(uchardet_t d) const { uchardet_delete(d); }
};
using Detector = std::unique_ptr<std::remove_pointer_t<uchardet_t>, DetectorDeleter>;

struct StreamCloser {
  void operator()(FILE* f) const { fclose(f); }
};
using Stream = std::unique_ptr<FILE, StreamCloser>;

constexpr size_t kBlockSize = 65536;

bool SameIgnoringAsciiCase(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b) {
    char x = (*a >= 'a' && *a <= 'z') ? static_cast<char>(*a - 32) : *a;
    char y = (*b >= 'a' && *b <= 'z') ? static_cast<char>(*b - 32) : *b;
    if (x != y) return false;
  }
  return *a == *b;
}

// Feeds the whole stream to the detector. False when the detector failed.
bool FeedDetector(uchardet_t detector, FILE* stream) {
  std::vector<char> block(kBlockSize);
  while (!feof(stream)) {
    size_t got = fread(block.data(), 1, block.size(), stream);
    if (got > 0 && uchardet_handle_data(detector, block.data(), got) != 0) return false;
    // A read error is not end of file; stop rather than spin on it.
    if (got == 0 && ferror(stream)) break;
  }
  return true;
}

// The first kSampleSize bytes of the file (all of it when shorter); false
// when it cannot be opened or read.
constexpr size_t kSampleSize = 65536;
bool ReadSample(const wchar_t* path, std::vector<unsigned char>& sample, bool& whole) {
  fw::UniqueHandle file(CreateFileW(path ? path : L"", GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size{};
  if (!file || !GetFileSizeEx(file.get(), &size)) return false;
  sample.resize(static_cast<size_t>(std::min<LONGLONG>(size.QuadPart, kSampleSize)));
  DWORD got = 0;
  if (!sample.empty() &&
      !ReadFile(file.get(), sample.data(), static_cast<DWORD>(sample.size()), &got, nullptr)) {
    return false;
  }
  sample.resize(got);
  whole = static_cast<LONGLONG>(got) >= size.QuadPart;
  return true;
}

bool StartsWithMark(const std::vector<unsigned char>& s) {
  return (s.size() >= 2 && ((s[0] == 0xFF && s[1] == 0xFE) || (s[0] == 0xFE && s[1] == 0xFF))) ||
         (s.size() >= 3 && s[0] == 0xEF && s[1] == 0xBB && s[2] == 0xBF) ||
         (s.size() >= 4 && s[0] == 0 && s[1] == 0 && s[2] == 0xFE && s[3] == 0xFF);
}

// Whether the sample is UTF-8 (a sample cut from a longer file is judged up
// to its last ASCII byte, so a character cut in two does not count).
bool IsUtf8(const std::vector<unsigned char>& sample, bool whole) {
  size_t size = sample.size();
  if (!whole) {
    while (size > 0 && sample[size - 1] >= 0x80) --size;
  }
  return size == 0 || MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS,
                                          reinterpret_cast<const char*>(sample.data()),
                                          static_cast<int>(size), nullptr, 0) > 0;
}

// Whether the charset name is one of the detector's Unicode names.
bool IsUnicodeName(const char* name) {
  return (name[0] == 'U' || name[0] == 'u') && (name[1] == 'T' || name[1] == 't') &&
         (name[2] == 'F' || name[2] == 'f');
}

void CopyName(char* charsetName, const char* name) {
  if (charsetName && std::strlen(name) < static_cast<size_t>(kCharsetNameSize)) {
    std::memcpy(charsetName, name, std::strlen(name) + 1);
  }
}

// Where ordinary text has its characters: Latin, Greek and Cyrillic, the
// general punctuation, CJK punctuation and kana, the unified ideographs,
// full-width forms, and surrogates (checked for order apart).
bool CommonInText(unsigned u) {
  return (u >= 0x0100 && u <= 0x052F) || (u >= 0x2000 && u <= 0x206F) ||
         (u >= 0x3000 && u <= 0x30FF) || (u >= 0x4E00 && u <= 0x9FFF) ||
         (u >= 0xD800 && u <= 0xDFFF) || (u >= 0xFF00 && u <= 0xFFEF);
}

bool IsCrOrLf(unsigned b) { return b == 0x0D || b == 0x0A; }

// How the units of a UTF-16 reading of the data look.
struct Utf16Reading {
  size_t units = 0;
  size_t zeroUnits = 0;   // U+0000
  size_t latin = 0;       // U+0001..U+00FF: a zero byte on the high side
  size_t structural = 0;  // of them: line ends, tabs, spaces, digits, ASCII punctuation
  size_t lineEnds = 0;    // of them: CR and LF
  size_t lowZero = 0;     // U+xx00 beyond U+00FF: a zero byte on the low side
  size_t rare = 0;        // beyond U+00FF and not CommonInText
  size_t asciiPairs = 0;  // beyond U+00FF with both bytes printable ASCII
  size_t strayCrLf = 0;   // CR or LF bytes inside other units
  bool invalid = false;   // a control character, a broken surrogate pair, U+FFFE/FFFF
};

Utf16Reading ReadAsUtf16(const unsigned char* data, size_t size, bool bigEndian) {
  Utf16Reading r;
  r.units = size / 2;
  bool wantLow = false;  // a low surrogate must come next
  for (size_t i = 0; i + 1 < size && !r.invalid; i += 2) {
    const unsigned hi = bigEndian ? data[i] : data[i + 1];
    const unsigned lo = bigEndian ? data[i + 1] : data[i];
    const unsigned u = hi << 8 | lo;
    const bool low = u >= 0xDC00 && u <= 0xDFFF;
    if (wantLow != low) {
      // A pair cut by the end of the data is no fault.
      r.invalid = !(wantLow && i + 2 >= size);
      break;
    }
    wantLow = u >= 0xD800 && u <= 0xDBFF;
    if (u == 0) {
      ++r.zeroUnits;
      continue;
    }
    if (u == 0xFFFE || u == 0xFFFF) r.invalid = true;
    if (u < 0x100) {
      ++r.latin;
      if ((u < 0x20 && u != 0x09 && !IsCrOrLf(u)) || (u >= 0x7F && u < 0xA0)) r.invalid = true;
      if (IsCrOrLf(u)) ++r.lineEnds;
      if (u < 0x41 || (u > 0x5A && u < 0x61) || (u > 0x7A && u < 0x7F)) ++r.structural;
      continue;
    }
    r.strayCrLf += IsCrOrLf(hi) + IsCrOrLf(lo);
    if (lo == 0) ++r.lowZero;
    if (!CommonInText(u)) ++r.rare;
    if (lo >= 0x20 && lo <= 0x7E && hi >= 0x20 && hi <= 0x7E) ++r.asciiPairs;
  }
  return r;
}

// Whether the reading looks like real UTF-16 text: its Latin characters
// (the zero bytes on one side) are there and are text, nothing is broken,
// and it does not look like an 8-bit or UTF-8 file with stray zero bytes
// (zero bytes on the wrong side of the units, the bytes of 8-bit line ends
// inside units, pairs of ASCII characters read as one unit, characters
// from blocks ordinary text does not use).
bool LooksLikeUtf16Text(const Utf16Reading& r) {
  if (r.invalid || r.latin < 2 || r.zeroUnits * 4 > r.units) return false;
  const size_t other = r.units - r.zeroUnits - r.latin;
  if (r.lowZero * 4 > r.latin + other / 4) return false;
  if (r.strayCrLf > r.lineEnds / 2 + r.units / 16) return false;
  // Mostly Latin text (English, say).
  if (r.latin * 4 >= (r.units - r.zeroUnits) * 3) return true;
  // Other text (Chinese, say) whose Latin characters are what such text
  // holds between its characters: line ends, spaces, digits, punctuation.
  if (r.asciiPairs * 4 > other * 3) return false;
  return r.structural >= 2 && r.rare * 8 <= r.units;
}

}  // namespace

FileEncoding Utf16WithoutMark(const unsigned char* data, unsigned long long size) {
  if (!data || size < 4) return EncAnsi;
  const Utf16Reading le = ReadAsUtf16(data, static_cast<size_t>(size), false);
  const Utf16Reading be = ReadAsUtf16(data, static_cast<size_t>(size), true);
  const bool isLe = LooksLikeUtf16Text(le);
  const bool isBe = LooksLikeUtf16Text(be);
  if (isLe && isBe) return be.latin > le.latin ? EncUtf16Be : EncUtf16;
  return isLe ? EncUtf16 : isBe ? EncUtf16Be : EncAnsi;
}

FileEncoding Utf16ByteOrder(const unsigned char* data, unsigned long long size) {
  if (!data || size < 2) return EncUtf16;
  if (data[0] == 0xFF && data[1] == 0xFE) return EncUtf16;
  if (data[0] == 0xFE && data[1] == 0xFF) return EncUtf16Be;
  unsigned long long evenZeros = 0, oddZeros = 0;
  for (unsigned long long i = 0; i + 1 < size; i += 2) {
    evenZeros += data[i] == 0;
    oddZeros += data[i + 1] == 0;
  }
  return evenZeros > oddZeros ? EncUtf16Be : EncUtf16;
}

FileEncoding DetectFileEncoding(const wchar_t* path, char* charsetName) {
  std::vector<unsigned char> sample;
  bool whole = false;
  if (!ReadSample(path, sample, whole)) {
    if (charsetName) charsetName[0] = '\0';
    return EncAnsi;
  }
  // The detector takes UTF-16 without a mark for something else ("" for
  // Chinese, "ASCII" for Latin text): the zero bytes tell.
  if (!StartsWithMark(sample)) {
    const FileEncoding utf16 = Utf16WithoutMark(sample.data(), sample.size());
    if (utf16 != EncAnsi) {
      CopyName(charsetName, utf16 == EncUtf16 ? "UTF-16LE" : "UTF-16BE");
      return utf16;
    }
  }

  Detector detector(uchardet_new());
  // Text mode, as the detector has always seen files: CR LF arrives as LF
  // and a 0x1A byte ends the data.
  Stream stream(path ? _wfopen(path, L"r") : nullptr);
  if (!detector || !stream) {
    if (charsetName) charsetName[0] = '\0';
    return EncAnsi;
  }
  if (!FeedDetector(detector.get(), stream.get())) return EncAnsi;
  uchardet_data_end(detector.get());
  const char* name = uchardet_get_charset(detector.get());
  if (!name) name = "";
  std::string chosen = name;
  FileEncoding result = EncAnsi;
  if (SameIgnoringAsciiCase(name, "UTF-8")) result = EncUtf8;
  if (SameIgnoringAsciiCase(name, "UTF-16")) result = EncUtf16;
  // The detector also names short GBK text "UTF-8": a name the bytes
  // contradict is not taken.
  if (result == EncUtf8 && !IsUtf8(sample, whole)) {
    result = EncAnsi;
    chosen.clear();
  }
  if (result == EncAnsi && (chosen.empty() || !IsUnicodeName(chosen.c_str()))) {
    chosen = ChooseLegacyCharset(sample.data(), sample.size(), whole, chosen.c_str(), GetACP());
  }
  CopyName(charsetName, chosen.c_str());
  detector.reset();
  stream.reset();

  if (result == EncUtf16) {
    // The detector does not say which byte order; the mark does.
    TFile file;
    file.Load(path);
    result = Utf16ByteOrder(file.Data(), file.Size());
  }
  return result;
}
