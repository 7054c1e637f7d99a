// Measures how often short Chinese files in a legacy encoding are read
// right: draws random texts of 2, 4, 8, 16 and 40 characters from real
// Simplified and real Traditional text (UTF-8 files given on the command
// line), encodes them in GBK and Big5, writes each to a file and reads it
// as the file page would, before and after the content check:
//   before: the detector's name alone (uchardet, mapped by
//           CodePageForCharset; the system code page where it names none)
//   after:  DetectFileEncoding and CodePageForDetectedFile
// A text counts when the reader's UTF-8 is exactly the original. Prints
// one line per script and length. Not a test and not timed: a measurement.
//   detection_table.exe SIMPLIFIED.txt TRADITIONAL.txt [COUNT [SEED]]
#include <windows.h>

#include <uchardet/uchardet.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "textio/Charsets.h"
#include "textio/DetectFileEncoding.h"
#include "textio/MakeReader.h"
#include "textio/TReaderAnsi.h"

namespace {

std::wstring Wide(const std::string& s, UINT cp = CP_UTF8) {
  int n = MultiByteToWideChar(cp, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring w(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(cp, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
  return w;
}

std::string Narrow(const std::wstring& w, UINT cp, bool* lost = nullptr) {
  BOOL used = FALSE;
  const bool utf = cp == CP_UTF8;
  int n = WideCharToMultiByte(cp, utf ? 0 : WC_NO_BEST_FIT_CHARS, w.data(),
                              static_cast<int>(w.size()), nullptr, 0, nullptr,
                              utf ? nullptr : &used);
  std::string s(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(cp, utf ? 0 : WC_NO_BEST_FIT_CHARS, w.data(), static_cast<int>(w.size()),
                      s.data(), n, nullptr, utf ? nullptr : &used);
  if (lost) *lost = used != FALSE;
  return s;
}

std::string ReadBytes(const wchar_t* path) {
  std::string out;
  FILE* f = _wfopen(path, L"rb");
  if (!f) return out;
  char buf[65536];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
  fclose(f);
  return out;
}

bool IsHan(wchar_t c) { return (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0x3400 && c <= 0x4DBF); }
bool IsCjkPunct(wchar_t c) { return (c >= 0x3001 && c <= 0x303F) || (c >= 0xFF01 && c <= 0xFF5E); }

// Random windows of `length` consecutive characters of running Chinese
// text (ideographs and Chinese punctuation, starting with an ideograph)
// that the code page can encode.
std::vector<std::wstring> Draw(const std::wstring& corpus, size_t length, int count, UINT cp,
                               std::mt19937& rng) {
  std::vector<std::wstring> out;
  std::uniform_int_distribution<size_t> pick(0, corpus.size() - length - 1);
  for (int tries = 0; static_cast<int>(out.size()) < count && tries < count * 100000; ++tries) {
    size_t at = pick(rng);
    if (!IsHan(corpus[at])) continue;
    bool ok = true;
    for (size_t i = 0; i < length && ok; ++i) ok = IsHan(corpus[at + i]) || IsCjkPunct(corpus[at + i]);
    if (!ok) continue;
    std::wstring text = corpus.substr(at, length);
    bool lost = false;
    Narrow(text, cp, &lost);
    if (!lost) out.push_back(text);
  }
  return out;
}

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
  FILE* f = _wfopen(path.c_str(), L"wb");
  if (!f) return false;
  fwrite(bytes.data(), 1, bytes.size(), f);
  fclose(f);
  return true;
}

// The detector's name as the program asked for it before: the whole file,
// read in text mode.
std::string DetectorName(const std::wstring& path) {
  uchardet_t d = uchardet_new();
  std::string bytes = ReadBytes(path.c_str());
  uchardet_handle_data(d, bytes.data(), bytes.size());
  uchardet_data_end(d);
  std::string name = uchardet_get_charset(d);
  uchardet_delete(d);
  return name;
}

// What the file page's reader hands out for the file.
std::string ReadAs(const std::wstring& path, FileEncoding encoding, UINT cp) {
  auto reader = MakeReader(encoding, cp);
  reader->GetLineBuffer(1 << 20);
  if (auto* ansi = dynamic_cast<TReaderAnsi*>(reader.get())) ansi->GetUtf8Buffer(1 << 20);
  reader->Load(path.c_str());
  std::string text;
  const char* line = nullptr;
  while (int n = reader->ReadLine(&line, nullptr)) text.append(line, static_cast<size_t>(n));
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: detection_table SIMPLIFIED.txt TRADITIONAL.txt [COUNT [SEED]]\n");
    return 2;
  }
  const int count = argc > 3 ? std::atoi(argv[3]) : 200;
  std::mt19937 rng(argc > 4 ? static_cast<unsigned>(std::atoi(argv[4])) : 2026u);
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring file = std::wstring(temp) + L"tarnwell-detection-sample.txt";
  std::printf("code page %u\n", GetACP());
  const struct {
    const char* label;
    int arg;
    UINT cp;
  } scripts[] = {{"GBK (Simplified)", 1, 936}, {"Big5 (Traditional)", 2, 950}};
  for (const auto& script : scripts) {
    const std::wstring corpus = Wide(ReadBytes(Wide(argv[script.arg]).c_str()));
    for (size_t length : {2, 4, 8, 16, 40}) {
      std::vector<std::wstring> texts = Draw(corpus, length, count, script.cp, rng);
      int before = 0, after = 0;
      std::string misses;
      for (const std::wstring& text : texts) {
        WriteBytes(file, Narrow(text, script.cp));
        const std::string expected = Narrow(text, CP_UTF8);
        const std::string name = DetectorName(file);
        FileEncoding oldEncoding = name == "UTF-8" ? EncUtf8 : EncAnsi;
        before += ReadAs(file, oldEncoding, oldEncoding == EncAnsi ? CodePageForCharset(name.c_str()) : 0) == expected;
        char chosen[kCharsetNameSize] = {};
        FileEncoding encoding = DetectFileEncoding(file.c_str(), chosen);
        const UINT cp = encoding == EncAnsi ? CodePageForDetectedFile(file.c_str(), chosen) : 0;
        const bool right = ReadAs(file, encoding, cp) == expected;
        after += right;
        if (!right && misses.size() < 300) {
          misses += ' ';
          misses += Narrow(text, CP_UTF8);
          misses += '(';
          misses += chosen;
          misses += ')';
        }
      }
      std::printf("%-19s %2zu chars: %3zu texts, before %3d, after %3d%s%s\n", script.label, length,
                  texts.size(), before, after, misses.empty() ? "" : "; missed:", misses.c_str());
    }
  }
  DeleteFileW(file.c_str());
  return 0;
}
