// Whole text conversions through the engine and the real glyphmap, on a
// worker thread, as a text page runs them.
#include <gtest/gtest.h>

#include "engine/ConvWorker.h"
#include "engine/ConvertText.h"
#include "fw/MessageBox.h"
#include "tests/support/NotifySink.h"
#include "tests/support/TestText.h"

using namespace testing_support;

namespace {

class TextPage : public ConvWorker {
 public:
  TextJob job;
  NotifySink sink;
  TextPage() { job.window = sink.hwnd(); }
  DWORD RunJob() override { return ConvertText(job); }
  void OnJobMessage(WPARAM, LPARAM) override {}
  HWND JobWindow() const override { return sink.hwnd(); }

  std::wstring Convert(const std::wstring& text, ConvDirection direction) {
    job.source = text;
    job.direction = direction;
    sink.clear();
    EXPECT_EQ(StartJob(), 1);
    EXPECT_TRUE(sink.PumpUntilEnd());
    while (WorkerRecorded()) sink.PumpFor(5);
    return job.result;
  }
};

const char* kSimplified =
    "第一章\r\n"
    "这个软件把简体中文转换成繁体中文。她的头发后来长得很快，面条也吃完了。\r\n"
    "干部们在里面讨论经济发展的问题，会议结束以后，大家都觉得很满意。\r\n"
    "计算机程序设计需要耐心，测试能发现真正的错误。";
const char* kTraditional =
    "第一章\r\n"
    "這個軟件把簡體中文轉換成繁體中文。她的頭髮後來長得很快，麪條也喫完了。\r\n"
    "幹部們在裏面討論經濟發展的問題，會議結束以後，大家都覺得很滿意。\r\n"
    "計算機程序設計需要耐心，測試能發現真正的錯誤。";

TEST(TextConversion, ParagraphsBothWays) {
  std::vector<fw::MessageBoxCall> boxes;
  fw::ScopedMessageBoxHook hook([&](const fw::MessageBoxCall& c) {
    boxes.push_back(c);
    return IDOK;
  });
  TextPage page;
  EXPECT_EQ(Utf8(page.Convert(Wide(kSimplified), Sim2Tra)), kTraditional);
  EXPECT_EQ(Utf8(page.Convert(Wide(kTraditional), Tra2Sim)), kSimplified);
  EXPECT_EQ(page.sink.messages().front().first, 1u);
  EXPECT_EQ(page.sink.messages().back().first, 2u);
  EXPECT_TRUE(boxes.empty());
}

TEST(TextConversion, SupplementaryCharactersAndEmptyText) {
  TextPage page;
  // U+20000 and U+2A6D6 have no entries; they pass through as pairs.
  std::wstring text = L"\U00020000头发\U0002A6D6";
  EXPECT_EQ(page.Convert(text, Sim2Tra), L"\U00020000頭髮\U0002A6D6");
  EXPECT_EQ(page.Convert(L"㓆", Sim2Tra), L"\U000205E3");
  EXPECT_EQ(page.Convert(L"", Sim2Tra), L"");
}

}  // namespace
