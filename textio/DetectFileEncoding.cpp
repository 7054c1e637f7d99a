#include "textio/DetectFileEncoding.h"

#include <uchardet/uchardet.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <algorithm>
#include <limits>
#include <type_traits>
#include <vector>

#include "fw/Handle.h"
#include "textio/LegacyCodePage.h"
#include "textio/TFile.h"
#include "textio/Utf8Scan.h"
#include "textio/ZeroBytes.h"

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

// Feeds `sample`, the whole file, to the detector as FeedDetector would
// feed it through a text-mode stream: CR LF arrives as LF and a 0x1A byte
// ends the data. False when the detector failed.
bool FeedDetectorWhole(uchardet_t detector, const std::vector<unsigned char>& sample) {
  const auto* end = static_cast<const unsigned char*>(std::memchr(sample.data(), 0x1A, sample.size()));
  const size_t size = end ? static_cast<size_t>(end - sample.data()) : sample.size();
  std::vector<char> text(size);
  size_t kept = 0;
  for (size_t i = 0; i < size; ++i) {
    text[kept] = static_cast<char>(sample[i]);
    // A CR is taken back when an LF follows it.
    kept += !(sample[i] == '\r' && i + 1 < size && sample[i + 1] == '\n');
  }
  return kept == 0 || uchardet_handle_data(detector, text.data(), kept) == 0;
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

bool StartsWithUtf16Or32Mark(const std::vector<unsigned char>& s) {
  return StartsWithMark(s) && !(s.size() >= 3 && s[0] == 0xEF && s[1] == 0xBB && s[2] == 0xBF);
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

// Short UTF-16 data with few zero bytes: its Latin characters (the zero
// bytes on one side) are there and are text, nothing is broken, and it
// does not look like an 8-bit or UTF-8 file with stray zero bytes (zero
// bytes on the wrong side of the units, the bytes of 8-bit line ends
// inside units, pairs of ASCII characters read as one unit).
bool HasUtf16Shape(const Utf16Reading& r) {
  if (!IsCleanUtf16(r) || r.latin < 2 || r.zeroUnits * 4 > r.units) return false;
  const size_t other = r.units - r.zeroUnits - r.latin;
  if (r.lowZero * 4 > r.latin + other / 4) return false;
  if (r.strayCrLf > r.lineEnds / 2 + r.units / 16) return false;
  // Mostly Latin text (English, say).
  if (r.latin * 4 >= (r.units - r.zeroUnits) * 3) return true;
  // Other text (Chinese, say) whose Latin characters are what such text
  // holds between its characters: line ends, spaces, digits, punctuation.
  if (r.asciiPairs * 4 > other * 3) return false;
  return r.structural >= 2;
}

// The cost (ChineseTextCost) of the data read as UTF-16 in one order.
long Utf16Cost(const unsigned char* data, size_t size, bool bigEndian) {
  std::wstring text(size / 2, L'\0');
  for (size_t i = 0; i + 1 < size; i += 2) {
    text[i / 2] = static_cast<wchar_t>(bigEndian ? data[i] << 8 | data[i + 1]
                                                 : data[i + 1] << 8 | data[i]);
  }
  return ChineseTextCost(text.data(), text.size());
}

// The cost of the data's best reading as 8-bit text or UTF-8: its zero
// bytes are no text and cost as an uncommon character each; the rest is
// read in every candidate code page that decodes it cleanly.
long EightBitCost(const unsigned char* data, size_t size) {
  std::string bytes;
  bytes.reserve(size);
  long zeros = 0;
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == 0) {
      ++zeros;
    } else {
      bytes.push_back(static_cast<char>(data[i]));
    }
  }
  long best = std::numeric_limits<long>::max();
  for (UINT cp : {static_cast<UINT>(CP_UTF8), GetACP(), 936u, 950u}) {
    const int n = MultiByteToWideChar(cp, MB_ERR_INVALID_CHARS, bytes.data(),
                                      static_cast<int>(bytes.size()), nullptr, 0);
    if (n <= 0 && !bytes.empty()) continue;
    std::wstring wide(static_cast<size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0) {
      MultiByteToWideChar(cp, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()),
                          wide.data(), n);
    }
    best = std::min(best, ChineseTextCost(wide.data(), wide.size()));
  }
  if (best == std::numeric_limits<long>::max()) return best;
  return best + zeros * UncommonCharacterCost();
}

