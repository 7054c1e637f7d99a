// Files read in the code page their detector named: the name table against
// what this system really decodes, the UTF-32 readers, and whole jobs over
// Big5, GB18030, Shift_JIS and EUC-KR files under either Chinese system.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "config/CfgStore.h"
#include "engine/ConvConfigs.h"
#include "engine/ConvNotify.h"
#include "engine/ConvWorker.h"
#include "glyphmap/glyphmap.h"
#include "pages/FileJob.h"
#include "textio/Charsets.h"
#include "textio/DetectFileEncoding.h"
#include "textio/MakeReader.h"
#include "tests/support/EngineConvert.h"
#include "tests/support/JobPage.h"
#include "tests/support/NotifySink.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestText.h"

using namespace testing_support;

namespace {

TEST(CharsetTable, EveryCodePageItNamesDecodesItsScript) {
  struct Row {
    const char* charset;
    const wchar_t* sample;
  };
  const Row rows[] = {
      {"BIG5", L"頭髮後來發展，臺灣"},      {"GB18030", L"头发后来发展，台湾"},
      {"GB2312", L"头发后来"},                {"SHIFT_JIS", L"ひらがなカタカナ漢字"},
      {"EUC-JP", L"ひらがなカタカナ漢字"},  {"EUC-KR", L"한국어 문장"},
      {"UHC", L"한국어 문장"},                {"WINDOWS-1250", L"Příliš žluťoučký"},
      {"WINDOWS-1251", L"Привет мир"},        {"WINDOWS-1252", L"Café déjà vu €"},
      {"WINDOWS-1253", L"Καλημέρα"},          {"WINDOWS-1255", L"שלום עולם"},
      {"WINDOWS-1256", L"مرحبا بالعالم"},     {"WINDOWS-1257", L"Ąžuolas ėjo"},
      {"WINDOWS-1258", L"Đương Ơn ư"},        {"ISO-8859-1", L"Café déjà"},
      {"ISO-8859-2", L"Příliš žluťoučký"},    {"ISO-8859-5", L"Привет мир"},
      {"ISO-8859-7", L"Καλημέρα"},            {"ISO-8859-8", L"שלום עולם"},
      {"ISO-8859-9", L"Güneşli gün"},         {"ISO-8859-15", L"Café €"},
      {"ISO-8859-11", L"ภาษาไทย"},           {"TIS-620", L"ภาษาไทย"},
      {"KOI8-R", L"Привет мир"},              {"IBM866", L"Привет мир"},
      {"IBM855", L"Привет мир"},              {"MAC-CYRILLIC", L"Привет мир"},
  };
  int mapped = 0;
  for (const Row& row : rows) {
    UINT cp = CodePageForCharset(row.charset);
    std::printf("[ table    ] %-14s -> %u\n", row.charset, cp);
    if (cp == 0) continue;  // not on this system: the system's code page then
    ++mapped;
    EXPECT_TRUE(IsValidCodePage(cp)) << row.charset;
    std::string bytes = Encode(row.sample, cp);
    EXPECT_EQ(Decode(bytes, cp), row.sample) << row.charset << " in " << cp;
  }
  EXPECT_GE(mapped, 25);
  // The Chinese ones must be there on either system.
  EXPECT_EQ(CodePageForCharset("BIG5"), 950u);
  EXPECT_EQ(CodePageForCharset("big5"), 950u);
  EXPECT_NE(CodePageForCharset("GB18030"), 0u);
}

TEST(CharsetTable, NamesWithoutACodePageKeepTheSystems) {
  for (const char* name : {"", "ASCII", "UTF-8", "UTF-16", "EUC-TW", "VISCII", "no such name"}) {
    EXPECT_EQ(CodePageForCharset(name), 0u) << name;
  }
  EXPECT_EQ(CodePageForCharset(nullptr), 0u);
}

// Reads a whole file through the reader for (encoding, code page).
std::string ReadAll(const std::wstring& path, UINT codePage, std::uint64_t* raw = nullptr) {
  auto reader = MakeReader(EncAnsi, codePage);
  reader->GetLineBuffer(1 << 20);
  reader->Load(path.c_str());
  std::string text;
  const char* line = nullptr;
  std::uint64_t length = 0, total = 0;
  while (int n = reader->ReadLine(&line, &length)) {
    text.append(line, static_cast<size_t>(n));
    total += length;
  }
  if (raw) *raw = total;
  return text;
}

std::string Utf32(const std::wstring& text, bool bigEndian) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    uint32_t cp = text[i];
    if (IS_HIGH_SURROGATE(text[i]) && i + 1 < text.size()) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (text[++i] - 0xDC00);
    }
    for (int b = 0; b < 4; ++b) {
      int shift = bigEndian ? 24 - 8 * b : 8 * b;
      out += static_cast<char>((cp >> shift) & 0xFF);
    }
  }
  return out;
}

