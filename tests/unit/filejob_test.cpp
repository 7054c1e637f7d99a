// The file job: messages and their order, progress steps, stop, appending,
// failures reported as failures, and whole conversions in four encodings
// compared byte for byte with what the engine gives for the same text.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <string>
#include <utility>
#include <vector>

#include "config/CfgStore.h"
#include "engine/ConvNotify.h"
#include "engine/ConvWorker.h"
#include "fw/MessageBox.h"
#include "glyphmap/glyphmap.h"
#include "engine/ConvConfigs.h"
#include "pages/FileJob.h"
#include "pages/OutputOptions.h"
#include "textio/TextEncoder.h"
#include "tests/support/EngineConvert.h"
#include "tests/support/JobPage.h"
#include "tests/support/NotifySink.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestText.h"

using namespace testing_support;
using Message = NotifySink::Message;

namespace {


const std::string kSimplified =
    "第一章 开始\r\n"
    "这个软件把简体中文转换成繁体中文。她的头发后来长得很快，面条也吃完了。\r\n"
    "干部们在里面讨论经济发展的问题，会议结束以后，大家都觉得很满意。\r\n"
    "\r\n"
    "计算机程序设计需要耐心，测试能发现真正的错误。最后一行没有换行";
const std::string kTraditional =
    "第一章 開始\r\n"
    "這個軟件把簡體中文轉換成繁體中文。她的頭髮後來長得很快，麪條也喫完了。\r\n"
    "幹部們在裏面討論經濟發展的問題，會議結束以後，大家都覺得很滿意。\r\n"
    "\r\n"
    "計算機程序設計需要耐心，測試能發現真正的錯誤。最後一行沒有換行";

std::string Utf16Le(const std::string& utf8) {
  std::wstring w = Wide(utf8);
  return std::string(reinterpret_cast<const char*>(w.data()), w.size() * 2);
}
std::string Utf16Be(const std::string& utf8) {
  std::string le = Utf16Le(utf8);
  for (size_t i = 0; i + 1 < le.size(); i += 2) std::swap(le[i], le[i + 1]);
  return le;
}
std::string Ansi(const std::string& utf8, UINT codePage) {
  std::wstring w = Wide(utf8);
  int n = WideCharToMultiByte(codePage, 0, w.data(), static_cast<int>(w.size()), nullptr, 0,
                              nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(codePage, 0, w.data(), static_cast<int>(w.size()), out.data(), n, nullptr,
                      nullptr);
  return out;
}

class FileJobTest : public JobFolders {
 protected:
  FileJobTest() : JobFolders(L"文件任务") {}
  bool OutputExists(const std::wstring& name) {
    return GetFileAttributesW((outDir + L"\\" + name).c_str()) != INVALID_FILE_ATTRIBUTES;
  }
};

TEST_F(FileJobTest, AnEmptyListPostsBeginAndEndOnly) {
  page.RunToEnd();
  EXPECT_EQ(page.sink.messages(), (std::vector<Message>{{CONV_BEGIN, 1000}, {CONV_END, 0}}));
}

TEST_F(FileJobTest, FourEncodingsBothWaysGiveTheEnginesTextWithLineEndsAndMarks) {
  struct Case {
    const wchar_t* name;
    std::string bytes;
    FileEncoding encoding;
    bool mark;
  };
  for (ConvDirection direction : {Sim2Tra, Tra2Sim}) {
    const std::string& text = direction == Sim2Tra ? kSimplified : kTraditional;
    const std::string bom = "\xEF\xBB\xBF";
    std::vector<Case> cases = {
        {L"utf8.txt", text, EncUtf8, false},
        {L"utf8-mark.txt", bom + text, EncUtf8, true},
        {L"utf16.txt", "\xFF\xFE" + Utf16Le(text), EncUtf16, true},
        {L"utf16be.txt", "\xFE\xFF" + Utf16Be(text), EncUtf16Be, true},
        {L"ansi.txt", Ansi(text, 936), EncAnsi, false},
    };
    page.entries.clear();
    page.direction = direction;
    for (const Case& c : cases) page.Add(Source(c.name, c.bytes), c.encoding);
    page.RunToEnd();
    const std::string expected = EngineConvert(text, direction);
    ASSERT_NE(expected, text);
    for (const Case& c : cases) {
      std::string out = Output(c.name);
      EXPECT_EQ(out, (c.mark ? bom : "") + expected) << Utf8(c.name) << " direction " << direction;
      DeleteFileW((outDir + L"\\" + c.name).c_str());
    }
    for (size_t i = 0; i < cases.size(); ++i) {
      EXPECT_EQ(page.Reports()[2 * i + 1], Message(CONV_FILE_BEGIN, i));
      EXPECT_EQ(page.Reports()[2 * i + 2], Message(CONV_FILE_DONE, i));
    }
  }
}

void SetOption(CfgStore& store, std::int32_t key, std::int32_t value) {
  ASSERT_GT(store.WriteValue(key, &value, sizeof(value)), 0);
}

// A subtitle of real structure: numbered cues and timings (SubRip), and an
// ASS script with its header and style lines, both with a mark and CR LF.
const std::string kSrt =
    "\xEF\xBB\xBF" "1\r\n00:00:01,000 --> 00:00:03,500\r\n这个软件把简体转换成繁体\r\n\r\n"
    "2\r\n00:00:04,000 --> 00:00:06,250\r\n<i>她的头发后来长得很快</i>\r\n\r\n";
const std::string kAss =
    "\xEF\xBB\xBF" "[Script Info]\r\nTitle: 测试\r\nScriptType: v4.00+\r\n\r\n[V4+ Styles]\r\n"
    "Format: Name, Fontname, Fontsize, PrimaryColour, Bold\r\n"
    "Style: Default,Microsoft YaHei,20,&H00FFFFFF,0\r\n\r\n[Events]\r\n"
    "Format: Layer, Start, End, Style, Text\r\n"
    "Dialogue: 0,0:00:01.00,0:00:03.50,Default,{\\pos(10,20)}干部们在里面讨论经济发展\r\n";

TEST_F(FileJobTest, SubtitlesComeOutAsTheConversionOfTheirTextWithMarkAndCrLf) {
  page.Add(Source(L"片头.srt", kSrt), EncUtf8);
  page.Add(Source(L"片头.ass", kAss), EncUtf8);
  page.RunToEnd();
  EXPECT_EQ(Output(L"片头.srt"), EngineConvert(kSrt, Sim2Tra));
  EXPECT_EQ(Output(L"片头.ass"), EngineConvert(kAss, Sim2Tra));
  EXPECT_EQ(Output(L"片头.srt").substr(0, 3), "\xEF\xBB\xBF");
  EXPECT_NE(Output(L"片头.ass").find("Default,{\\pos(10,20)}幹部們在裏面討論經濟發展\r\n"),
            std::string::npos);
}

TEST_F(FileJobTest, EachOutputEncodingHoldsTheConversionInItsBytes) {
  const std::string bom = "\xEF\xBB\xBF";
  // Text Big5 can hold once converted.
  const std::string text = "这个软件把简体中文转换成繁体中文。\r\n干部们在里面讨论经济发展的问题\r\n";
  const std::string converted = EngineConvert(text, Sim2Tra);
  const struct {
    std::int32_t choice;
    std::string expected;
  } cases[] = {{OUTENC_UTF8, bom + converted},
               {OUTENC_UTF8_BOM, bom + converted},
               {OUTENC_UTF16LE_BOM, "\xFF\xFE" + Utf16Le(converted)},
               // GB18030's two-byte part is GBK, where the system lacks the code page.
               {OUTENC_GB18030, Ansi(converted, IsValidCodePage(54936) ? 54936 : 936)},
               {OUTENC_BIG5, Ansi(converted, 950)}};
  // A source with a mark: UTF-8 keeps it as before, the legacy ones drop it.
  page.Add(Source(L"说明.txt", bom + text), EncUtf8);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.choice);
    SetOption(page.store, CFGKEY_OUTPUT_ENCODING, c.choice);
    page.RunToEnd();
    EXPECT_EQ(page.Reports()[2], Message(CONV_FILE_DONE, 0));
    EXPECT_EQ(Output(L"说明.txt"), c.expected);
    DeleteFileW((outDir + L"\\说明.txt").c_str());
  }
  // A UTF-8 source without a mark gets one when asked for.
  WriteFileBytes(inDir + L"\\说明.txt", text);
  SetOption(page.store, CFGKEY_OUTPUT_ENCODING, OUTENC_UTF8_BOM);
  page.RunToEnd();
  EXPECT_EQ(Output(L"说明.txt"), bom + converted);
}

