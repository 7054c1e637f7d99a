// A large source converted in parts on two threads gives what one thread
// gives: the same bytes, outcome, damaged places and source bytes told, in
// every encoding, and a failure or a stop ends the output where it would.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "engine/ConvEngine.h"
#include "pipeline/FileConvert.h"
#include "pipeline/LineConvert.h"
#include "pipeline/ParallelConvert.h"
#include "textio/MakeReader.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestText.h"

using namespace testing_support;

namespace {

// Converted text and the source bytes told, as a writer is handed them; it
// asks for a stop once `stopAt` source bytes were told (0: never).
class Gathered : public FileConversion {
 public:
  bool Write(const char* bytes, std::int32_t count) override {
    text.append(bytes, static_cast<size_t>(count));
    return true;
  }
  bool StopRequested() override { return stopAt != 0 && told >= stopAt; }
  void LineRead(std::uint64_t rawLength) override { told += rawLength; }

  std::string text;
  std::uint64_t told = 0;
  std::uint64_t stopAt = 0;
};

// About 3.5 MB of lines of many lengths, LF, CR LF and a lone CR among them,
// with a line of 1.5 MB (converted in pieces) a fifth of the way.
std::wstring Source() {
  const std::wstring words[] = {L"头发", L"计算机软件", L"后来他们在里面发现了干面条",
                                L"Tarnwell 1.0", L"", L"系统\r复杂"};
  std::wstring text;
  for (int i = 0; i < 30000; ++i) {
    text += words[i % 6];
    text += std::wstring(static_cast<size_t>(i % 37), L'云');
    text += i % 3 == 0 ? L"\n" : L"\r\n";
    if (i == 10000) text += std::wstring(500000, L'发') + L"\r\n";
  }
  return text;
}

struct Result {
  FileOutcome outcome;
  std::string text;
  std::uint64_t told;
  std::uint64_t replaced;
};

Result OneThread(ConvEngine& engine, const std::wstring& path, FileEncoding encoding,
                 UINT codePage, std::uint64_t longestLine = ~std::uint64_t{0}) {
  Gathered into;
  into.partBytes = 0;
  into.longestLine = longestLine;
  into.encodingChosen = true;
  OutputBuffer output;
  const FileOutcome outcome = ConvertOneFile(engine, path.c_str(), encoding, codePage, output, into);
  return {outcome, into.text, into.told, into.replaced};
}

Result InParts(ConvEngine& engine, const std::wstring& path, FileEncoding encoding, UINT codePage,
               Gathered& into) {
  std::shared_ptr<TReader> whole = MakeReader(encoding, codePage);
  whole->SetLongestLine(into.longestLine);
  EXPECT_TRUE(whole->Load(path.c_str()));
  EXPECT_TRUE(GetLineBuffers(*whole, 1 << 20));
  const std::vector<std::uint64_t> cuts = PartCuts(*whole, 16384);
  EXPECT_GT(cuts.size(), 50u);
  OutputBuffer output;
  const FileOutcome outcome =
      ConvertInParts(engine, whole, cuts, PartReaders{encoding, codePage, 1 << 20, into.longestLine},
                     output, into);
  return {outcome, into.text, into.told, into.replaced};
}

class ParallelConvertTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(engine.Open(Sim2Tra, ConvOptions{})); }
  std::wstring Write(const std::wstring& name, const std::string& bytes) {
    WriteFileBytes(dir / name, bytes);
    return dir / name;
  }

  TempDir dir{L"分段转换"};
  ConvEngine engine;
};

TEST_F(ParallelConvertTest, EveryEncodingGivesWhatOneThreadGives) {
  const std::wstring text = Source();
  std::string utf8 = Utf8(text);
  // Damaged bytes in a few places, each to become U+FFFD.
  for (size_t at : {size_t{1000}, utf8.size() / 2 + 1, utf8.size() - 10}) utf8[at] = '\xFF';
  std::string le = "\xFF\xFE" + std::string(reinterpret_cast<const char*>(text.data()),
                                               text.size() * sizeof(wchar_t));
  le.insert(le.size() / 2 & ~size_t{1}, std::string("\x00\xD8", 2));  // a lone surrogate
  std::string be = le;
  for (size_t i = 0; i + 1 < be.size(); i += 2) std::swap(be[i], be[i + 1]);
  be += '\x41';  // an odd last byte
  std::string gbk = Encode(text, 936);
  gbk.insert(gbk.size() / 3, 1, '\x81');  // a lead byte without its trail
  struct Case {
    const wchar_t* name;
    const std::string& bytes;
    FileEncoding encoding;
    UINT codePage;
  } cases[] = {{L"utf8.txt", utf8, EncUtf8, 0},
               {L"utf16le.txt", le, EncUtf16, 0},
               {L"utf16be.txt", be, EncUtf16Be, 0},
               {L"gbk.txt", gbk, EncAnsi, 936}};
  for (const Case& c : cases) {
    SCOPED_TRACE(Utf8(c.name));
    const std::wstring path = Write(c.name, c.bytes);
    const Result one = OneThread(engine, path, c.encoding, c.codePage);
    ASSERT_EQ(one.outcome, FileOutcome::Done);
    ASSERT_GT(one.replaced, 0u);
    Gathered into;
    const Result parts = InParts(engine, path, c.encoding, c.codePage, into);
    EXPECT_EQ(parts.outcome, one.outcome);
    EXPECT_EQ(parts.replaced, one.replaced);
    EXPECT_EQ(parts.told, c.bytes.size());
    EXPECT_TRUE(parts.text == one.text) << "the converted bytes differ";
  }
}

TEST_F(ParallelConvertTest, AFailureOrAStopEndsTheOutputWhereOneThreadWould) {
  const std::string utf8 = Utf8(Source());
  const std::wstring path = Write(L"text.txt", utf8);
  // The 1.5 MB line is too long: every line before it is converted, nothing after.
  const Result one = OneThread(engine, path, EncUtf8, 0, 4096);
  ASSERT_EQ(one.outcome, FileOutcome::LineTooLong);
  Gathered tooLong;
  tooLong.longestLine = 4096;
  const Result failed = InParts(engine, path, EncUtf8, 0, tooLong);
  EXPECT_EQ(failed.outcome, FileOutcome::LineTooLong);
  EXPECT_TRUE(failed.text == one.text) << "the lines before the long one differ";

  // A stop, at a few moments: the output is the conversion of whole lines
  // from the start, exactly of the source bytes told.
  for (int tenths : {1, 7, 8, 9}) {
    SCOPED_TRACE(tenths);
    Gathered stopped;
    stopped.stopAt = utf8.size() * static_cast<unsigned>(tenths) / 10;
    const Result part = InParts(engine, path, EncUtf8, 0, stopped);
    EXPECT_EQ(part.outcome, FileOutcome::Done);
    ASSERT_GT(part.told, 0u);
    ASSERT_LT(part.told, utf8.size());
    EXPECT_EQ(utf8[part.told - 1], '\n');
    const std::wstring prefix = Write(L"prefix.txt", utf8.substr(0, part.told));
    EXPECT_TRUE(part.text == OneThread(engine, prefix, EncUtf8, 0).text)
        << "the output is not the conversion of the lines told";
  }
}

}  // namespace
