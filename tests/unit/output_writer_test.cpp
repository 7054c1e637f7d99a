// The safe writer and the planner of the pipeline, as a file page's run
// meets them: appending in the file's own encoding, outputs that meet
// within a run, part files, empty results, long paths, folders made for a
// failed file, converted names that are devices, settings carried from Start;
// and the conversion of one file telling a line too long from undecodable text.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "config/CfgStore.h"
#include "engine/ConvEngine.h"
#include "engine/ConvNotify.h"
#include "pages/FileJob.h"
#include "pages/OutputOptions.h"
#include "pages/UserWords.h"
#include "pipeline/FileConvert.h"
#include "pipeline/PartFiles.h"
#include "pipeline/TextFiles.h"
#include "textio/TextEncoder.h"
#include "tests/support/EngineConvert.h"
#include "tests/support/JobPage.h"
#include "tests/support/NotifySink.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestText.h"

using namespace testing_support;
using Message = NotifySink::Message;

namespace {

const std::string kText = "头发长了\r\n计算机软件\r\n";

class OutputWriterTest : public JobFolders {
 protected:
  OutputWriterTest() : JobFolders(L"输出写入") {}
  void Set(std::int32_t key, std::int32_t value) {
    ASSERT_GT(page.store.WriteValue(key, &value, sizeof(value)), 0);
  }
  bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
  }
};

TEST_F(OutputWriterTest, AppendingContinuesTheFilesOwnEncodingWithNoSecondMark) {
  const std::string converted = EngineConvert(kText, Sim2Tra);
  page.Add(Source(L"续写.txt", kText), EncUtf8);
  Set(CFGKEY_OUTPUT_ENCODING, OUTENC_UTF8_BOM);
  page.RunToEnd();
  page.RunToEnd();
  // The output encoding changed between runs: the file stays UTF-8.
  Set(CFGKEY_OUTPUT_ENCODING, OUTENC_UTF16LE_BOM);
  page.RunToEnd();
  EXPECT_EQ(Output(L"续写.txt"), "\xEF\xBB\xBF" + converted + converted + converted);

  // UTF-16 of an odd size cannot be continued: the file fails, the old one stays.
  const std::string odd("\xFF\xFE\x34\x12\x00", 5);
  WriteFileBytes(outDir + L"\\续写.txt", odd);
  page.RunToEnd();
  EXPECT_EQ(page.Reports()[2], Message(ConvCode(CONV_FILE_REASON, CONV_REASON_CANNOT_APPEND), 0));
  EXPECT_EQ(Output(L"续写.txt"), odd);
}

TEST_F(OutputWriterTest, OutputsThatMeetInOneRunAreNumberedAndTheRowSaysSo) {
  CreateDirectoryW((dir / L"剧A").c_str(), nullptr);
  CreateDirectoryW((dir / L"剧B").c_str(), nullptr);
  WriteFileBytes(dir / L"剧A\\01.srt", "头发\r\n");
  WriteFileBytes(dir / L"剧B\\01.srt", "软件\r\n");
  for (std::int32_t rule : {EXISTING_REPLACE, EXISTING_APPEND}) {
    SCOPED_TRACE(rule);
    Set(CFGKEY_EXISTING_OUTPUT, rule);
    page.entries.clear();
    page.Add(dir / L"剧A\\01.srt", EncUtf8);
    page.Add(dir / L"剧B\\01.srt", EncUtf8);
    page.RunToEnd();
    EXPECT_EQ(page.Reports()[4], Message(ConvCode(CONV_FILE_REASON, CONV_NOTE_NUMBERED), 1));
    EXPECT_EQ(page.Reports()[5], Message(CONV_FILE_DONE, 1));
  }
  // Replaced, then appended to: each output holds its own source only.
  EXPECT_EQ(Output(L"01.srt"), "頭髮\r\n頭髮\r\n");
  EXPECT_EQ(Output(L"01 (2).srt"), "軟件\r\n軟件\r\n");
}

TEST_F(OutputWriterTest, ReplacingNeverTouchesAFileItDidNotMakeAndClearsItsOwnStaleParts) {
  Set(CFGKEY_EXISTING_OUTPUT, EXISTING_REPLACE);
  WriteFileBytes(outDir + L"\\字幕.srt", "old\r\n");
  // A queued source named as the part file used to be; a part file a killed
  // run left; and a file that only looks like one.
  const std::wstring partLike = outDir + L"\\字幕.srt.tarnwell-part";
  WriteFileBytes(partLike, "来源\r\n");
  const std::wstring stale = outDir + L"\\" + NewPartFileName(L"字幕.srt");
  WriteFileBytes(stale, "半截的输出\r\n");
  const std::wstring lookalike = outDir + L"\\字幕.srt.12345678-0000.tarnwell-part";
  WriteFileBytes(lookalike, "别人的\r\n");
  page.Add(partLike, EncUtf8);
  page.Add(Source(L"字幕.srt", kText), EncUtf8);
  page.RunToEnd();
  EXPECT_EQ(page.Reports().back(), Message(CONV_END, 0));
  EXPECT_EQ(Output(L"字幕.srt"), EngineConvert(kText, Sim2Tra));
  EXPECT_EQ(ReadFileBytes(partLike), "来源\r\n");
  EXPECT_FALSE(Exists(stale));
  EXPECT_EQ(ReadFileBytes(lookalike), "别人的\r\n");

  // An empty source replaces the old output with its empty result.
  page.entries.clear();
  page.Add(Source(L"字幕.srt", ""), EncUtf8);
  page.RunToEnd();
  EXPECT_EQ(page.Reports()[2], Message(CONV_FILE_DONE, 0));
  EXPECT_EQ(Output(L"字幕.srt"), "");
}

