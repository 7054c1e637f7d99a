// The text pages and the progress dialog inside the main window: a real
// conversion each way, the refusal of an empty text, the progress dialog's
// two faces, its place over the main window, its Stop question, and the
// page's recovery after a worker had to be terminated.
#include <windows.h>
// After windows.h:
#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/TarnwellDlg.h"
#include "app/resource.h"
#include "fw/MessageBox.h"
#include "config/CfgStore.h"
#include "engine/Standards.h"
#include "pages/TConvView.h"
#include "skin/CtrlTables.h"
#include "pages/UserWords.h"
#include "tests/support/TempDir.h"
#include "tests/gui/app_env.h"
#include "tests/support/GuiPump.h"
#include "tests/support/WindowPixels.h"

using testing_support::PumpFor;
using testing_support::PumpUntil;

namespace {

class TextPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dlg.Create(IDD_TARNWELL_DIALOG, nullptr));
    app_test::App().m_pMainWnd = &dlg;
    dlg.ShowWindow(SW_SHOW);
    PumpFor(20);
  }
  void TearDown() override {
    if (IsWindow(dlg.m_hWnd)) dlg.DestroyWindow();
    app_test::App().m_pMainWnd = nullptr;
  }

  CTConvView& TextPage(int index) {
    dlg.SwitchToPage(dlg.Page(0), index);
    return *dynamic_cast<CTConvView*>(dlg.Page(index));
  }
  static std::wstring Text(HWND wnd) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(wnd)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(wnd, text.data(), static_cast<int>(text.size()))));
    return text;
  }
  // Types `source` into the page, presses Convert and waits for the end.
  std::wstring Convert(CTConvView& page, const std::wstring& source) {
    SetWindowTextW(page.GetDlgItem(IDC_SOURCE_EDIT), source.c_str());
    SendMessageW(page.m_hWnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(page.GetDlgItem(IDOK)));
    EXPECT_TRUE(PumpUntil(
        [&] { return IsWindowEnabled(page.m_hWnd) && !page.WorkerRecorded(); }, 30000));
    EXPECT_EQ(page.progress.m_hWnd, nullptr);
    return Text(page.GetDlgItem(IDC_RESULT_EDIT));
  }

  CTarnwellDlg dlg;
};

TEST_F(TextPageTest, ConvertsEachWayIntoTheLowerBox) {
  CTConvView& s2t = TextPage(1);
  EXPECT_EQ(Convert(s2t, L"汉字转换，头发和后来。\r\nabc"), L"漢字轉換，頭髮和後來。\r\nabc");
  EXPECT_EQ(Text(s2t.GetDlgItem(IDC_SOURCE_EDIT)), L"汉字转换，头发和后来。\r\nabc");
  EXPECT_TRUE(IsWindowEnabled(dlg.m_hWnd));
  EXPECT_TRUE(IsWindowEnabled(s2t.m_hWnd));

  dlg.GoBack();
  CTConvView& t2s = TextPage(2);
  EXPECT_EQ(Convert(t2s, L"漢字轉換，頭髮和後來。"), L"汉字转换，头发和后来。");
}