TEST(Utf32Reader, BothByteOrdersWithTheirMarksAndLines) {
  TempDir dir;
  const std::wstring text = L"\uFEFF头发\r\n第二行 \U00020000\r\n最后";
  for (bool be : {false, true}) {
    std::wstring path = dir / (be ? L"be.txt" : L"le.txt");
    std::string bytes = Utf32(text, be) + "\x01\x02";  // two stray bytes at the end: U+FFFD
    WriteFileBytes(path, bytes);
    char name[kCharsetNameSize] = {};
    DetectFileEncoding(path.c_str(), name);
    EXPECT_STREQ(name, "UTF-32");
    UINT cp = CodePageForDetectedFile(path.c_str(), name);
    EXPECT_EQ(cp, be ? kCodePageUtf32Be : kCodePageUtf32Le);
    std::uint64_t raw = 0;
    EXPECT_EQ(ReadAll(path, cp, &raw), Utf8(text) + "\xEF\xBF\xBD");
    EXPECT_EQ(raw, bytes.size());
  }
  // A unit that is no character becomes U+FFFD.
  std::wstring path = dir / L"bad.txt";
  WriteFileBytes(path, std::string("\x41\0\0\0\x00\xD8\0\0\x00\x00\x11\x00", 12));
  EXPECT_EQ(ReadAll(path, kCodePageUtf32Le), "A\xEF\xBF\xBD\xEF\xBF\xBD");
}


class DetectedCodePageJob : public ::testing::Test {
 protected:
  TempDir dir{L"代码页"};
  JobPage page{dir / L"Tarnwell.cfg"};
  void SetUp() override {
    CreateDirectoryW((dir / L"out").c_str(), nullptr);
    page.store.WriteString(CFGKEY_OUTPUT_DIR, (dir / L"out").c_str());
  }
  // Queues a file as the file page does with automatic detection.
  std::string Queue(const std::wstring& path) {
    char name[kCharsetNameSize] = {};
    FileEncoding encoding = DetectFileEncoding(path.c_str(), name);
    FileEntry entry;
    MakeFileEntry(path.c_str(), encoding, entry, CodePageForDetectedFile(path.c_str(), name));
    page.entries.push_back(entry);
    return name;
  }
  std::string Output(const std::wstring& name) { return ReadFileBytes(dir / (L"out\\" + name)); }
};

TEST_F(DetectedCodePageJob, ChineseFilesInTheirOwnCodePagesUnderEitherSystem) {
  std::printf("[ system   ] ANSI code page %u\n", GetACP());
  const std::wstring bin = ExeFolder();
  const std::string traditional = ReadFileBytes(bin + L"\\textio_zh_hant.txt");
  const std::string simplified = ReadFileBytes(bin + L"\\textio_zh_hans.txt");
  ASSERT_FALSE(traditional.empty());
  ASSERT_FALSE(simplified.empty());

  CopyFileW((bin + L"\\textio_zh_hant.big5").c_str(), (dir / L"big5.txt").c_str(), FALSE);
  EXPECT_EQ(Queue(dir / L"big5.txt"), "BIG5");
  page.direction = Tra2Sim;
  page.RunToEnd();
  EXPECT_EQ(Output(L"big5.txt"), EngineConvert(traditional, Tra2Sim));

  page.entries.clear();
  CopyFileW((bin + L"\\textio_zh_hans.gb18030").c_str(), (dir / L"gb.txt").c_str(), FALSE);
  EXPECT_EQ(Queue(dir / L"gb.txt"), "GB18030");
  page.direction = Sim2Tra;
  page.RunToEnd();
  EXPECT_EQ(Output(L"gb.txt"), EngineConvert(simplified, Sim2Tra));
}

// The first `count` runs of `length` ideographs of a sample text.
std::vector<std::wstring> ShortTexts(const std::wstring& text, size_t length, size_t count) {
  std::vector<std::wstring> out;
  for (size_t at = 0; at + length <= text.size() && out.size() < count; ++at) {
    bool ideographs = true;
    for (size_t i = 0; i < length; ++i) ideographs = ideographs && text[at + i] >= 0x4E00;
    if (!ideographs) continue;
    out.push_back(text.substr(at, length));
    at += length;
  }
  return out;
}