TEST_F(FileJobTest, Gb18030HoldsCharactersBeyondTheBasicPlaneInFourBytes) {
  SetOption(page.store, CFGKEY_OUTPUT_ENCODING, OUTENC_GB18030);
  page.Add(Source(L"ext.txt", "\xF0\xA0\x80\x80\xE2\x82\xAC" "a\r\n"), EncUtf8);  // U+20000, euro
  page.RunToEnd();
  EXPECT_EQ(Output(L"ext.txt"), "\x95\x32\x82\x36\xA2\xE3" "a\r\n");
}

TEST_F(FileJobTest, SameAsSourceWritesEachOfTheFourInputEncodingsBackWithItsMark) {
  const std::string bom = "\xEF\xBB\xBF";
  const std::string converted = EngineConvert(kTraditional, Tra2Sim);
  const struct {
    const wchar_t* name;
    std::string bytes;
    FileEncoding encoding;
    UINT codePage;
    std::string expected;
  } cases[] = {
      {L"u8.txt", kTraditional, EncUtf8, 0, converted},
      {L"u8bom.txt", bom + kTraditional, EncUtf8, 0, bom + converted},
      {L"u16.txt", "\xFF\xFE" + Utf16Le(kTraditional), EncUtf16, 0, "\xFF\xFE" + Utf16Le(converted)},
      {L"u16be.txt", "\xFE\xFF" + Utf16Be(kTraditional), EncUtf16Be, 0,
       "\xFE\xFF" + Utf16Be(converted)},
      {L"gbk.txt", Ansi(kTraditional, 936), EncAnsi, 936, Ansi(converted, 936)},
  };
  page.direction = Tra2Sim;
  SetOption(page.store, CFGKEY_OUTPUT_ENCODING, OUTENC_SAME_AS_SOURCE);
  for (const auto& c : cases) {
    FileEntry e;
    ASSERT_TRUE(MakeFileEntry(Source(c.name, c.bytes).c_str(), c.encoding, e, c.codePage));
    page.entries.push_back(e);
  }
  page.RunToEnd();
  for (const auto& c : cases) EXPECT_EQ(Output(c.name), c.expected) << Utf8(c.name);
}

TEST_F(FileJobTest, Big5CannotHoldSimplifiedTextAndTheFileFailsNamingTheCharactersAndWritesNothing) {
  std::vector<std::wstring> details;
  page.job.SetDetails(&details);
  page.direction = Tra2Sim;
  SetOption(page.store, CFGKEY_OUTPUT_ENCODING, OUTENC_BIG5);
  // An output from before stays exactly as it was (appending is the rule).
  WriteFileBytes(outDir + L"\\繁体.txt", "old\r\n");
  page.Add(Source(L"繁体.txt", "第一章 開始\r\n一二三\r\n頭髮後來說話\r\n"), EncUtf8);
  page.RunToEnd();
  EXPECT_EQ(page.Reports()[2], Message(ConvCode(CONV_FILE_REASON, CONV_REASON_ENCODING), 0));
  EXPECT_EQ(page.Reports()[3], Message(CONV_FILE_FAILED, 0));
  EXPECT_EQ(Output(L"繁体.txt"), "old\r\n");
  ASSERT_EQ(details.size(), 1u);
  EXPECT_EQ(details[0], L"繁体.txt: 所选的输出编码无法表示 “开” (第 1 行)、“头” (第 3 行)、“发” (第 3 行)、“来” (第 3 行)、“说” (第 3 行)。");
}

