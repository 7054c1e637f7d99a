// ConvEngine and ConvertText against the glyphmap stand-in.
#include <gtest/gtest.h>

#include <vector>

#include "engine/ConvConfigs.h"
#include "engine/ConvEngine.h"
#include "engine/ConvNotify.h"
#include "engine/ConvWorker.h"
#include "engine/ConvertText.h"
#include "fw/MessageBox.h"
#include "tests/fakes/FakeGlyphmap.h"
#include "tests/support/NotifySink.h"
#include "tests/support/TestText.h"

using testing_support::NotifySink;
using testing_support::Wide;

namespace {

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override { *FakeGlyphmap() = FakeGlyphmapState{}; }
  FakeGlyphmapState& fake() { return *FakeGlyphmap(); }
};

TEST_F(EngineTest, ConfigurationTextsAreTheShippedBytes) {
  EXPECT_EQ(kConvConfigSim2Tra.size(), 368u);
  EXPECT_EQ(kConvConfigTra2Sim.size(), 348u);
  for (std::string_view text : {kConvConfigSim2Tra, kConvConfigTra2Sim}) {
    EXPECT_EQ(text.substr(0, 3), " \t{");
    EXPECT_EQ(text.back(), '\t');
    for (char c : text) {
      EXPECT_TRUE(c == '\t' || (c >= 0x20 && c < 0x7F)) << int(c);
    }
  }
  EXPECT_NE(kConvConfigSim2Tra.find("\"file\" : \"STCharacters.txt\""), std::string_view::npos);
  EXPECT_NE(kConvConfigTra2Sim.find("\"file\": \"TSCharacters.txt\""), std::string_view::npos);
}

TEST_F(EngineTest, OpenPassesTheDirectionsTextAndLibraryName) {
  ConvEngine engine;
  fake().openResult = 3;
  EXPECT_TRUE(engine.Open(Sim2Tra));
  EXPECT_EQ(fake().lastConfig, kConvConfigSim2Tra);
  EXPECT_EQ(fake().lastLibraryName, "glyphmap");
  EXPECT_EQ(engine.Handle(), 3);
  engine.Close();
  EXPECT_EQ(fake().lastClosed, 3);
  EXPECT_EQ(engine.Handle(), -1);
  EXPECT_TRUE(engine.Configurations().empty());

  // After a close, the list is rebuilt from scratch: two entries, text 1 opened.
  EXPECT_TRUE(engine.Open(Tra2Sim));
  EXPECT_EQ(fake().lastConfig, kConvConfigTra2Sim);
  EXPECT_EQ(engine.Configurations().size(), 2u);
  engine.Close();
}

TEST_F(EngineTest, DirectionOutsideTheListOpensWithAnEmptyText) {
  for (ConvDirection d : {2, -1}) {
    ConvEngine engine;
    engine.Open(d);
    EXPECT_EQ(fake().lastConfig, "") << d;
    engine.Close();
  }
}

TEST_F(EngineTest, CloseAfterAFailedOpenDoesNotCloseGlyphmap) {
  fake().openResult = -1;
  ConvEngine engine;
  EXPECT_FALSE(engine.Open(Sim2Tra));
  EXPECT_EQ(engine.Handle(), -1);
  engine.Close();
  EXPECT_EQ(fake().closeCalls, 0);
  EXPECT_TRUE(engine.Configurations().empty());
}

// Runs ConvertText on this thread and collects what the page would see.
struct TextRun {
  TextJob job;
  NotifySink sink;
  std::vector<fw::MessageBoxCall> boxes;

  void Run(const std::wstring& source, ConvDirection direction = Sim2Tra) {
    fw::ScopedMessageBoxHook hook([this](const fw::MessageBoxCall& c) {
      boxes.push_back(c);
      return IDOK;
    });
    job.source = source;
    job.direction = direction;
    job.window = sink.hwnd();
    EXPECT_EQ(ConvertText(job), 0u);
    sink.PumpFor(30);
  }
};

TEST_F(EngineTest, ConvertTextSendsTheWholeTextWithItsTerminator) {
  fake().output = "ABC";
  TextRun run;
  run.Run(L"abc");
  EXPECT_EQ(fake().lastLength, 4u);  // "abc" and its NUL
  EXPECT_EQ(fake().lastInput, std::string("abc\0", 4));
  EXPECT_EQ(run.job.result, L"ABC");
  ASSERT_EQ(run.sink.messages().size(), 2u);
  EXPECT_EQ(run.sink.messages()[0], NotifySink::Message(CONV_BEGIN, 0));
  EXPECT_EQ(run.sink.messages()[1], NotifySink::Message(CONV_END, 0));
  EXPECT_EQ(fake().closeCalls, 1);
  EXPECT_TRUE(run.boxes.empty());
}

TEST_F(EngineTest, ConvertTextKeepsLineEndsAndSupplementaryCharacters) {
  // U+20000 is a surrogate pair: four UTF-8 bytes, within the 4L+4 buffer.
  const std::string utf8 = "\xE5\xA4\xB4\xE5\x8F\x91\r\n\xF0\xA0\x80\x80\r\n";
  fake().output = utf8;
  TextRun run;
  run.Run(Wide(utf8));
  EXPECT_EQ(fake().lastInput, utf8 + std::string(1, '\0'));
  EXPECT_EQ(run.job.result, Wide(utf8));
}