TEST_F(TextPageTest, TheStandardAndTheWordListApplyFromTheNextConversion) {
  CfgStore& store = CfgStore::Instance();
  const std::wstring list = WordListPath(store, Sim2Tra);
  DeleteFileW(list.c_str());
  CTConvView& page = TextPage(1);
  EXPECT_EQ(Text(page.standardLabel.m_hWnd), L"繁体标准：通用繁体");
  EXPECT_EQ(Convert(page, L"这个软件的鼠标"), L"這個軟件的鼠標");
  const std::int32_t twPhrases = 2;
  store.WriteValue(CFGKEY_STANDARD, &twPhrases, sizeof(twPhrases));
  SendMessageW(page.m_hWnd, StandardChangedMessage(), 0, 0);
  EXPECT_EQ(Text(page.standardLabel.m_hWnd), L"繁体标准：台湾正体·常用词汇");
  EXPECT_EQ(Convert(page, L"这个软件的鼠标"), L"這個軟體的滑鼠");
  // The user's own words win, and a bad line is told once, not per run.
  std::vector<fw::MessageBoxCall> boxes;
  fw::ScopedMessageBoxHook hook([&](const fw::MessageBoxCall& call) {
    boxes.push_back(call);
    return IDOK;
  });
  testing_support::WriteFileBytes(list, "鼠标\t滑鼠墊\n没有制表符\n");
  EXPECT_EQ(Convert(page, L"这个软件的鼠标"), L"這個軟體的滑鼠墊");
  EXPECT_EQ(Convert(page, L"鼠标"), L"滑鼠墊");
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_NE(boxes[0].text.find(list), std::wstring::npos) << boxes[0].text;
  EXPECT_NE(boxes[0].text.find(L"第 2 行"), std::wstring::npos) << boxes[0].text;
  DeleteFileW(list.c_str());
  store.WriteValue(CFGKEY_STANDARD, &kStandardGeneric, sizeof(kStandardGeneric));
}

TEST_F(TextPageTest, ConvertingAgainReplacesTheLowerTextCompletely) {
  CTConvView& page = TextPage(1);
  SetWindowTextW(page.GetDlgItem(IDC_RESULT_EDIT), L"用户先写在下面的很长很长的一段文字");
  EXPECT_EQ(Convert(page, L"简体"), L"簡體");
  EXPECT_EQ(Convert(page, L"  \r\n"), L"  \r\n") << "only an empty text is refused";
}

// Text put into the lower box from outside takes the marks of the text it
// replaced with it: left behind, each was looked up again at every paint,
// and a conversion after one with thousands of marks took a second longer.
TEST_F(TextPageTest, TextPutIntoTheResultFromOutsideLeavesNoMarksBehind) {
  CTConvView& page = TextPage(1);
  EXPECT_EQ(Convert(page, L"发"), L"發");
  ASSERT_GT(page.resultEdit.marks.Count(), 0) << "发 alone is a place to proofread";
  SetWindowTextW(page.GetDlgItem(IDC_RESULT_EDIT), L"");
  EXPECT_EQ(page.resultEdit.marks.Count(), 0);
  EXPECT_EQ(Text(page.proofCount.m_hWnd), L"");
}

// A result with a line too long to wrap in good time (word wrap costs the
// square of a line's length) is shown unwrapped, scrolling sideways; a
// short one wraps again.
TEST_F(TextPageTest, AVeryLongLineIsShownUnwrappedAndShortTextWrapsAgain) {
  CTConvView& page = TextPage(1);
  const auto wraps = [&] {
    return (GetWindowLongW(page.GetDlgItem(IDC_RESULT_EDIT), GWL_STYLE) & ES_AUTOHSCROLL) == 0;
  };
  EXPECT_TRUE(wraps());
  std::wstring line, expected;
  for (int i = 0; i < 30000; ++i) {
    line += L"简体字"[i % 3];
    expected += L"簡體字"[i % 3];
  }
  EXPECT_EQ(Convert(page, line), expected);
  EXPECT_FALSE(wraps());
  EXPECT_EQ(Convert(page, L"简体\r\n字"), L"簡體\r\n字");
  EXPECT_TRUE(wraps());
}