// Whether the data is UTF-8 but for a few damaged places: many
// well-formed characters for each damaged one. A legacy Chinese text read
// as UTF-8 is damaged at most of its characters.
constexpr size_t kCharactersPerDamagedPlace = 16;
bool IsNearlyUtf8(const std::vector<unsigned char>& sample, bool whole) {
  size_t size = sample.size();
  if (!whole) {
    while (size > 0 && sample[size - 1] >= 0x80) --size;
  }
  const Utf8Tally tally = TallyUtf8(sample.data(), size);
  return tally.damaged > 0 && tally.damaged * kCharactersPerDamagedPlace <= tally.characters;
}

}  // namespace

FileEncoding Utf16WithoutMark(const unsigned char* data, unsigned long long size) {
  if (!data || size < 4) return EncAnsi;
  const auto n = static_cast<size_t>(size);
  switch (JudgeZeroBytes(data, n)) {
    case ZeroBytes::Utf16Le: return EncUtf16;
    case ZeroBytes::Utf16Be: return EncUtf16Be;
    case ZeroBytes::NotText: return EncAnsi;
    case ZeroBytes::Stray: break;
  }
  // Few zero bytes (a short file): the shape of each reading, then the two
  // readings weighed by how common their characters are. A reading's Latin
  // characters each hold a zero byte, and a shape needs two of them: data
  // with fewer zero bytes (8-bit text, UTF-8) is not read as UTF-16 at all.
  const void* zero = std::memchr(data, 0, n);
  if (zero == nullptr ||
      std::memchr(static_cast<const unsigned char*>(zero) + 1, 0,
                  n - static_cast<size_t>(static_cast<const unsigned char*>(zero) - data) - 1) ==
          nullptr) {
    return EncAnsi;
  }
  const bool isLe = HasUtf16Shape(ReadAsUtf16(data, n, false));
  const bool isBe = HasUtf16Shape(ReadAsUtf16(data, n, true));
  if (!isLe && !isBe) return EncAnsi;
  const long le = isLe ? Utf16Cost(data, n, false) : std::numeric_limits<long>::max();
  const long be = isBe ? Utf16Cost(data, n, true) : std::numeric_limits<long>::max();
  const bool bigEndian = be < le || (be == le && ReadAsUtf16(data, n, true).latin >
                                                     ReadAsUtf16(data, n, false).latin);
  if (std::min(le, be) >= EightBitCost(data, n)) return EncAnsi;
  return bigEndian ? EncUtf16Be : EncUtf16;
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
  // UTF-8 with a few damaged bytes (a character cut short, a stray byte):
  // the detector gives up on UTF-8 at the first of them and names a legacy
  // code page, which would garble every character of the file.
  if (IsNearlyUtf8(sample, whole) && !StartsWithUtf16Or32Mark(sample)) {
    CopyName(charsetName, "UTF-8");
    return EncUtf8;
  }

  Detector detector(uchardet_new());
  // Text mode, as the detector has always seen files: CR LF arrives as LF
  // and a 0x1A byte ends the data. A file the sample holds whole is not
  // opened again (under Wine each opening is a few round trips to another
  // process, and a queue of a thousand subtitles paid them for each).
  Stream stream(path && !whole ? _wfopen(path, L"r") : nullptr);
  if (!detector || (!whole && !stream)) {
    if (charsetName) charsetName[0] = '\0';
    return EncAnsi;
  }
  if (!(whole ? FeedDetectorWhole(detector.get(), sample)
              : FeedDetector(detector.get(), stream.get()))) {
    return EncAnsi;
  }
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

  if (result == EncUtf16 && whole) {
    // The detector does not say which byte order; the mark does.
    result = Utf16ByteOrder(sample.data(), sample.size());
  } else if (result == EncUtf16) {
    TFile file;
    file.Load(path);
    result = Utf16ByteOrder(file.Data(), file.Size());
  }
  return result;
}