TEST_F(EngineTest, ConvertTextOfAnEmptyTextGivesAnEmptyResult) {
  TextRun run;
  run.job.result = L"old";
  run.Run(L"");
  EXPECT_EQ(fake().lastLength, 1u);
  EXPECT_EQ(run.job.result, L"");
  EXPECT_EQ(run.sink.Count(CONV_END), 1u);
}

TEST_F(EngineTest, ConvertTextWhenGlyphmapCannotOpen) {
  fake().openResult = -1;
  TextRun run;
  run.job.result = L"old";
  run.Run(L"头发");
  EXPECT_EQ(fake().convertCalls, 0);
  EXPECT_EQ(run.job.result, L"");
  EXPECT_TRUE(run.boxes.empty());
  EXPECT_EQ(run.sink.Count(CONV_BEGIN), 1u);
  EXPECT_EQ(run.sink.Count(CONV_END), 1u);
}

TEST_F(EngineTest, ConversionErrorIsShownDecodedAndPartialResultKept) {
  fake().output = "\xE9\xA0\xAD";  // what was written before the failure
  fake().convertThrows = "\xE6\x97\xA0\xE6\xB3\x95\xE6\x89\x93\xE5\xBC\x80\xE8\xAF\x8D\xE5\x85\xB8";
  fw::SetAppName(L"简繁转换");
  TextRun run;
  run.Run(L"头");
  ASSERT_EQ(run.boxes.size(), 1u);
  EXPECT_EQ(run.boxes[0].text, L"无法打开词典");
  EXPECT_EQ(run.boxes[0].caption, L"简繁转换");
  EXPECT_EQ(run.boxes[0].type & 0xF, static_cast<UINT>(MB_OK));
  EXPECT_EQ(run.job.result, L"頭");
  EXPECT_EQ(fake().closeCalls, 1);
  EXPECT_EQ(run.sink.Count(CONV_END), 1u);
  fw::SetAppName(L"Tarnwell");
}

TEST_F(EngineTest, OpenErrorIsShownAndResultEmpty) {
  fake().openThrows = "\xE9\x85\x8D\xE7\xBD\xAE\xE9\x94\x99\xE8\xAF\xAF";  // 配置错误
  TextRun run;
  run.Run(L"abc");
  ASSERT_EQ(run.boxes.size(), 1u);
  EXPECT_EQ(run.boxes[0].text, L"配置错误");
  EXPECT_EQ(run.job.result, L"");
  EXPECT_EQ(run.sink.Count(CONV_END), 1u);
}

// A page's job shows no window from the worker: the page is told.
TEST_F(EngineTest, WithAPagesWorkerTheOpenErrorIsReportedNotShown) {
  struct Page : ConvWorker {
    DWORD RunJob() override { return 0; }
    void OnJobMessage(WPARAM, LPARAM) override {}
    HWND JobWindow() const override { return nullptr; }
  } page;
  fake().openThrows = "\xE9\x85\x8D\xE7\xBD\xAE\xE9\x94\x99\xE8\xAF\xAF";  // 配置错误
  TextRun run;
  run.job.worker = &page;
  run.Run(L"abc");
  EXPECT_TRUE(run.boxes.empty());
  EXPECT_EQ(page.TakeProblem(), "\xE9\x85\x8D\xE7\xBD\xAE\xE9\x94\x99\xE8\xAF\xAF");
  EXPECT_EQ(run.sink.Count(CONV_END), 1u);
}

// Lines skipped in the word list reach the page like any problem, never a
// window from the worker, and only once for one version of the list.
TEST_F(EngineTest, WithAPagesWorkerTheWordListReportIsReportedNotShown) {
  struct Page : ConvWorker {
    DWORD RunJob() override { return 0; }
    void OnJobMessage(WPARAM, LPARAM) override {}
    HWND JobWindow() const override { return nullptr; }
  } page;
  fake().wordListReport = "skipped: line 2";
  TextRun run;
  run.job.worker = &page;
  run.job.options.wordList = L"C:\\no such folder\\report-once.txt";
  run.Run(L"abc");
  EXPECT_TRUE(run.boxes.empty());
  EXPECT_EQ(page.TakeProblem(), "skipped: line 2");
  TextRun again;
  again.job.worker = &page;
  again.job.options.wordList = run.job.options.wordList;
  again.Run(L"abc");
  EXPECT_TRUE(again.boxes.empty());
  EXPECT_EQ(page.TakeProblem(), "");
}

TEST_F(EngineTest, LongMessagesAreCutToTheBoxBuffer) {
  std::vector<fw::MessageBoxCall> boxes;
  fw::ScopedMessageBoxHook hook([&](const fw::MessageBoxCall& c) {
    boxes.push_back(c);
    return IDOK;
  });
  std::string longText;
  for (int i = 0; i < 3000; ++i) longText += "\xE8\xAF\x8D";
  ShowUtf8Message(longText.c_str());
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text.size(), 2047u);
  EXPECT_EQ(boxes[0].text[0], L'词');
}

}  // namespace
