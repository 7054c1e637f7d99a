// The reader family over real files: line cutting, byte-order marks, the
// four encodings, and the files a job must not mistake for good ones.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <numeric>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "fw/Handle.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestText.h"
#include "textio/ByteSearch.h"
#include "textio/MakeReader.h"
#include "textio/TReaderAnsi.h"
#include "textio/TReaderUtf16.h"

using testing_support::Encode;
using testing_support::ExeFolder;
using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::Utf8;
using testing_support::WriteFileBytes;

namespace {

struct Line {
  std::string text;
  std::uint64_t raw;
};

std::vector<Line> ReadAll(TReader& reader) {
  std::vector<Line> lines;
  const char* p = nullptr;
  std::uint64_t raw = 0;
  for (int guard = 0; guard < 100000; ++guard) {
    std::int32_t n = reader.ReadLine(&p, &raw);
    if (n == 0) break;
    lines.push_back({std::string(p, static_cast<size_t>(n)), raw});
  }
  return lines;
}

std::vector<std::string> Texts(const std::vector<Line>& lines) {
  std::vector<std::string> out;
  for (const Line& l : lines) out.push_back(l.text);
  return out;
}

std::uint64_t RawTotal(const std::vector<Line>& lines) {
  return std::accumulate(lines.begin(), lines.end(), std::uint64_t{0},
                         [](std::uint64_t sum, const Line& l) { return sum + l.raw; });
}

std::string Utf16Le(std::wstring_view text) {
  std::string out;
  for (wchar_t c : text) {
    out.push_back(static_cast<char>(c & 0xFF));
    out.push_back(static_cast<char>((c >> 8) & 0xFF));
  }
  return out;
}

std::string Utf16Be(std::wstring_view text) {
  std::string out;
  for (wchar_t c : text) {
    out.push_back(static_cast<char>((c >> 8) & 0xFF));
    out.push_back(static_cast<char>(c & 0xFF));
  }
  return out;
}

std::string WithCrLf(const std::string& lfText) {
  std::string out;
  for (char c : lfText) {
    if (c == '\n') out.push_back('\r');
    out.push_back(c);
  }
  return out;
}

// Reader set up as the job sets it up: 1 MiB buffers, then one Load.
std::unique_ptr<TReader> LoadReader(FileEncoding encoding, const std::wstring& path,
                                    UINT codePage = CP_ACP) {
  std::unique_ptr<TReader> reader = MakeReader(encoding);
  reader->GetLineBuffer(1048576);
  if (auto* ansi = dynamic_cast<TReaderAnsi*>(reader.get())) {
    ansi->GetUtf8Buffer(1048576);
    ansi->SetCodePage(codePage);
  }
  reader->Load(path.c_str());
  return reader;
}

class ReaderTest : public ::testing::Test {
 protected:
  std::wstring File(const std::string& bytes, const std::wstring& name = L"文本.txt") {
    std::wstring path = dir_ / name;
    EXPECT_TRUE(WriteFileBytes(path, bytes));
    return path;
  }
  std::vector<Line> ReadFile(FileEncoding encoding, const std::string& bytes,
                             UINT codePage = CP_ACP) {
    auto reader = LoadReader(encoding, File(bytes), codePage);
    std::vector<Line> lines = ReadAll(*reader);
    EXPECT_FALSE(reader->ReadFailed());
    EXPECT_EQ(RawTotal(lines), bytes.size()) << "raw lengths must cover the file";
    return lines;
  }
  TempDir dir_{L"textio-读取"};
};

using Texts_ = std::vector<std::string>;

TEST_F(ReaderTest, Utf8LinesKeepTheirCrLfAndTheLastNeedsNone) {
  auto lines = ReadFile(EncUtf8, "a\r\nbb\r\n\r\nccc");
  EXPECT_EQ(Texts(lines), (Texts_{"a\r\n", "bb\r\n", "\r\n", "ccc"}));
  EXPECT_EQ(lines[1].raw, 4u);

  // LF ends a line too, as it is; a lone CR stays inside its line.
  EXPECT_EQ(Texts(ReadFile(EncUtf8, "one\ntwo\rthree\n\r\nfour")),
            (Texts_{"one\n", "two\rthree\n", "\r\n", "four"}));
  // The mark is handed on as the start of the first line.
  EXPECT_EQ(Texts(ReadFile(EncUtf8, "\xEF\xBB\xBF中\r\n")), (Texts_{"\xEF\xBB\xBF中\r\n"}));
}

// Line ends are found sixteen or eight bytes at a time: every place in a
// block and past it, with bytes around it that differ from it only in the
// high bit or by one (where a word-wise test could be fooled).
TEST(ByteSearch, FindsTheFirstLineEndAtEveryPlaceOrNoneWhenThereIsNone) {
  for (std::size_t size = 0; size <= 40; ++size) {
    std::vector<unsigned char> bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = (i % 3 == 0) ? 0x8A : (i % 3 == 1) ? 0x0B : 0x09;
    EXPECT_EQ(FindByte(bytes.data(), size, 0x0A), nullptr) << size;
    EXPECT_EQ(FindByteInWords(bytes.data(), size, 0x0A), nullptr) << size;
    for (std::size_t at = 0; at < size; ++at) {
      std::vector<unsigned char> with = bytes;
      with[at] = 0x0A;
      if (at + 1 < size) with[size - 1] = 0x0A;  // a later one must not be taken
      EXPECT_EQ(FindByte(with.data(), size, 0x0A), with.data() + at) << size << " " << at;
      EXPECT_EQ(FindByteInWords(with.data(), size, 0x0A), with.data() + at) << size << " " << at;
    }
  }
}

TEST_F(ReaderTest, ZeroByteIsDataAndLinesGoOnPastIt) {
  const std::string bytes("a\r\nb\0c\r\nd\r\n", 11);
  const Texts_ lines{"a\r\n", std::string("b\0c\r\n", 5), "d\r\n"};
  EXPECT_EQ(Texts(ReadFile(EncUtf8, bytes)), lines);
  // The same in the ANSI reader, with the zero carried into the UTF-8.
  EXPECT_EQ(Texts(ReadFile(EncAnsi, bytes)), lines);
}

TEST_F(ReaderTest, ExhaustedReaderKeepsReturningZero) {
  auto reader = LoadReader(EncUtf8, File("x\r\n"));
  EXPECT_EQ(ReadAll(*reader).size(), 1u);
  const char* p = nullptr;
  std::uint64_t raw = 77;
  EXPECT_EQ(reader->ReadLine(&p, &raw), 0);
  EXPECT_EQ(reader->ReadLine(&p, nullptr), 0);
  EXPECT_EQ(raw, 77u) << "rawLength is written only for a line";
  EXPECT_FALSE(reader->ReadFailed());
}

// Counts OnLoaded calls: the hook runs at the end of every Load.
class HookedReader : public TReader {
 public:
  void OnLoaded() override { ++loaded; }
  int loaded = 0;
};

TEST_F(ReaderTest, EmptyFileIsToldApartFromOneThatCannotBeRead) {
  for (FileEncoding e : {EncAnsi, EncUtf16, EncUtf16Be, EncUtf8}) {
    auto reader = LoadReader(e, File(""));
    EXPECT_EQ(reader->LastLoadStatus(), LoadStatus::Empty) << e;
    const char* p = nullptr;
    EXPECT_EQ(reader->ReadLine(&p, nullptr), 0) << e;
    EXPECT_FALSE(reader->ReadFailed()) << e;
  }

  HookedReader reader;
  EXPECT_EQ(reader.Load((dir_ / L"没有.txt").c_str()), FALSE);
  EXPECT_EQ(reader.LastLoadStatus(), LoadStatus::OpenFailed);
  EXPECT_EQ(reader.loaded, 1);

  // Held open by another handle: the reader shares with nobody, so it must
  // not read a file that someone may be writing.
  std::wstring held = File("data\r\n", L"held.txt");
  fw::UniqueHandle other(CreateFileW(held.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                     OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(other);
  EXPECT_EQ(reader.Load(held.c_str()), FALSE);
  EXPECT_EQ(reader.LastLoadStatus(), LoadStatus::OpenFailed);
  EXPECT_EQ(reader.loaded, 2);
  other.reset();
  EXPECT_NE(reader.Load(held.c_str()), FALSE);
  EXPECT_EQ(reader.LastLoadStatus(), LoadStatus::Loaded);
  EXPECT_EQ(reader.Size(), 6u);
  EXPECT_EQ(reader.loaded, 3);
}

TEST_F(ReaderTest, FileOf4GiBOrMoreIsRefusedNotCutShort) {
  // 4 GiB + 10 bytes, sparse: its low 32 bits say 10, which must not pass
  // for the whole file.
  std::wstring path = dir_ / L"huge.txt";
  {
    fw::UniqueHandle f(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(f);
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(f.get(), "0123456789", 10, &written, nullptr));
    LARGE_INTEGER end;
    end.QuadPart = 0x100000000LL + 10;
    ASSERT_TRUE(SetFilePointerEx(f.get(), end, nullptr, FILE_BEGIN));
    ASSERT_TRUE(SetEndOfFile(f.get()));
  }
  auto reader = LoadReader(EncUtf8, path);
  EXPECT_EQ(reader->LastLoadStatus(), LoadStatus::TooLarge);
  EXPECT_EQ(reader->Size(), 0u);
  const char* p = nullptr;
  EXPECT_EQ(reader->ReadLine(&p, nullptr), 0);
}

TEST_F(ReaderTest, LineBufferGrowsOnlyAndComesBackZeroed) {
  TReader reader;
  EXPECT_EQ(reader.GetLineBuffer(0), nullptr) << "no buffer yet";
  char* first = reader.GetLineBuffer(16);
  ASSERT_NE(first, nullptr);
  std::memset(first, 'x', 16);
  char* again = reader.GetLineBuffer(8);
  EXPECT_EQ(again, first) << "a smaller request keeps the buffer";
  EXPECT_EQ(std::string(again, 8), std::string(8, '\0')) << "the bytes asked for are cleared";
  EXPECT_EQ(reader.GetLineBuffer(-5), first);

  // Lines longer than the starting capacity still come out whole.
  std::string longLine(3 * 1048576 + 5, 'q');
  auto lines = ReadFile(EncUtf8, longLine + "\r\nend");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].text, longLine + "\r\n");
  EXPECT_EQ(lines[1].text, "end");
}

TEST_F(ReaderTest, Utf16WithMarkBecomesUtf8WithMark) {
  const std::wstring text = L"\xFEFF甲\r\n𠀀乙\r\nz";
  auto lines = ReadFile(EncUtf16, Utf16Le(text));
  EXPECT_EQ(Texts(lines), (Texts_{"\xEF\xBB\xBF甲\r\n", "𠀀乙\r\n", "z"}));
  EXPECT_EQ(lines[0].raw, 8u);
  EXPECT_EQ(lines[1].raw, 10u);

  // LF units end lines; a lone CR stays inside; a zero unit is data; a
  // 0x0A byte inside another unit (U+0A0D, U+4E0A) is no line end.
  EXPECT_EQ(Texts(ReadFile(EncUtf16, Utf16Le(std::wstring(L"A\nB\rC\0D\r\n\u0A0D\u4E0A\nE", 13)))),
            (Texts_{"A\n", std::string("B\rC\0D\r\n", 7), "\u0A0D\u4E0A\n", "E"}));
}

TEST_F(ReaderTest, AnOddLastUtf16ByteBecomesAReplacementNotNothing) {
  auto reader = LoadReader(EncUtf16, File(Utf16Le(L"a\r\nb") + "\x7F"));
  auto lines = ReadAll(*reader);
  EXPECT_EQ(Texts(lines), (Texts_{"a\r\n", "b\xEF\xBF\xBD"}));
  EXPECT_EQ(lines[1].raw, 3u);
  EXPECT_EQ(reader->Replacements(), 1u);

  // Alone after the last line end, it is a line of its own; a surrogate
  // without its partner is one more place.
  reader = LoadReader(EncUtf16, File(Utf16Le(L"a\xD800\r\n") + "\x7F"));
  EXPECT_EQ(Texts(ReadAll(*reader)), (Texts_{"a\xEF\xBF\xBD\r\n", "\xEF\xBF\xBD"}));
  EXPECT_FALSE(reader->ReadFailed());
  EXPECT_EQ(reader->Replacements(), 2u);
}

// A damaged place becomes U+FFFD and is counted; the line end after it and
// every good character stay, in UTF-8 and in a legacy code page alike.
TEST_F(ReaderTest, DamagedBytesBecomeReplacementsAndNoLineEndIsLost) {
  // UTF-8: 乙 with its last byte lost before CR LF, and a stray byte.
  auto utf8 = LoadReader(EncUtf8, File("\xE7\x94\xB2\xE4\xB9\r\n\x80z\r\n\xE4\xB8\x99"));
  EXPECT_EQ(Texts(ReadAll(*utf8)), (Texts_{"甲\xEF\xBF\xBD\r\n", "\xEF\xBF\xBDz\r\n", "丙"}));
  EXPECT_EQ(utf8->Replacements(), 2u);

  // GBK: a lead byte whose trail byte is a CR, and one cut off by the end.
  auto gbk = LoadReader(EncAnsi, File("\xBC\xD7\x81\r\nok\r\n\xD2\xD2\xB1"), 936);
  EXPECT_EQ(Texts(ReadAll(*gbk)), (Texts_{"甲\xEF\xBF\xBD\r\n", "ok\r\n", "乙\xEF\xBF\xBD"}));
  EXPECT_FALSE(gbk->ReadFailed());
  EXPECT_EQ(gbk->Replacements(), 2u);
}

TEST_F(ReaderTest, BigEndianDataIsSwappedInPlaceThenReadAsLittleEndian) {
  auto reader = LoadReader(EncUtf16Be, File(std::string("\xFE\xFF\x00\x41\x00\x0D\x00\x0A", 8)));
  ASSERT_EQ(reader->Size(), 8u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(reader->Data()), 8),
            std::string("\xFF\xFE\x41\x00\x0D\x00\x0A\x00", 8));
  auto lines = ReadAll(*reader);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].text, "\xEF\xBB\xBF\x41\r\n");
  EXPECT_EQ(lines[0].raw, 8u);

  EXPECT_EQ(Texts(ReadFile(EncUtf16Be, Utf16Be(L"繁體\r\n字"))), (Texts_{"繁體\r\n", "字"}));
  // Odd length: the pairs swap, the last byte stays and becomes U+FFFD.
  auto odd = ReadFile(EncUtf16Be, Utf16Be(L"A") + "B");
  EXPECT_EQ(Texts(odd), (Texts_{"A\xEF\xBF\xBD"}));
}