TEST_F(DetectedCodePageJob, ShortGbkAndBig5FilesAreReadRightUnderEitherSystem) {
  // Four and eight characters: the detector alone misnames most of them.
  const std::wstring bin = ExeFolder();
  const struct {
    const wchar_t* sample;
    UINT codePage;
    ConvDirection direction;
  } scripts[] = {{L"\\textio_zh_hans.txt", 936, Sim2Tra}, {L"\\textio_zh_hant.txt", 950, Tra2Sim}};
  for (const auto& script : scripts) {
    const std::wstring text = Wide(ReadFileBytes(bin + script.sample));
    std::vector<std::wstring> texts = ShortTexts(text, 4, 8);
    for (const std::wstring& t : ShortTexts(text.substr(text.size() / 2), 8, 4)) texts.push_back(t);
    ASSERT_EQ(texts.size(), 12u);
    page.entries.clear();
    page.direction = script.direction;
    std::vector<std::string> names;
    for (size_t i = 0; i < texts.size(); ++i) {
      const std::wstring name = L"short" + std::to_wstring(script.codePage) + L"-" + std::to_wstring(i) + L".txt";
      WriteFileBytes(dir / name, Encode(texts[i], script.codePage));
      names.push_back(Queue(dir / name));
    }
    page.RunToEnd();
    for (size_t i = 0; i < texts.size(); ++i) {
      const std::wstring name = L"short" + std::to_wstring(script.codePage) + L"-" + std::to_wstring(i) + L".txt";
      EXPECT_EQ(Output(name), EngineConvert(Utf8(texts[i]), script.direction))
          << Utf8(texts[i]) << " read as " << names[i];
    }
  }
}

TEST_F(DetectedCodePageJob, Utf16FilesWithoutAMarkAreReadAsUtf16) {
  const std::wstring text = L"头发后来，发展得很快。\r\n第二行 line two\r\n最后一行";
  std::string le(reinterpret_cast<const char*>(text.data()), text.size() * 2);
  std::string be = le;
  for (size_t i = 0; i + 1 < be.size(); i += 2) std::swap(be[i], be[i + 1]);
  WriteFileBytes(dir / L"le.txt", le);
  WriteFileBytes(dir / L"be.txt", be);
  EXPECT_EQ(Queue(dir / L"le.txt"), "UTF-16LE");
  EXPECT_EQ(Queue(dir / L"be.txt"), "UTF-16BE");
  page.RunToEnd();
  const std::string expected = EngineConvert(Utf8(text), Sim2Tra);
  EXPECT_EQ(Output(L"le.txt"), expected);
  EXPECT_EQ(Output(L"be.txt"), expected);
}

TEST_F(DetectedCodePageJob, JapaneseAndKoreanTextPassesThroughUnchanged) {
  const std::wstring japanese =
      L"これはテストです。ひらがなとカタカナだけで書いてあります。\r\n"
      L"もういちど、ひらがなとカタカナのぶんしょうをかきます。\r\n";
  const std::wstring korean =
      L"이것은 한국어 문장입니다. 변환기가 이 글을 바꾸지 않아야 합니다.\r\n"
      L"두 번째 줄도 그대로 남아야 합니다.\r\n";
  WriteFileBytes(dir / L"sjis.txt", Encode(japanese, 932));
  WriteFileBytes(dir / L"euckr.txt", Encode(korean, 949));
  std::string sjis = Queue(dir / L"sjis.txt");
  std::string euckr = Queue(dir / L"euckr.txt");
  std::printf("[ detected ] %s, %s\n", sjis.c_str(), euckr.c_str());
  page.RunToEnd();
  EXPECT_EQ(Output(L"sjis.txt"), Utf8(japanese));
  EXPECT_EQ(Output(L"euckr.txt"), Utf8(korean));
}

TEST_F(DetectedCodePageJob, AManualAnsiChoiceReadsTheSystemsCodePageAgain) {
  const std::wstring bin = ExeFolder();
  CopyFileW((bin + L"\\textio_zh_hant.big5").c_str(), (dir / L"big5.txt").c_str(), FALSE);
  FileEntry entry;
  MakeFileEntry((dir / L"big5.txt").c_str(), EncAnsi, entry);  // chosen by hand: no code page
  page.entries.push_back(entry);
  page.direction = Tra2Sim;
  page.RunToEnd();
  std::string big5 = ReadFileBytes(dir / L"big5.txt");
  std::wstring asSystem = Decode(big5, CP_ACP);
  EXPECT_EQ(Output(L"big5.txt"), EngineConvert(Utf8(asSystem), Tra2Sim));
}

}  // namespace
