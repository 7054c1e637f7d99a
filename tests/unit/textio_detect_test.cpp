// Encoding detection over real files: what the detector reports for each
// kind of file and which reader that chooses.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "fw/Handle.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestText.h"
#include "textio/DetectFileEncoding.h"
#include "textio/SourceCheck.h"

using testing_support::ExeFolder;
using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

namespace {

struct Detected {
  FileEncoding encoding;
  std::string name;
};

class DetectTest : public ::testing::Test {
 protected:
  Detected Detect(const std::string& bytes) {
    std::wstring path = dir_ / (L"样本" + std::to_wstring(++files_) + L".txt");
    EXPECT_TRUE(WriteFileBytes(path, bytes));
    return DetectPath(path);
  }
  static Detected DetectPath(const std::wstring& path) {
    char name[kCharsetNameSize] = {};
    FileEncoding e = DetectFileEncoding(path.c_str(), name);
    EXPECT_EQ(name[kCharsetNameSize - 1], '\0');
    return {e, name};
  }
  static std::string Sample(const wchar_t* file) { return ReadFileBytes(ExeFolder() + L"\\" + file); }

  TempDir dir_{L"textio-detect"};
  int files_ = 0;
};

std::string Utf16Le(std::wstring_view text) {
  std::string out;
  for (wchar_t c : text) out += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
  return out;
}

std::string Utf16Be(std::wstring_view text) {
  std::string out;
  for (wchar_t c : text) out += {static_cast<char>(c >> 8), static_cast<char>(c & 0xFF)};
  return out;
}

const std::wstring kMixed = L"Tarnwell 转换简体与繁体。\r\n第二行，還有更多文字。\r\n";

TEST_F(DetectTest, Utf8WithAndWithoutMark) {
  Detected marked = Detect("\xEF\xBB\xBF" + testing_support::Utf8(kMixed));
  EXPECT_EQ(marked.encoding, EncUtf8);
  EXPECT_EQ(marked.name, "UTF-8");

  Detected plain = Detect(Sample(L"textio_zh_hans.txt"));
  EXPECT_EQ(plain.encoding, EncUtf8);
  EXPECT_EQ(plain.name, "UTF-8");
}

TEST_F(DetectTest, Utf16MarkDecidesTheByteOrder) {
  Detected le = Detect("\xFF\xFE" + Utf16Le(kMixed));
  EXPECT_EQ(le.encoding, EncUtf16);
  EXPECT_EQ(le.name, "UTF-16");

  Detected be = Detect("\xFE\xFF" + Utf16Be(kMixed));
  EXPECT_EQ(be.encoding, EncUtf16Be);
  EXPECT_EQ(be.name, "UTF-16");
}

TEST_F(DetectTest, Utf32AndPlainAsciiAreReadAsAnsi) {
  std::string utf32("\xFF\xFE\x00\x00", 4);
  for (wchar_t c : std::wstring(L"abc\r\n")) utf32 += std::string({static_cast<char>(c), 0, 0, 0});
  Detected u32 = Detect(utf32);
  EXPECT_EQ(u32.encoding, EncAnsi);
  EXPECT_EQ(u32.name, "UTF-32");

  Detected ascii = Detect("Plain seven-bit text.\r\nSecond line.\r\n");
  EXPECT_EQ(ascii.encoding, EncAnsi);
  EXPECT_EQ(ascii.name, "ASCII");
}

TEST_F(DetectTest, ChineseInLegacyEncodingsIsNamedButReadAsAnsi) {
  Detected gb = Detect(Sample(L"textio_zh_hans.gb18030"));
  EXPECT_EQ(gb.encoding, EncAnsi);
  EXPECT_EQ(gb.name, "GB18030");

  Detected big5 = Detect(Sample(L"textio_zh_hant.big5"));
  EXPECT_EQ(big5.encoding, EncAnsi);
  EXPECT_EQ(big5.name, "BIG5");
}

std::string Ansi(std::wstring_view text, UINT codePage) {
  int n = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                              nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                      nullptr, nullptr);
  return out;
}

TEST_F(DetectTest, Utf16WithoutMarkIsKnownByItsZeroBytesInEitherOrder) {
  const std::wstring texts[] = {
      kMixed,
      L"头发后来，发展得很快。\r\n",
      L"Plain English text, saved as UTF-16\r\nwithout a byte-order mark.\r\n",
      L"One line of English without a line end",
  };
  for (const std::wstring& text : texts) {
    for (const std::string& odd : {std::string(), std::string("\x7F")}) {
      Detected le = Detect(Utf16Le(text) + odd);
      EXPECT_EQ(le.encoding, EncUtf16) << testing_support::Utf8(text);
      EXPECT_EQ(le.name, "UTF-16LE");
      Detected be = Detect(Utf16Be(text) + odd);
      EXPECT_EQ(be.encoding, EncUtf16Be) << testing_support::Utf8(text);
      EXPECT_EQ(be.name, "UTF-16BE");
    }
  }
}