// A large file is mapped rather than read: swapping a big-endian one in
// place must change the reader's copy only, never the file, and a UTF-8
// one hands out lines that end where the data does.
TEST_F(ReaderTest, ALargeFileReadsWholeAndIsNeverChangedOnDisk) {
  std::wstring text;
  while (text.size() < 700000) text += L"繁體中文，第一行。\r\n";
  const std::string bigEndian = Utf16Be(text);
  const std::wstring path = File(bigEndian, L"大.txt");
  {
    auto reader = LoadReader(EncUtf16Be, path);
    const std::vector<Line> lines = ReadAll(*reader);
    EXPECT_FALSE(reader->ReadFailed());
    EXPECT_EQ(RawTotal(lines), bigEndian.size());
    std::string all;
    for (const Line& line : lines) all += line.text;
    EXPECT_EQ(all, Utf8(text));
  }
  EXPECT_EQ(ReadFileBytes(path), bigEndian);

  const std::string utf8 = Utf8(text) + "末行无换行";
  auto reader = LoadReader(EncUtf8, File(utf8, L"大8.txt"));
  const std::vector<Line> lines = ReadAll(*reader);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back().text, "末行无换行");
  EXPECT_EQ(RawTotal(lines), utf8.size());
}

TEST_F(ReaderTest, EveryEncodingValueGetsItsReader) {
  const std::wstring text = L"甲乙\r\n丙";
  struct Case {
    FileEncoding encoding;
    std::string bytes;
  };
  const Case cases[] = {
      {EncAnsi, Encode(text, CP_ACP)}, {EncUtf16, Utf16Le(text)},
      {EncUtf16Be, Utf16Be(text)},         {EncUtf8, Utf8(text)},
      {7, Utf8(text)},                     {-1, Utf8(text)},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Texts(ReadFile(c.encoding, c.bytes)), (Texts_{"甲乙\r\n", "丙"})) << c.encoding;
  }
}