TEST_F(FileJobTest, BesideTheSourceWithConvertedNamesReplacesItsOwnOutputAndNeverTheSource) {
  SetOption(page.store, CFGKEY_OUTPUT_PLACE, OUTPLACE_BESIDE_SOURCE);
  SetOption(page.store, CFGKEY_CONVERT_NAMES, 1);
  SetOption(page.store, CFGKEY_EXISTING_OUTPUT, EXISTING_REPLACE);
  const std::wstring source = Source(L"简体说明.srt", kSrt);
  const std::wstring output = inDir + L"\\簡體說明(繁體).srt";
  WriteFileBytes(output, "an older output\r\n");
  page.Add(source, EncUtf8);
  page.RunToEnd();
  EXPECT_EQ(page.Reports()[2], Message(CONV_FILE_DONE, 0));
  EXPECT_EQ(ReadFileBytes(output), EngineConvert(kSrt, Sim2Tra));
  page.RunToEnd();  // replaced, not appended
  EXPECT_EQ(ReadFileBytes(output), EngineConvert(kSrt, Sim2Tra));
  EXPECT_EQ(ReadFileBytes(source), kSrt);
  EXPECT_EQ(GetFileAttributesW((output + L".tarnwell-part").c_str()), INVALID_FILE_ATTRIBUTES);

  // Queued too, in either order, the output is still the source's own, not
  // a source of its own: it is left unconverted (never read, so never
  // written before it is read), and the source replaces it.
  for (bool outputFirst : {true, false}) {
    SCOPED_TRACE(outputFirst ? "output first" : "source first");
    WriteFileBytes(output, "an older output\r\n");
    page.entries.clear();
    page.Add(outputFirst ? output : source, EncUtf8);
    page.Add(outputFirst ? source : output, EncUtf8);
    page.RunToEnd();
    const LPARAM earlier = outputFirst ? 0 : 1;
    std::vector<Message> rows[2] = {{{CONV_FILE_BEGIN, 0}}, {{CONV_FILE_BEGIN, 1}}};
    rows[earlier].push_back({ConvCode(CONV_FILE_REASON, CONV_NOTE_EARLIER_OUTPUT), earlier});
    rows[0].push_back({CONV_FILE_DONE, 0});
    rows[1].push_back({CONV_FILE_DONE, 1});
    std::vector<Message> expected{{CONV_BEGIN, 1000}};
    for (const auto& row : rows) expected.insert(expected.end(), row.begin(), row.end());
    expected.push_back({CONV_END, 0});
    EXPECT_EQ(page.Reports(), expected);
    EXPECT_EQ(ReadFileBytes(output), EngineConvert(kSrt, Sim2Tra));
    EXPECT_EQ(GetFileAttributesW((inDir + L"\\簡體說明(繁體)(繁體).srt").c_str()),
              INVALID_FILE_ATTRIBUTES);
  }
}

