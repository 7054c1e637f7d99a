// The file job when the engine cannot work: no file may pass for done.
#include <gtest/gtest.h>

#include <vector>

#include "config/CfgStore.h"
#include "engine/ConvNotify.h"
#include "engine/ConvWorker.h"
#include "fw/MessageBox.h"
#include "pages/FileJob.h"
#include "tests/fakes/FakeGlyphmap.h"
#include "tests/support/JobPage.h"
#include "tests/support/NotifySink.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestText.h"

using namespace testing_support;
using Message = NotifySink::Message;

namespace {


class FileJobEngine : public ::testing::Test {
 protected:
  TempDir dir;
  JobPage page{dir / L"Tarnwell.cfg"};
  std::vector<fw::MessageBoxCall> boxes;
  fw::ScopedMessageBoxHook hook{[this](const fw::MessageBoxCall& c) {
    boxes.push_back(c);
    return IDOK;
  }};

  void SetUp() override {
    *FakeGlyphmap() = FakeGlyphmapState{};
    page.store.WriteString(CFGKEY_OUTPUT_DIR, dir.path().c_str());
    CreateDirectoryW((dir / L"in").c_str(), nullptr);
    WriteFileBytes(dir / L"in\\a.txt", "abc\r\n");
    WriteFileBytes(dir / L"in\\empty.txt", "");
    FileEntry a, empty;
    MakeFileEntry((dir / L"in\\a.txt").c_str(), EncUtf8, a);
    MakeFileEntry((dir / L"in\\empty.txt").c_str(), EncUtf8, empty);
    page.entries = {a, empty};
  }
  void Run() { page.RunToEnd(); }
};

TEST_F(FileJobEngine, AnEngineThatDidNotOpenFailsEveryFileWithText) {
  FakeGlyphmap()->openResult = -1;
  Run();
  EXPECT_EQ(page.sink.messages(),
            (std::vector<Message>{{CONV_BEGIN, 1000}, {CONV_FILE_BEGIN, 0},
                                  {ConvCode(CONV_FILE_REASON, CONV_REASON_NO_ENGINE), 0},
                                  {CONV_FILE_FAILED, 0}, {CONV_FILE_BEGIN, 1}, {CONV_FILE_DONE, 1},
                                  {CONV_END, 0}}));
  EXPECT_TRUE(boxes.empty());
  EXPECT_EQ(GetFileAttributesW((dir / L"a.txt").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(FileJobEngine, AnEngineErrorIsReportedToThePageAndTheFilesFail) {
  FakeGlyphmap()->openThrows = "\xE6\x97\xA0\xE6\xB3\x95\xE6\x89\x93\xE5\xBC\x80 STPhrases.txt";
  Run();
  EXPECT_TRUE(boxes.empty()) << "the worker shows no window of its own";
  EXPECT_EQ(Wide(page.TakeProblem()), L"无法打开 STPhrases.txt");
  EXPECT_EQ(page.sink.messages()[2], Message(ConvCode(CONV_FILE_REASON, CONV_REASON_NO_ENGINE), 0));
  EXPECT_EQ(page.sink.messages()[3], Message(CONV_FILE_FAILED, 0));
  EXPECT_EQ(page.sink.messages().back(), Message(CONV_END, 0));
}

TEST_F(FileJobEngine, EachLineGoesToTheEngineAndItsResultToTheFile) {
  FakeGlyphmap()->output = "ABC\r\n";
  Run();
  EXPECT_EQ(FakeGlyphmap()->lastInput, "abc\r\n");
  EXPECT_EQ(FakeGlyphmap()->closeCalls, 1);
  EXPECT_EQ(ReadFileBytes(dir / L"a.txt"), "ABC\r\n");
}

}  // namespace