// The ANSI reader on the system's code page: 936 (GBK) under the default
// runner, 950 (Big5) when the runner's locale is zh_TW.
TEST(AnsiReader, SystemCodePageReadsRealChineseText) {
  std::wstring sample;
  std::wstring expected;
  std::printf("system ANSI code page %u\n", GetACP());
  switch (GetACP()) {
    case 936:
      sample = ExeFolder() + L"\\textio_zh_hans.gb18030";
      expected = ExeFolder() + L"\\textio_zh_hans.txt";
      break;
    case 950:
      sample = ExeFolder() + L"\\textio_zh_hant.big5";
      expected = ExeFolder() + L"\\textio_zh_hant.txt";
      break;
    default:
      FAIL() << "the runner must give a Chinese ANSI code page, not " << GetACP();
  }
  TempDir dir(L"textio-ansi");
  std::string bytes = WithCrLf(ReadFileBytes(sample));
  ASSERT_GT(bytes.size(), 400u);
  ASSERT_TRUE(WriteFileBytes(dir / L"in.txt", bytes));

  auto reader = LoadReader(EncAnsi, dir / L"in.txt");
  auto lines = ReadAll(*reader);
  EXPECT_FALSE(reader->ReadFailed());
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].text + lines[1].text, WithCrLf(ReadFileBytes(expected)));
  EXPECT_EQ(RawTotal(lines), bytes.size());
}