TEST_F(FileJobTest, AReplacementThatCannotTakeTheOldFilesPlaceFailsAndLeavesBothAsTheyWere) {
  SetOption(page.store, CFGKEY_EXISTING_OUTPUT, EXISTING_REPLACE);
  page.Add(Source(L"字幕.srt", kSrt), EncUtf8);
  WriteFileBytes(outDir + L"\\字幕.srt", "old\r\n");
  // Another program reads the old output, letting nobody delete or rename it.
  HANDLE held = CreateFileW((outDir + L"\\字幕.srt").c_str(), GENERIC_READ, FILE_SHARE_READ,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  page.RunToEnd();
  CloseHandle(held);
  EXPECT_EQ(page.Reports()[2], Message(ConvCode(CONV_FILE_REASON, CONV_REASON_OUTPUT_IN_USE), 0));
  EXPECT_EQ(page.Reports()[3], Message(CONV_FILE_FAILED, 0));
  EXPECT_EQ(Output(L"字幕.srt"), "old\r\n");
  EXPECT_FALSE(OutputExists(L"字幕.srt.tarnwell-part"));
}

TEST_F(FileJobTest, KeepBothTakesTheNextFreeNumberAndSubFoldersAreKeptUnderTheOutputFolder) {
  SetOption(page.store, CFGKEY_EXISTING_OUTPUT, EXISTING_KEEP_BOTH);
  page.Add(Source(L"字幕.srt", kSrt), EncUtf8);
  FileEntry nested;
  ASSERT_TRUE(MakeFileEntry(Source(L"第二集.srt", kSrt).c_str(), EncUtf8, nested));
  wcscpy(nested.subFolder, L"第一季\\花絮\\");
  page.entries.push_back(nested);
  page.RunToEnd();
  page.RunToEnd();
  page.RunToEnd();
  const std::string converted = EngineConvert(kSrt, Sim2Tra);
  for (const wchar_t* name : {L"字幕.srt", L"字幕 (2).srt", L"字幕 (3).srt",
                              L"第一季\\花絮\\第二集.srt", L"第一季\\花絮\\第二集 (3).srt"}) {
    EXPECT_EQ(Output(name), converted) << Utf8(name);
  }
  EXPECT_FALSE(OutputExists(L"字幕 (4).srt"));

  // A source in the output folder itself stays as it is beside its output.
  page.entries.clear();
  WriteFileBytes(outDir + L"\\自己.srt", kSrt);
  page.Add(outDir + L"\\自己.srt", EncUtf8);
  page.RunToEnd();
  EXPECT_EQ(page.Reports()[2], Message(CONV_FILE_DONE, 0));
  EXPECT_EQ(Output(L"自己.srt"), kSrt);
  EXPECT_EQ(Output(L"自己 (2).srt"), converted);
}

TEST_F(FileJobTest, OutputOptionsMissingOrOutOfRangeReadAsTheOldBehaviour) {
  OutputOptions defaults = ReadOutputOptions(page.store);  // a file without the keys
  EXPECT_EQ(defaults.encoding, OUTENC_UTF8);
  EXPECT_EQ(defaults.place, OUTPLACE_FOLDER);
  EXPECT_EQ(defaults.existing, EXISTING_APPEND);
  EXPECT_FALSE(defaults.convertNames);
  EXPECT_FALSE(defaults.includeSubfolders);
  for (std::int32_t key : {CFGKEY_OUTPUT_ENCODING, CFGKEY_OUTPUT_PLACE, CFGKEY_EXISTING_OUTPUT,
                           CFGKEY_CONVERT_NAMES, CFGKEY_INCLUDE_SUBFOLDERS}) {
    SetOption(page.store, key, 77);  // a newer program's value
  }
  OutputOptions read = ReadOutputOptions(page.store);
  EXPECT_EQ(read.encoding, OUTENC_UTF8);
  EXPECT_EQ(read.place, OUTPLACE_FOLDER);
  EXPECT_EQ(read.existing, EXISTING_APPEND);
  EXPECT_FALSE(read.convertNames);
  OutputOptions all{OUTENC_BIG5, OUTPLACE_BESIDE_SOURCE, EXISTING_KEEP_BOTH, true, true};
  EXPECT_EQ(WriteOutputOptions(page.store, all), nullptr);
  read = ReadOutputOptions(page.store);
  EXPECT_EQ(read.encoding, OUTENC_BIG5);
  EXPECT_EQ(read.place, OUTPLACE_BESIDE_SOURCE);
  EXPECT_EQ(read.existing, EXISTING_KEEP_BOTH);
  EXPECT_TRUE(read.convertNames && read.includeSubfolders);
}

TEST_F(FileJobTest, SmallRunsStepOncePerLine) {
  page.Add(Source(L"small.txt", "ab\r\ncd\r\nef"), EncUtf8);  // 10 bytes, 3 lines
  page.RunToEnd();
  EXPECT_EQ(page.job.StepBytes(), 1);
  EXPECT_EQ(page.job.TotalBytes(), 10u);
  EXPECT_EQ(page.job.StepCount(), 3u);
  EXPECT_EQ(page.Reports(), (std::vector<Message>{{CONV_BEGIN, 1000}, {CONV_FILE_BEGIN, 0},
                                                  {CONV_FILE_DONE, 0}, {CONV_END, 0}}));
}

TEST_F(FileJobTest, LfLineEndsAndZeroBytesKeepEveryByte) {
  // LF, CR LF and a lone CR as they are; the text after a zero byte is
  // converted, not lost.
  page.Add(Source(L"lf.txt", std::string("头发\n后来\0发展\r\n面条\r干净", 35)), EncUtf8);
  page.RunToEnd();
  EXPECT_EQ(Output(L"lf.txt"), std::string("頭髮\n後來\0發展\r\n麪條\r乾淨", 35));
  EXPECT_EQ(page.job.StepCount(), 3u) << "one step a line";
}

// The second file is large enough to be converted in parts on two threads.
TEST_F(FileJobTest, ThreeMillionBytesOfShortLinesMakeExactlyAThousandSteps) {
  std::string line(98, 'x');
  line += "\r\n";
  std::string half;
  for (int i = 0; i < 5000; ++i) half += line;  // 500 000 bytes
  std::string large;
  for (int i = 0; i < 5; ++i) large += half;
  page.Add(Source(L"a.txt", half), EncUtf8);
  page.Add(Source(L"b.txt", large), EncUtf8);
  page.RunToEnd();
  EXPECT_EQ(page.job.StepBytes(), 3000);
  EXPECT_EQ(page.job.StepCount(), 1000u);
  EXPECT_EQ(Output(L"a.txt"), half);
  EXPECT_TRUE(Output(L"b.txt") == large);
  // Each step message says how far the run is, and none is posted before
  // the page took the last: a page that takes none gets one for the run.
  LPARAM last = 0;
  for (const Message& m : page.sink.messages()) {
    if (m.first != CONV_STEP) continue;
    EXPECT_GT(m.second, last);
    EXPECT_LE(m.second, 1000);
    last = m.second;
  }
  page.sink.onStep = nullptr;
  page.RunToEnd();
  EXPECT_EQ(page.job.StepCount(), 1000u);
  EXPECT_EQ(page.sink.Count(CONV_STEP), 1u);
  page.sink.onStep = [this] { page.TakeSteps(); };

  // One line of the same size: one step for the whole file.
  std::string one(999998, 'y');
  one += "\r\n";
  page.entries.clear();
  page.Add(Source(L"one.txt", one), EncUtf8);
  page.RunToEnd();
  EXPECT_EQ(page.job.StepCount(), 1u);
  EXPECT_EQ(Output(L"one.txt"), one);
}

TEST_F(FileJobTest, OutputIsAppendedToExistingFilesEachSourceToItsOwn) {
  page.Add(Source(L"同名.txt", kSimplified), EncUtf8);
  std::wstring other = dir / L"别处";
  CreateDirectoryW(other.c_str(), nullptr);
  WriteFileBytes(other + L"\\同名.txt", "头发\r\n");
  page.Add(other + L"\\同名.txt", EncUtf8);
  page.RunToEnd();
  const std::string first = EngineConvert(kSimplified, Sim2Tra);
  // The second source of the name takes a number rather than the first one's output.
  EXPECT_EQ(Output(L"同名.txt"), first);
  EXPECT_EQ(Output(L"同名 (2).txt"), "頭髮\r\n");
  page.RunToEnd();  // a second run appends again
  EXPECT_EQ(Output(L"同名.txt"), first + first);
  EXPECT_EQ(Output(L"同名 (2).txt"), "頭髮\r\n頭髮\r\n");
}

TEST_F(FileJobTest, AStopInTheThirdOfFiveFilesEndsItAfterTheLineInHand) {
  std::string big;
  for (int i = 0; big.size() < 24u * 1024 * 1024; ++i) big += kSimplified + "\r\n";
  for (int i = 0; i < 5; ++i) {
    page.Add(Source(L"f" + std::to_wstring(i) + L".txt", i == 2 ? big : kSimplified), EncUtf8);
  }
  int stopResult = -1;
  page.sink.onMessage = [&](WPARAM code, LPARAM arg) {
    if (code == CONV_FILE_BEGIN && arg == 2) stopResult = page.StopJob();
  };
  page.RunToEnd();
  EXPECT_EQ(stopResult, 0);  // the job ended within the grace period
  EXPECT_EQ(page.Reports(),
            (std::vector<Message>{{CONV_BEGIN, 1000}, {CONV_FILE_BEGIN, 0}, {CONV_FILE_DONE, 0},
                                  {CONV_FILE_BEGIN, 1}, {CONV_FILE_DONE, 1}, {CONV_FILE_BEGIN, 2},
                                  {CONV_FILE_STOPPED, 2}, {CONV_END, 0}}));
  // Whole lines only, and only some of them.
  std::string partial = Output(L"f2.txt");
  std::string full = EngineConvert(big, Sim2Tra);
  EXPECT_LT(partial.size(), full.size());
  EXPECT_EQ(full.compare(0, partial.size(), partial), 0);
  EXPECT_EQ(partial.substr(partial.size() - 2), "\r\n");
  EXPECT_FALSE(OutputExists(L"f3.txt"));
}

// A job that asks for a hold itself, from its worker, after its first
// chunk reached the output: as when the user presses Stop mid-file.
class SelfHoldingJob : public FileJob {
 public:
  explicit SelfHoldingJob(ConvWorker& worker) : FileJob(worker), worker_(worker) {}
  bool holdOnce = false;
  int chunksBeforeHold = 0;  // chunks written before the hold is asked

 protected:
  void ChunkWritten(const std::wstring&) override {
    if (holdOnce && chunksBeforeHold-- <= 0) {
      holdOnce = false;
      worker_.HoldJob();
    }
  }

 private:
  ConvWorker& worker_;
};

// Counts the job's waits on the hold, and tells the page each time (which
// then releases it, as a "No" to the stop question does).
class WaitCountingPage : public BasicJobPage<SelfHoldingJob> {
 public:
  using BasicJobPage::BasicJobPage;
  static constexpr WPARAM kWaiting = 0x7A17;
  mutable std::atomic<int> waits{0};

 protected:
  void WaitForRelease() const override {
    ++waits;
    PostJobMessage(kWaiting, 0);
    BasicJobPage::WaitForRelease();
  }
};

TEST_F(FileJobTest, TheJobWaitsOnTheHoldOnlyWhileOneIsAskedAndThenGoesOnWhole) {
  WaitCountingPage counted{dir / L"Counted.cfg"};
  ASSERT_GT(counted.store.WriteString(CFGKEY_OUTPUT_DIR, outDir.c_str()), 0);
  std::string text;
  while (text.size() < 2u * 1024 * 1024) text += kSimplified + "\r\n";
  counted.Add(Source(L"held.txt", text), EncUtf8);
  counted.sink.onMessage = [&](WPARAM code, LPARAM) {
    if (code == WaitCountingPage::kWaiting) counted.ReleaseJob();
  };

  // Tens of thousands of lines, no hold asked: not one wait.
  counted.RunToEnd();
  EXPECT_EQ(counted.waits.load(), 0);
  EXPECT_EQ(counted.sink.Count(CONV_FILE_DONE), 1u);

  // One hold mid-file: one wait, after which the file goes on to its end.
  DeleteFileW((outDir + L"\\held.txt").c_str());
  counted.job.holdOnce = true;
  counted.RunToEnd();
  EXPECT_EQ(counted.waits.load(), 1);
  EXPECT_EQ(counted.sink.Count(CONV_FILE_DONE), 1u);
  EXPECT_EQ(Output(L"held.txt"), EngineConvert(text, Sim2Tra));
}

// Small files are converted ahead of their turn on a second thread: the
// outputs still come in the run's order, each the conversion of its own
// source, and a stop answered while later files wait converted in memory
// ends the run after the file in hand, writing none of them.
TEST_F(FileJobTest, FilesConvertedAheadComeOutInOrderAndAStopWritesNoneOfThoseWaiting) {
  WaitCountingPage counted{dir / L"Ahead.cfg"};
  ASSERT_GT(counted.store.WriteString(CFGKEY_OUTPUT_DIR, outDir.c_str()), 0);
  constexpr int kFiles = 12;
  std::vector<std::string> texts;
  for (int i = 0; i < kFiles; ++i) {
    std::string text;
    for (int line = 0; line <= i; ++line) text += std::to_string(i) + kSimplified + "\r\n";
    texts.push_back(text);
    counted.Add(Source(L"第" + std::to_wstring(i) + L"集.srt", text), EncUtf8);
  }
  const auto name = [](int i) { return L"第" + std::to_wstring(i) + L"集.srt"; };
  std::vector<std::wstring> outputs;
  counted.job.SetOutputs(&outputs);
  counted.RunToEnd();
  std::vector<Message> expected{{CONV_BEGIN, 1000}};
  for (int i = 0; i < kFiles; ++i) {
    expected.insert(expected.end(), {{CONV_FILE_BEGIN, i}, {CONV_FILE_DONE, i}});
    EXPECT_EQ(Output(name(i)), EngineConvert(texts[i], Sim2Tra)) << i;
    EXPECT_EQ(i < static_cast<int>(outputs.size()) ? outputs[i] : L"", outDir + L"\\" + name(i));
    DeleteFileW((outDir + L"\\" + name(i)).c_str());
  }
  expected.push_back({CONV_END, 0});
  EXPECT_EQ(counted.Reports(), expected);

  // Held at the fifth output, and the answer is to stop. While the
  // question is open, nothing after the file in hand has been written.
  std::vector<bool> whileHeld;
  counted.sink.onMessage = [&](WPARAM code, LPARAM) {
    if (code != WaitCountingPage::kWaiting) return;
    for (int i = 0; i < kFiles; ++i) whileHeld.push_back(OutputExists(name(i)));
    counted.StopJob();
  };
  counted.job.holdOnce = true;
  counted.job.chunksBeforeHold = 4;
  counted.RunToEnd();
  EXPECT_EQ(counted.waits.load(), 1);
  const std::vector<Message> reports = counted.Reports();
  ASSERT_GE(reports.size(), 4u);
  const int last = static_cast<int>(reports[reports.size() - 2].second);  // the stopped file
  expected.assign({{CONV_BEGIN, 1000}});
  for (int i = 0; i < last; ++i) expected.insert(expected.end(), {{CONV_FILE_BEGIN, i}, {CONV_FILE_DONE, i}});
  expected.insert(expected.end(), {{CONV_FILE_BEGIN, last},
                                   {WaitCountingPage::kWaiting, 0},
                                   {CONV_FILE_STOPPED, last},
                                   {CONV_END, 0}});
  EXPECT_EQ(reports, expected);
  // The hold asked at the fifth file's output is kept there, or at the
  // latest before anything of the sixth is written.
  EXPECT_GE(last, 4);
  EXPECT_LE(last, 5);
  ASSERT_EQ(whileHeld.size(), static_cast<size_t>(kFiles));
  for (int i = 0; i < kFiles; ++i) {
    if (i != last) {
      EXPECT_EQ(whileHeld[i], i < last) << i;
    }
    const std::string full = EngineConvert(texts[i], Sim2Tra);
    if (i < last) {
      EXPECT_EQ(Output(name(i)), full) << i;
    } else if (i > last) {
      EXPECT_FALSE(OutputExists(name(i))) << i;
    }
    if (i != last) continue;
    // The file in hand: whole lines of its conversion, from its start.
    const std::string kept = Output(name(i));
    EXPECT_EQ(full.compare(0, kept.size(), kept), 0);
    EXPECT_EQ(kept.substr(kept.size() - 2), "\r\n");
  }
}

// Real text as one long line: the manual pages with each line end but
// the last made a lone CR (as an old Mac file has them).
std::string ManualPagesAsOneLine(const wchar_t* name) {
  std::string text = ReadFileBytes(ExeFolder() + L"\\..\\testdata\\" + name);
  for (size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] == '\n') text[i] = '\r';
  }
  return text;
}