TEST_F(DetectTest, EightBitAndUtf8FilesWithAFewZeroBytesAreNotUtf16) {
  auto withZeros = [](std::string bytes) {
    for (size_t at : {size_t{5}, bytes.size() / 2, bytes.size() / 2 + 3, bytes.size() - 4}) {
      bytes.insert(at, 1, '\0');
    }
    return bytes;
  };
  const std::string files[] = {
      withZeros(testing_support::Utf8(kMixed)),
      withZeros(Ansi(kMixed, 936)),
      withZeros(Ansi(kMixed, 950)),
      withZeros("Plain seven-bit text.\r\nSecond line.\r\nThird line, the last.\r\n"),
      withZeros("Plain seven-bit text on one line, no line end at all"),
  };
  for (const std::string& bytes : files) {
    Detected d = Detect(bytes);
    EXPECT_NE(d.encoding, EncUtf16) << d.name;
    EXPECT_NE(d.encoding, EncUtf16Be) << d.name;
  }
}

TEST_F(DetectTest, UnreadableOrEmptyFileGivesAnsiAndNoName) {
  Detected missing = DetectPath(dir_ / L"不存在.txt");
  EXPECT_EQ(missing.encoding, EncAnsi);
  EXPECT_EQ(missing.name, "");

  // Held without sharing by someone else: cannot be opened either.
  std::wstring held = dir_ / L"held.txt";
  ASSERT_TRUE(WriteFileBytes(held, "\xEF\xBB\xBFheld"));
  {
    fw::UniqueHandle other(CreateFileW(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                                       nullptr));
    ASSERT_TRUE(other);
    char name[kCharsetNameSize];
    std::memset(name, 'x', sizeof name);
    EXPECT_EQ(DetectFileEncoding(held.c_str(), name), EncAnsi);
    EXPECT_STREQ(name, "");
  }
  EXPECT_EQ(DetectPath(held).encoding, EncUtf8) << "once released it reads";

  Detected empty = Detect("");
  EXPECT_EQ(empty.encoding, EncAnsi);
  EXPECT_EQ(empty.name, "");
}

TEST(Utf16ByteOrder, MarkOrElseTheSideWithMoreZeroBytes) {
  auto order = [](const std::string& b) {
    return Utf16ByteOrder(reinterpret_cast<const unsigned char*>(b.data()), b.size());
  };
  EXPECT_EQ(order("\xFF\xFE"), EncUtf16);
  EXPECT_EQ(order("\xFE\xFF"), EncUtf16Be);
  // No mark (the file changed between the two reads): "AB" either way.
  EXPECT_EQ(order(std::string("\0A\0B", 4)), EncUtf16Be);
  EXPECT_EQ(order(std::string("A\0B\0", 4)), EncUtf16);
  EXPECT_EQ(order(std::string("\0AB\0", 4)), EncUtf16) << "a tie is little-endian";
  EXPECT_EQ(order(std::string("AB\0", 3)), EncUtf16) << "the odd byte is no pair";
  EXPECT_EQ(order("x"), EncUtf16);
  EXPECT_EQ(Utf16ByteOrder(nullptr, 0), EncUtf16);
}

// Chinese text whose lines are drawn into a table (box drawing U+2500 to
// U+257F), with no-break spaces and arrows, saved as UTF-16 without a mark:
// UTF-16 in either order, and text to the not-text check.
TEST_F(DetectTest, Utf16WithoutMarkHoldingTableCharactersIsUtf16AndText) {
  std::wstring table;
  for (int i = 0; i < 200; ++i) {
    table += i % 2 ? L"│ 第" + std::to_wstring(i) + L"行\u00A0→ 简体转换 │ 繁體 │\r\n"
                   : L"├──────┼────┼══════╪═══┤\r\n";
  }
  const auto bytes = [](const std::string& s) { return reinterpret_cast<const unsigned char*>(s.data()); };
  const std::string le = Utf16Le(table);
  const std::string be = Utf16Be(table);
  EXPECT_EQ(Detect(le).encoding, EncUtf16);
  EXPECT_EQ(Detect(be).encoding, EncUtf16Be);
  EXPECT_TRUE(LooksLikeText(bytes(le), le.size(), CandidateCodePages(0)));
  EXPECT_TRUE(LooksLikeText(bytes(be), be.size(), CandidateCodePages(0)));
}

// UTF-8 with one byte of one character lost is still UTF-8 (not GBK, which
// would garble every character), up to the size the detector samples.
TEST_F(DetectTest, Utf8WithOneDamagedCharacterIsStillUtf8) {
  std::string text;
  while (text.size() < 56000) text += Sample(L"textio_zh_hans.txt");
  for (size_t at : {size_t{3}, text.size() / 2, text.size() - 40}) {
    std::string damaged = text;
    while ((static_cast<unsigned char>(damaged[at]) & 0xC0) != 0xC0) ++at;  // a lead byte
    damaged.erase(at + 1, 1);
    Detected d = Detect(damaged);
    EXPECT_EQ(d.encoding, EncUtf8) << at << " " << d.name;
    EXPECT_EQ(d.name, "UTF-8") << at;
  }
}

}  // namespace