TEST(AnsiReader, CodePageSetBeforeLoadWinsOverTheSystems) {
  TempDir dir(L"textio-cp");
  ASSERT_TRUE(WriteFileBytes(dir / L"big5.txt",
                             WithCrLf(ReadFileBytes(ExeFolder() + L"\\textio_zh_hant.big5"))));
  TReaderAnsi defaults;
  EXPECT_EQ(defaults.CodePage(), static_cast<UINT>(CP_ACP));

  auto reader = LoadReader(EncAnsi, dir / L"big5.txt", 950);
  auto lines = ReadAll(*reader);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].text + lines[1].text,
            WithCrLf(ReadFileBytes(ExeFolder() + L"\\textio_zh_hant.txt")));
}

TEST(AnsiReader, LineThatGrowsThreefoldInUtf8IsNotDropped) {
  // In code page 1252 the byte 0x80 is the euro sign, three bytes in UTF-8:
  // more than twice the line's bytes. The lines after it must still come.
  TempDir dir(L"textio-euro");
  const std::string euros(50, '\x80');
  ASSERT_TRUE(WriteFileBytes(dir / L"euro.txt", euros + "\r\nnext\r\n"));
  auto reader = LoadReader(EncAnsi, dir / L"euro.txt", 1252);
  auto lines = ReadAll(*reader);
  EXPECT_FALSE(reader->ReadFailed());
  std::string expected;
  for (int i = 0; i < 50; ++i) expected += "\xE2\x82\xAC";
  EXPECT_EQ(Texts(lines), (Texts_{expected + "\r\n", "next\r\n"}));
}