// The boxes keep a device context of their own, which keeps what a
// painting left in it: a box made larger still paints all of its new part.
TEST_F(TextPageTest, ABoxMadeLargerPaintsAllOfItsNewPart) {
  CTConvView& page = TextPage(1);
  HWND box = page.GetDlgItem(IDC_RESULT_EDIT);
  std::wstring text;
  for (int i = 0; i < 100; ++i) text += L"第" + std::to_wstring(i) + L"行，繁體\r\n";
  SetWindowTextW(box, text.c_str());
  RECT rc{};
  GetWindowRect(box, &rc);
  const int cx = rc.right - rc.left, cy = rc.bottom - rc.top;
  SetWindowPos(box, nullptr, 0, 0, cx, cy / 3, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  testing_support::WindowPixels small(box);
  SetWindowPos(box, nullptr, 0, 0, cx, cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  const testing_support::WindowPixels grown(box);
  // The lower half, new: the box's own background with text on it.
  const int x0 = 4, x1 = grown.width() - 4, y0 = grown.height() / 2, y1 = grown.height() - 4;
  const int area = (x1 - x0) * (y1 - y0);
  const int back = grown.Count(page.resultEdit.backColor, x0, y0, x1, y1);
  EXPECT_GT(back, area / 2);
  EXPECT_LT(back, area) << "the lines there are drawn";
}

TEST_F(TextPageTest, AnEmptySourceIsRefusedWithTheMessage) {
  CTConvView& page = TextPage(1);
  std::vector<fw::MessageBoxCall> boxes;
  bool coveredDuringBox = false;
  fw::ScopedMessageBoxHook hook([&](const fw::MessageBoxCall& call) {
    boxes.push_back(call);
    coveredDuringBox = !IsWindowEnabled(dlg.m_hWnd);
    return IDOK;
  });
  SetWindowTextW(page.GetDlgItem(IDC_RESULT_EDIT), L"旧");
  EXPECT_EQ(Convert(page, L""), L"旧");
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, L"请先添加需要处理的内容再执行该操作.");
  EXPECT_EQ(boxes[0].caption, app_test::ProductTitle());
  EXPECT_EQ(boxes[0].type & 0xF, static_cast<UINT>(MB_OK));
  EXPECT_TRUE(coveredDuringBox) << "the display covers the page while the box is up";
  EXPECT_EQ(page.progress.m_hWnd, nullptr);
  EXPECT_TRUE(IsWindowEnabled(dlg.m_hWnd));
  EXPECT_FALSE(page.WorkerRecorded());
}

// Records the size of every tool record given to the shared tooltip.
struct AddToolRecorder {
  std::vector<UINT> sizes;
  static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                               DWORD_PTR data) {
    if (msg == TTM_ADDTOOLW) {
      reinterpret_cast<AddToolRecorder*>(data)->sizes.push_back(
          reinterpret_cast<const TOOLINFOW*>(lp)->cbSize);
    }
    return DefSubclassProc(wnd, msg, wp, lp);
  }
};

TEST_F(TextPageTest, FiftyConversionsLeaveTheSharedTooltipAsTheyFoundIt) {
  CTConvView& page = TextPage(1);
  // Every page made first: the window makes the rest in the background,
  // each adding its own tools.
  for (int i = 0; i < PAGE_COUNT; ++i) ASSERT_NE(dlg.Page(i), nullptr) << i;
  HWND tooltip = SharedTooltip();
  ASSERT_NE(tooltip, nullptr);
  AddToolRecorder recorder;
  ASSERT_TRUE(SetWindowSubclass(tooltip, &AddToolRecorder::Proc, 78,
                                reinterpret_cast<DWORD_PTR>(&recorder)));
  const LRESULT before = SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0);
  // The display comes at once, fifty times.
  page.progressDelayMs = 0;
  for (int i = 0; i < 50; ++i) ASSERT_EQ(Convert(page, L"简体"), L"簡體") << i;
  page.progressDelayMs = 400;
  RemoveWindowSubclass(tooltip, &AddToolRecorder::Proc, 78);
  EXPECT_EQ(SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0), before);
  // Each progress display gave its tools, in records the classic common
  // controls (which the program's manifest asks for) accept.
  ASSERT_EQ(recorder.sizes.size(), 100u);
  for (UINT size : recorder.sizes) ASSERT_EQ(size, static_cast<UINT>(TTTOOLINFOW_V2_SIZE));
}

// A text page whose job never ends by itself, with a short grace period.
class StuckPage : public CDlgSim2Tra {
 public:
  explicit StuckPage(fw::CWnd* parent) : CDlgSim2Tra(parent) {}
  DWORD RunJob() override {
    PostJobMessage(CONV_BEGIN, 0);
    Sleep(INFINITE);
    return 0;
  }

 protected:
  DWORD StopGraceMs() const override { return 300; }
};

class ProgressTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dlg.Create(IDD_TARNWELL_DIALOG, nullptr));
    app_test::App().m_pMainWnd = &dlg;
    dlg.SetWindowPos(nullptr, 60, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    dlg.ShowWindow(SW_SHOW);
    ASSERT_TRUE(page.Create(IDD_SIM2TRA, &dlg));
    page.SetWindowPos(nullptr, 7, 66, 766, 443, SWP_NOZORDER | SWP_SHOWWINDOW);
    PumpFor(20);
  }
  void TearDown() override {
    if (page.progress.m_hWnd != nullptr) page.progress.DestroyWindow();
    if (page.WorkerRecorded()) page.StopJob();
    PumpFor(20);
    if (IsWindow(page.m_hWnd)) page.DestroyWindow();
    if (IsWindow(dlg.m_hWnd)) dlg.DestroyWindow();
    app_test::App().m_pMainWnd = nullptr;
  }

  // The ids of the progress dialog's visible controls, in id order.
  std::vector<int> VisibleControls() {
    std::vector<int> ids;
    for (int id : {IDC_STOP_BTN, IDC_CLOSE_BTN, IDC_PROGRESS_BAR, IDC_PROGRESS_ANIM,
                   IDC_WAIT_TEXT, IDC_PROGRESS_LABEL}) {
      if (IsWindowVisible(page.progress.GetDlgItem(id))) ids.push_back(id);
    }
    return ids;
  }

  CTarnwellDlg dlg;
  StuckPage page{&dlg};
};

TEST_F(ProgressTest, ModeZeroShowsBarLabelAndStop) {
  ASSERT_TRUE(page.progress.Create(&page, PROGRESS_MODE_BAR));
  page.progress.ShowOverParent(TRUE);
  EXPECT_EQ(VisibleControls(), (std::vector<int>{IDC_STOP_BTN, IDC_CLOSE_BTN, IDC_PROGRESS_BAR,
                                                 IDC_PROGRESS_LABEL}));
  wchar_t label[32] = {};
  GetDlgItemTextW(page.progress.m_hWnd, IDC_PROGRESS_LABEL, label, 32);
  EXPECT_STREQ(label, L"处理进度:");
  EXPECT_EQ(page.progress.title, L"正在转换...");
}

TEST_F(ProgressTest, ModeOneShowsAnimationAndWaitingText) {
  ASSERT_TRUE(page.progress.Create(&page, PROGRESS_MODE_ANIM));
  page.progress.ShowOverParent(TRUE);
  EXPECT_EQ(VisibleControls(),
            (std::vector<int>{IDC_CLOSE_BTN, IDC_PROGRESS_ANIM, IDC_WAIT_TEXT}));
  EXPECT_EQ(page.progress.animation.frames.GetImageCount(), 18);
  EXPECT_EQ(page.progress.animation.frameCount, 18);
}