TEST_F(FileJobTest, ALongLineIsConvertedInPiecesExactlyAsWholeAndStopActsWithinIt) {
  for (ConvDirection direction : {Sim2Tra, Tra2Sim}) {
    const std::string line =
        ManualPagesAsOneLine(direction == Sim2Tra ? L"manpages_zh_CN.txt" : L"manpages_zh_TW.txt");
    ASSERT_GT(line.size(), 4u << 20) << "the manual pages corpus is missing";
    const std::wstring name = direction == Sim2Tra ? L"long-s.txt" : L"long-t.txt";
    page.entries.clear();
    page.direction = direction;
    page.Add(Source(name, line), EncUtf8);
    page.RunToEnd();
    EXPECT_EQ(Output(name), EngineConvert(line, direction));
    // Progress moves within the line, close to a step per thousandth.
    EXPECT_GT(page.job.StepCount(), 900u);
  }
  // A stop ends the file within the line, after the piece in hand.
  const std::string line = ManualPagesAsOneLine(L"manpages_zh_CN.txt");
  page.entries.clear();
  page.direction = Sim2Tra;
  page.Add(Source(L"stopped.txt", line), EncUtf8);
  int stopResult = -1;
  page.sink.onMessage = [&](WPARAM code, LPARAM) {
    if (code == CONV_FILE_BEGIN) stopResult = page.StopJob();
  };
  page.RunToEnd();
  EXPECT_EQ(stopResult, 0);
  EXPECT_EQ(page.Reports()[2], Message(CONV_FILE_STOPPED, 0));
  const std::string partial = Output(L"stopped.txt");
  const std::string full = EngineConvert(line, Sim2Tra);
  EXPECT_GT(partial.size(), 0u);
  EXPECT_LT(partial.size(), full.size());
  EXPECT_EQ(full.compare(0, partial.size(), partial), 0);
}