TEST(AnsiReader, InvalidBytesAreReplacedAndReadingGoesOn) {
  // A lead byte with no trail byte before the line end.
  TempDir dir(L"textio-bad");
  ASSERT_TRUE(WriteFileBytes(dir / L"bad.txt", "x\x81\r\nok\r\n"));
  auto reader = LoadReader(EncAnsi, dir / L"bad.txt", 936);
  auto lines = ReadAll(*reader);
  EXPECT_FALSE(reader->ReadFailed());
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].text, "x\xEF\xBF\xBD\r\n") << "the bad byte leaves a mark, the CR stays";
  EXPECT_EQ(lines[1].text, "ok\r\n");
  EXPECT_EQ(RawTotal(lines), 8u);
}

TEST(AnsiReader, LineThatCannotBeConvertedStopsTheFileAndSaysSo) {
  TempDir dir(L"textio-nocp");
  ASSERT_TRUE(WriteFileBytes(dir / L"a.txt", "first\r\nsecond\r\n"));
  auto reader = LoadReader(EncAnsi, dir / L"a.txt", 54321);  // no such code page
  const char* p = nullptr;
  std::uint64_t raw = 0;
  EXPECT_EQ(reader->ReadLine(&p, &raw), 0);
  EXPECT_EQ(reader->Failure(), LineError::Undecodable) << "not to be taken for the end of the file";
  EXPECT_EQ(raw, 7u);
}

}  // namespace