TEST_F(ProgressTest, OpensCentredOverTheMainWindowAndDisablesIt) {
  ASSERT_TRUE(page.progress.Create(&page, PROGRESS_MODE_BAR));
  page.progress.ShowOverParent(TRUE);
  RECT m = dlg.GetWindowRect();
  RECT p = page.progress.GetWindowRect();
  EXPECT_EQ(p.right - p.left, 520);
  EXPECT_EQ(p.bottom - p.top, 260);
  EXPECT_EQ(p.left, m.left + ((m.right - m.left) - 520) / 2);
  EXPECT_EQ(p.top, m.top + ((m.bottom - m.top) - 260) / 2);
  EXPECT_TRUE(page.progress.IsWindowVisible());
  EXPECT_FALSE(IsWindowEnabled(dlg.m_hWnd));
  // Esc and Enter do not close it.
  SendMessageW(page.progress.m_hWnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  SendMessageW(page.progress.m_hWnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  EXPECT_TRUE(page.progress.IsWindowVisible());
  page.progress.ShowOverParent(FALSE);
  EXPECT_FALSE(page.progress.IsWindowVisible());
  EXPECT_TRUE(IsWindowEnabled(dlg.m_hWnd));
}

TEST_F(ProgressTest, AThousandStepsFillTheBar) {
  ASSERT_TRUE(page.progress.Create(&page, PROGRESS_MODE_BAR));
  page.progress.SetBarRange(1000);
  for (int i = 0; i < 999; ++i) page.progress.StepBar();
  RECT bar = page.progress.bar.GetClientRect();
  const int inner = bar.right - 2;
  EXPECT_LT(page.progress.bar.BarWidth(inner), inner);
  EXPECT_EQ(page.progress.StepBar(), 1);
  EXPECT_EQ(page.progress.bar.pos, 1000);
  EXPECT_EQ(page.progress.bar.BarWidth(inner), inner);
}

TEST_F(ProgressTest, EachAnimationFrameStartsFromTheBodyColour) {
  ASSERT_TRUE(page.progress.Create(&page, PROGRESS_MODE_ANIM));
  page.progress.ShowOverParent(TRUE);
  vek_AnimPlayer& anim = page.progress.animation;
  anim.paused = TRUE;  // the frames are shown by hand below
  ASSERT_GE(anim.frames.GetImageCount(), 6) << "the resource pack's strip";
  // The colour is the dialog's own body beside the animation.
  RECT box = anim.GetWindowRect();
  MapWindowPoints(nullptr, page.progress.m_hWnd, reinterpret_cast<POINT*>(&box), 2);
  testing_support::WindowPixels dialog(page.progress.m_hWnd);
  EXPECT_EQ(dialog.at(box.left - 3, box.top + 10), anim.backColor);

  for (int f = 1; f <= 5; ++f) {
    anim.frame = f;
    anim.Invalidate(false);
    anim.UpdateWindow();
  }
  testing_support::WindowPixels shown(anim.m_hWnd);
  // Frame 5 alone on the body colour.
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, shown.width(), shown.height());
  HGDIOBJ old = SelectObject(mem, bitmap);
  HBRUSH body = CreateSolidBrush(anim.backColor);
  RECT all{0, 0, shown.width(), shown.height()};
  FillRect(mem, &all, body);
  anim.frames.Draw(mem, 5, POINT{0, 0}, ILD_TRANSPARENT);
  testing_support::WindowPixels alone(mem, shown.width(), shown.height());
  int differing = 0, dots = 0;
  for (int y = 0; y < shown.height(); ++y) {
    for (int x = 0; x < shown.width(); ++x) {
      if (shown.at(x, y) != alone.at(x, y)) ++differing;
      if (alone.at(x, y) != anim.backColor) ++dots;
    }
  }
  SelectObject(mem, old);
  DeleteObject(body);
  DeleteObject(bitmap);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  EXPECT_GT(dots, 0) << "frame 5 has dots of its own";
  EXPECT_EQ(differing, 0) << "dots of earlier frames stayed on screen";
}

// A text page whose job reports that the conversion library did not open.
class ProblemPage : public CDlgSim2Tra {
 public:
  explicit ProblemPage(fw::CWnd* parent) : CDlgSim2Tra(parent) {}
  DWORD RunJob() override {
    PostJobMessage(CONV_BEGIN, 0);
    ReportProblem("\xE6\x97\xA0\xE6\xB3\x95\xE6\x89\x93\xE5\xBC\x80 STPhrases.txt");
    PostJobMessage(CONV_END, 0);
    return 0;
  }
};

TEST_F(ProgressTest, AJobsProblemIsShownOnThePagesThreadOverTheMainWindow) {
  ProblemPage problem(&dlg);
  ASSERT_TRUE(problem.Create(IDD_SIM2TRA, &dlg));
  std::vector<fw::MessageBoxCall> boxes;
  DWORD thread = 0;
  fw::ScopedMessageBoxHook hook([&](const fw::MessageBoxCall& call) {
    boxes.push_back(call);
    thread = GetCurrentThreadId();
    return IDOK;
  });
  SetWindowTextW(problem.GetDlgItem(IDC_SOURCE_EDIT), L"简体");
  SendMessageW(problem.m_hWnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
               reinterpret_cast<LPARAM>(problem.GetDlgItem(IDOK)));
  EXPECT_TRUE(PumpUntil([&] { return !boxes.empty() && !problem.WorkerRecorded(); }, 30000));
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, L"无法打开 STPhrases.txt");
  EXPECT_EQ(boxes[0].owner, dlg.m_hWnd);
  EXPECT_EQ(thread, GetCurrentThreadId());
  problem.DestroyWindow();
}