TEST_F(OutputWriterTest, LongOutputPathsAreWrittenAndAFailedFileLeavesNoFolderItMade) {
  Set(CFGKEY_EXISTING_OUTPUT, EXISTING_REPLACE);
  const std::wstring deep(220, L'd');  // 220 bytes: within a Unix name's 255
  FileEntry entry;
  ASSERT_TRUE(MakeFileEntry(Source(L"长路径的字幕文件.srt", kText).c_str(), EncUtf8, entry));
  wcscpy(entry.subFolder, (deep + L"\\").c_str());
  page.entries.push_back(entry);
  page.RunToEnd();
  page.RunToEnd();  // replaced through a part file past MAX_PATH too
  const std::wstring output = L"\\\\?\\" + outDir + L"\\" + deep + L"\\长路径的字幕文件.srt";
  ASSERT_GT(output.size(), 4u + MAX_PATH);
  EXPECT_EQ(page.Reports()[2], Message(CONV_FILE_DONE, 0));
  EXPECT_EQ(ReadFileBytes(output), EngineConvert(kText, Sim2Tra));
  DeleteFileW(output.c_str());
  RemoveDirectoryW((L"\\\\?\\" + outDir + L"\\" + deep).c_str());

  // Big5 cannot hold Simplified text: the file fails, and the folders made for it go.
  Set(CFGKEY_OUTPUT_ENCODING, OUTENC_BIG5);
  page.direction = Tra2Sim;
  wcscpy(page.entries[0].subFolder, L"第一季\\花絮\\");
  page.RunToEnd();
  EXPECT_EQ(page.Reports()[2], Message(ConvCode(CONV_FILE_REASON, CONV_REASON_ENCODING), 0));
  EXPECT_FALSE(Exists(outDir + L"\\第一季"));
}

TEST_F(OutputWriterTest, AConvertedNameThatIsADeviceKeepsTheSourcesName) {
  Set(CFGKEY_CONVERT_NAMES, 1);
  WriteFileBytes(WordListPath(page.store, Sim2Tra), "设备测试\tNUL\n");
  page.Add(Source(L"设备测试.txt", kText), EncUtf8);
  page.RunToEnd();
  EXPECT_EQ(page.Reports()[2], Message(CONV_FILE_DONE, 0));
  EXPECT_EQ(Output(L"设备测试.txt"), EngineConvert(kText, Sim2Tra));
}

TEST_F(OutputWriterTest, TheRunKeepsTheSettingsItStartedWithWhenTheFileIsHeldLater) {
  page.Add(Source(L"设置.txt", kText), EncUtf8);
  page.settings = ReadRunSettings(page.store, Sim2Tra);
  // Another program holds the settings file for the whole run.
  HANDLE held = CreateFileW((dir / L"Tarnwell.cfg").c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  page.sink.clear();
  ASSERT_EQ(page.ConvWorker::StartJob(), 1);
  ASSERT_TRUE(page.sink.PumpUntilEnd(60000));
  while (page.WorkerRecorded()) page.sink.PumpFor(5);
  CloseHandle(held);
  EXPECT_EQ(Output(L"设置.txt"), EngineConvert(kText, Sim2Tra));
}

// Converted text gathered as the file pages' writer is handed it.
class GatheredConversion : public FileConversion {
 public:
  bool Write(const char* bytes, std::int32_t count) override {
    text.append(bytes, static_cast<size_t>(count));
    return true;
  }
  std::string text;
};

// A line the reader cannot take fails its file with its own reason (行过长),
// not as text of another encoding (编码不符); one that cannot be decoded
// still fails as that.
TEST(FileConvertTest, ALineTooLongIsToldApartFromUndecodableText) {
  TempDir dir{L"长行"};
  const std::string first = "头发\r\n";
  WriteFileBytes(dir / L"long.txt", first + std::string(100, 'x') + "\r\n短\r\n");
  ConvEngine engine;
  ASSERT_TRUE(engine.Open(Sim2Tra, ConvOptions{}));
  OutputBuffer output;
  GatheredConversion tooLong;
  tooLong.longestLine = 64;
  EXPECT_EQ(ConvertOneFile(engine, (dir / L"long.txt").c_str(), EncUtf8, 0, output, tooLong),
            FileOutcome::LineTooLong);
  EXPECT_EQ(tooLong.text, EngineConvert(first, Sim2Tra)) << "the lines before it were converted";
  GatheredConversion noCodePage;
  noCodePage.encodingChosen = true;
  EXPECT_EQ(ConvertOneFile(engine, (dir / L"long.txt").c_str(), EncAnsi, 54321, output,
                           noCodePage),
            FileOutcome::Undecodable);
}

TEST(TextFilesTest, AFolderLeavesOutThisDirectionsEarlierOutputs) {
  TempDir dir{L"文件夹"};
  for (const wchar_t* name : {L"a.srt", L"a(繁體).srt", L"b(台湾正体) (2).srt", L"c(简体).srt"}) {
    WriteFileBytes(dir / name, "x\r\n");
  }
  std::vector<QueuedPath> s2t = ExpandDroppedFolders({dir.path()}, false, Sim2Tra);
  EXPECT_EQ(s2t, (std::vector<QueuedPath>{{dir / L"a.srt", L""}, {dir / L"c(简体).srt", L""}}));
}

}  // namespace
