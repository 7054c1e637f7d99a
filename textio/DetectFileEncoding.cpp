#include "textio/DetectFileEncoding.h"

#include <uchardet/uchardet.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <type_traits>
#include <vector>

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

}  // namespace

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
  if (charsetName && std::strlen(name) < static_cast<size_t>(kCharsetNameSize)) {
    std::memcpy(charsetName, name, std::strlen(name) + 1);
  }
  FileEncoding result = EncAnsi;
  if (SameIgnoringAsciiCase(name, "UTF-8")) result = EncUtf8;
  if (SameIgnoringAsciiCase(name, "UTF-16")) result = EncUtf16;
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