TEST_F(ProgressTest, StopAsksFirstThenTheTerminatedJobUncoversThePage) {
  SetWindowTextW(page.GetDlgItem(IDC_SOURCE_EDIT), L"简体");
  SetWindowTextW(page.GetDlgItem(IDC_RESULT_EDIT), L"以前的结果");
  page.UpdateData(true);
  ASSERT_TRUE(page.progress.Create(&page, PROGRESS_MODE_BAR));
  page.progress.ShowOverParent(TRUE);
  ASSERT_EQ(page.StartJob(), 1);

  int answer = IDNO;
  std::vector<fw::MessageBoxCall> boxes;
  fw::ScopedMessageBoxHook hook([&](const fw::MessageBoxCall& call) {
    boxes.push_back(call);
    return answer;
  });
  auto clickStop = [&] {
    SendMessageW(page.progress.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_STOP_BTN, BN_CLICKED),
                 reinterpret_cast<LPARAM>(page.progress.GetDlgItem(IDC_STOP_BTN)));
  };
  clickStop();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, L"您确定要终止转换?");
  EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
  PumpFor(100);
  EXPECT_TRUE(page.WorkerRecorded()) << "No leaves the job running";
  EXPECT_TRUE(page.progress.IsWindowVisible());
  EXPECT_FALSE(IsWindowEnabled(dlg.m_hWnd));

  answer = IDYES;
  clickStop();
  EXPECT_EQ(boxes.size(), 2u);
  EXPECT_FALSE(page.WorkerRecorded());
  EXPECT_TRUE(page.LastJobTerminated());
  // The terminated worker posts nothing; the page still comes back.
  EXPECT_TRUE(PumpUntil([&] { return page.progress.m_hWnd == nullptr; }, 5000));
  EXPECT_TRUE(IsWindowEnabled(dlg.m_hWnd));
  EXPECT_TRUE(IsWindowEnabled(page.m_hWnd));
  wchar_t result[32] = {};
  GetDlgItemTextW(page.m_hWnd, IDC_RESULT_EDIT, result, 32);
  EXPECT_STREQ(result, L"以前的结果") << "a terminated job leaves the result alone";
}

TEST_F(ProgressTest, ConvertCoversThePageAfterAMomentUntilTheStuckJobIsStopped) {
  SetWindowTextW(page.GetDlgItem(IDC_SOURCE_EDIT), L"简体");
  SendMessageW(page.m_hWnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
               reinterpret_cast<LPARAM>(page.GetDlgItem(IDOK)));
  // Closed to the user at once; the display comes only once the job has
  // run for a moment (a short one ends before it would).
  EXPECT_FALSE(IsWindowEnabled(page.m_hWnd));
  EXPECT_EQ(page.progress.m_hWnd, nullptr);
  EXPECT_TRUE(PumpUntil([&] { return page.progress.m_hWnd != nullptr; }, 30000));
  ASSERT_NE(page.progress.m_hWnd, nullptr);
  EXPECT_TRUE(page.progress.IsWindowVisible());
  EXPECT_EQ(page.progress.animation.frameCount, 2);
  EXPECT_FALSE(IsWindowEnabled(dlg.m_hWnd));
  // A second Convert while the worker is recorded starts nothing.
  EXPECT_EQ(page.StartJob(), 0);

  page.StopJob();
  EXPECT_TRUE(PumpUntil([&] { return page.progress.m_hWnd == nullptr; }, 5000));
  EXPECT_TRUE(IsWindowEnabled(dlg.m_hWnd));
}

}  // namespace