TEST_F(FileJobTest, FailuresAreReportedAndTheJobGoesOn) {
  page.Add(inDir + L"\\missing.txt", EncUtf8);                      // 0: cannot be opened
  page.Add(Source(L"empty.txt", ""), EncUtf8);                      // 1: empty: done, no output
  page.Add(Source(L"bad.txt", "头发\x80\x80\r\n"), EncUtf8);       // 2: two damaged bytes
  page.Add(Source(L"good.txt", kSimplified), EncUtf8);              // 3: fine
  page.RunToEnd();
  EXPECT_EQ(page.Reports(),
            (std::vector<Message>{{CONV_BEGIN, 1000}, {CONV_FILE_BEGIN, 0},
                                  {ConvCode(CONV_FILE_REASON, CONV_REASON_CANNOT_READ), 0},
                                  {CONV_FILE_FAILED, 0}, {CONV_FILE_BEGIN, 1}, {CONV_FILE_DONE, 1},
                                  {CONV_FILE_BEGIN, 2}, {ConvCode(CONV_FILE_REPLACED, 2), 2},
                                  {CONV_FILE_DONE, 2}, {CONV_FILE_BEGIN, 3}, {CONV_FILE_DONE, 3},
                                  {CONV_END, 0}}));
  // Damaged bytes are no failure: each became U+FFFD, the line end stayed.
  EXPECT_EQ(Output(L"bad.txt"), EngineConvert("头发\xEF\xBF\xBD\xEF\xBF\xBD\r\n", Sim2Tra));
  EXPECT_FALSE(OutputExists(L"empty.txt"));
  EXPECT_EQ(Output(L"good.txt"), EngineConvert(kSimplified, Sim2Tra));
}

TEST_F(FileJobTest, AnUnwritableOutputFails) {
  page.Add(Source(L"locked.txt", kSimplified), EncUtf8);
  // Another program holds the output file open, sharing nothing.
  HANDLE held = CreateFileW((outDir + L"\\locked.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  page.RunToEnd();
  CloseHandle(held);
  EXPECT_EQ(page.Reports()[2], Message(ConvCode(CONV_FILE_REASON, CONV_REASON_OUTPUT_IN_USE), 0));
  EXPECT_EQ(page.Reports()[3], Message(CONV_FILE_FAILED, 0));

  // The output folder is gone.
  page.store.WriteString(CFGKEY_OUTPUT_DIR, (dir / L"不存在").c_str());
  page.RunToEnd();
  EXPECT_EQ(page.Reports()[2], Message(ConvCode(CONV_FILE_REASON, CONV_REASON_CANNOT_WRITE), 0));
  EXPECT_EQ(page.Reports()[3], Message(CONV_FILE_FAILED, 0));
}

TEST_F(FileJobTest, ASourceInTheOutputFolderIsNeverWrittenInto) {
  std::wstring inside = outDir + L"\\自己.txt";
  WriteFileBytes(inside, kSimplified);
  // Named through another spelling of the folder, so only the file's
  // identity can tell.
  std::wstring spelled = dir / L"输出\\.\\自己.txt";
  page.Add(spelled, EncUtf8);
  page.RunToEnd();
  EXPECT_EQ(page.Reports()[2],
            Message(ConvCode(CONV_FILE_REASON, CONV_REASON_WOULD_OVERWRITE_SOURCE), 0));
  EXPECT_EQ(page.Reports()[3], Message(CONV_FILE_FAILED, 0));
  EXPECT_EQ(ReadFileBytes(inside), kSimplified);
}

TEST_F(FileJobTest, NoQueuedSourceIsWrittenIntoInEitherOrderHoweverTheFolderIsSpelled) {
  const std::wstring inside = outDir + L"\\同名.txt";
  const std::string insideText = "头发\r\n";
  const std::wstring outside = Source(L"同名.txt", kSimplified);
  std::wstring upper = outDir;
  CharUpperW(upper.data());
  ASSERT_NE(upper, outDir);
  const std::wstring spellings[] = {outDir, outDir + L"\\", dir / L"输出\\.\\", upper};
  for (const std::wstring& folder : spellings) {
    for (bool insideFirst : {false, true}) {
      SCOPED_TRACE(Utf8(folder) + (insideFirst ? " inside first" : " outside first"));
      WriteFileBytes(inside, insideText);
      page.store.WriteString(CFGKEY_OUTPUT_DIR, folder.c_str());
      page.entries.clear();
      page.Add(insideFirst ? inside : outside, EncUtf8);
      page.Add(insideFirst ? outside : inside, EncUtf8);
      page.RunToEnd();
      EXPECT_EQ(page.Reports(),
                (std::vector<Message>{
                    {CONV_BEGIN, 1000}, {CONV_FILE_BEGIN, 0},
                    {ConvCode(CONV_FILE_REASON, CONV_REASON_WOULD_OVERWRITE_SOURCE), 0},
                    {CONV_FILE_FAILED, 0}, {CONV_FILE_BEGIN, 1},
                    {ConvCode(CONV_FILE_REASON, CONV_REASON_WOULD_OVERWRITE_SOURCE), 1},
                    {CONV_FILE_FAILED, 1}, {CONV_END, 0}}));
      EXPECT_EQ(ReadFileBytes(inside), insideText);
      EXPECT_EQ(ReadFileBytes(outside), kSimplified);
    }
  }
}

TEST_F(FileJobTest, AFileOfFourGibibytesFailsInsteadOfLookingWhole) {
  std::wstring path = inDir + L"\\huge.txt";
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  DWORD ignored = 0;
  DeviceIoControl(h, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &ignored, nullptr);
  LARGE_INTEGER size;
  size.QuadPart = 4LL * 1024 * 1024 * 1024 + 10;
  ASSERT_TRUE(SetFilePointerEx(h, size, nullptr, FILE_BEGIN));
  ASSERT_TRUE(SetEndOfFile(h));
  CloseHandle(h);
  page.Add(path, EncUtf8);
  page.RunToEnd();
  EXPECT_EQ(page.Reports()[2], Message(ConvCode(CONV_FILE_REASON, CONV_REASON_CANNOT_READ), 0));
  EXPECT_EQ(page.Reports()[3], Message(CONV_FILE_FAILED, 0));
  EXPECT_FALSE(OutputExists(L"huge.txt"));
  DeleteFileW(path.c_str());
}

}  // namespace

namespace {

// A job that, after every chunk it appends, tries to write into the same
// output file as a second copy of the program would.
class ProbingJob : public FileJob {
 public:
  using FileJob::FileJob;
  std::vector<DWORD> probes;  // the error each attempt met (0: it got in)

 protected:
  void ChunkWritten(const std::wstring& outputPath) override {
    HANDLE other = CreateFileW(outputPath.c_str(), GENERIC_WRITE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    if (other == INVALID_HANDLE_VALUE) {
      probes.push_back(GetLastError());
      return;
    }
    probes.push_back(0);
    LARGE_INTEGER end{};
    SetFilePointerEx(other, end, nullptr, FILE_END);
    DWORD written = 0;
    WriteFile(other, "OTHER", 5, &written, nullptr);
    CloseHandle(other);
  }
};

using ProbingPage = BasicJobPage<ProbingJob>;

}  // namespace

TEST_F(FileJobTest, WhileAFileIsConvertedNoOtherWriterGetsIntoItsOutput) {
  // Several chunks' worth of text.
  std::string big;
  while (big.size() < 3 * 1048576) big += kSimplified + "\r\n";
  ProbingPage probing(dir / L"探测.cfg");
  ASSERT_GT(probing.store.WriteString(CFGKEY_OUTPUT_DIR, outDir.c_str()), 0);
  FileEntry e;
  ASSERT_TRUE(MakeFileEntry(Source(L"大.txt", big).c_str(), EncUtf8, e));
  probing.entries.push_back(e);
  ASSERT_EQ(probing.StartJob(), 1);
  ASSERT_TRUE(probing.sink.PumpUntilEnd(120000));
  while (probing.WorkerRecorded()) probing.sink.PumpFor(5);
  ASSERT_GE(probing.job.probes.size(), 2u);
  for (DWORD error : probing.job.probes) EXPECT_EQ(error, static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  EXPECT_EQ(Output(L"大.txt"), EngineConvert(big, Sim2Tra));
}

TEST_F(FileJobTest, SourcesThatHoldNoTextOrAreDevicesFailWithTheirReasonAndWriteNothing) {
  // A program queued by mistake.
  const std::wstring program = inDir + L"\\程序.txt";
  ASSERT_TRUE(CopyFileW((ExeFolder() + L"\\filejob_test.exe").c_str(), program.c_str(), FALSE));
  page.Add(program, EncAnsi);
  // A device under a file's name, as a queue entry made before it could be refused.
  FileEntry device;
  ASSERT_TRUE(MakeFileEntry(L"\\\\.\\nul", EncUtf8, device));
  page.entries.push_back(device);
  // Text with a few stray zero bytes is still text.
  page.Add(Source(L"零.txt", std::string("开始\0\r\n中间\0结束\r\n", 24)), EncUtf8);
  page.RunToEnd();
  const std::vector<Message> reports = page.Reports();
  EXPECT_EQ(reports, (std::vector<Message>{
                         {CONV_BEGIN, 1000}, {CONV_FILE_BEGIN, 0},
                         {ConvCode(CONV_FILE_REASON, CONV_REASON_NOT_TEXT), 0},
                         {CONV_FILE_FAILED, 0}, {CONV_FILE_BEGIN, 1},
                         {ConvCode(CONV_FILE_REASON, CONV_REASON_NOT_DISK_FILE), 1},
                         {CONV_FILE_FAILED, 1}, {CONV_FILE_BEGIN, 2}, {CONV_FILE_DONE, 2},
                         {CONV_END, 0}}));
  EXPECT_FALSE(OutputExists(L"程序.txt"));
}

namespace {

// A UTF-8 file with one character cut short (a byte lost) converts as
// UTF-8: the damaged place becomes U+FFFD, every line end stays, and the
// job tells the page how many places it replaced.
TEST_F(FileJobTest, DamagedUtf8IsConvertedWithReplacementsAndSaysHowMany) {
  std::string damaged = kSimplified;
  const size_t cut = damaged.find("开始") + 2;  // the last byte of 开
  damaged.erase(cut, 1);
  page.Add(Source(L"损坏.txt", damaged), EncUtf8);
  page.RunToEnd();
  EXPECT_EQ(page.Reports(), (std::vector<Message>{{CONV_BEGIN, 1000}, {CONV_FILE_BEGIN, 0},
                                                  {ConvCode(CONV_FILE_REPLACED, 1), 0},
                                                  {CONV_FILE_DONE, 0}, {CONV_END, 0}}));
  std::string mended = kSimplified;
  mended.replace(mended.find("开始"), 3, "\xEF\xBF\xBD");
  EXPECT_EQ(Output(L"损坏.txt"), EngineConvert(mended, Sim2Tra));
}

// The user's choice of encoding wins over the not-text guess: UTF-16 with
// many U+0000 units is refused when detected, converted when chosen.
TEST_F(FileJobTest, AnEncodingChosenByHandIsConvertedEvenWhenItLooksLikeNoText) {
  std::string text;
  for (int i = 0; i < 40; ++i) text += Utf16Le("简体") + std::string(8, '\0') + Utf16Le("\r\n");
  page.Add(Source(L"猜测.txt", text), EncUtf16);
  page.Add(Source(L"选择.txt", text), EncUtf16);
  page.entries[1].chosenByHand = true;
  page.RunToEnd();
  EXPECT_EQ(page.Reports(), (std::vector<Message>{
                                {CONV_BEGIN, 1000}, {CONV_FILE_BEGIN, 0},
                                {ConvCode(CONV_FILE_REASON, CONV_REASON_NOT_TEXT), 0},
                                {CONV_FILE_FAILED, 0}, {CONV_FILE_BEGIN, 1},
                                {CONV_FILE_DONE, 1}, {CONV_END, 0}}));
  std::string expected;
  for (int i = 0; i < 40; ++i) expected += "簡體" + std::string(4, '\0') + "\r\n";
  EXPECT_EQ(Output(L"选择.txt"), expected);
}

}  // namespace
