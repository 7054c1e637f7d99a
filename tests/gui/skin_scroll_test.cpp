// The toolkit's scroll bars: geometry, hit-testing, position changes and
// what they tell the scrolled object, presses with their repeat timers,
// thumb drags and painting.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "skin/SkinScrollBar.h"
#include "tests/support/WindowPixels.h"

namespace {

using testing_support::PumpMessages;
using testing_support::WindowPixels;

class FakeScrollObj : public vek_IScrollObj {
 public:
  int range = 10, page = 3;
  double ratio = 0.5;
  std::vector<int> codes;
  int QueryRange(int bar) override { return bar == 0 || bar == 1 ? range : 0; }
  int QueryPage(int bar) override { return page; }
  int QueryPos(int) override { return 0; }
  double QueryRatio(int) override { return ratio; }
  void OnScrolled(int code) override { codes.push_back(code); }
  int OnScrollHint(int) override { return 0; }
};

// A vertical bar that records its timer ticks.
class TimedVBar : public vek_SkinVScrollBar {
 public:
  std::vector<UINT_PTR> ticks;

 protected:
  void OnTimer(UINT_PTR id) override {
    ticks.push_back(id);
    vek_SkinVScrollBar::OnTimer(id);
  }
};

class ScrollBarTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(host.Create(L"", WS_POPUP | WS_VISIBLE, RECT{20, 20, 420, 320}, HWND{}));
    v.target = &obj;
    h.target = &obj;
    ASSERT_TRUE(v.Create(L"", WS_CHILD | WS_VISIBLE | SS_NOTIFY, RECT{10, 10, 27, 210}, host));
    ASSERT_TRUE(h.Create(L"", WS_CHILD | WS_VISIBLE | SS_NOTIFY, RECT{50, 10, 250, 27}, host));
  }
  void TearDown() override { host.DestroyWindow(); }

  FakeScrollObj obj;
  fw::CStatic host;
  TimedVBar v;
  vek_SkinHScrollBar h;
};

TEST_F(ScrollBarTest, ThumbGeometryFollowsTheRatio) {
  // (200 - 3 * 17) * 0.5 = 74.5, drawn 74 long.
  EXPECT_DOUBLE_EQ(v.GetThumbLength(), 74.5);
  RECT thumb = v.PartRect(SBPART_THUMB);
  EXPECT_EQ(thumb.bottom - thumb.top, 74);
  EXPECT_EQ(thumb.top, 17);
  EXPECT_DOUBLE_EQ(v.GetTrackSpan(), (200 - 34) - 74.5 + 1);
  EXPECT_DOUBLE_EQ(v.GetPixelsPerStep(), v.GetTrackSpan() / 10);
  obj.ratio = 0.01;
  EXPECT_DOUBLE_EQ(v.GetThumbLength(), 16.0);

  obj.ratio = 0.5;
  EXPECT_DOUBLE_EQ(h.GetThumbLength(), 83.0);  // (200 - 34) * 0.5
  EXPECT_DOUBLE_EQ(h.GetTrackSpan(), 166 - 83);
  h.pos = 3;
  EXPECT_EQ(h.ThumbStart(), 17 + static_cast<int>(3 * 8.3));
  obj.range = 0;
  EXPECT_DOUBLE_EQ(h.GetPixelsPerStep(), 0.0);
}

TEST_F(ScrollBarTest, PartsAreHitOnlyStrictlyInside) {
  EXPECT_EQ(v.HitTest(POINT{8, 8}), SBPART_ARROW1);
  EXPECT_EQ(v.HitTest(POINT{8, 195}), SBPART_ARROW2);
  EXPECT_EQ(v.HitTest(POINT{8, 50}), SBPART_THUMB);
  EXPECT_EQ(v.HitTest(POINT{8, 150}), SBPART_TRACK_AFTER);
  v.pos = 10;
  EXPECT_EQ(v.HitTest(POINT{8, 50}), SBPART_TRACK_BEFORE);
  v.pos = 0;
  // The outermost column and row, and the seams between parts.
  EXPECT_EQ(v.HitTest(POINT{0, 8}), SBPART_NONE);
  EXPECT_EQ(v.HitTest(POINT{8, 0}), SBPART_NONE);
  EXPECT_EQ(v.HitTest(POINT{8, 17}), SBPART_NONE);
  EXPECT_EQ(h.HitTest(POINT{17, 8}), SBPART_NONE);
  EXPECT_EQ(h.HitTest(POINT{8, 8}), SBPART_ARROW1);
  EXPECT_EQ(h.HitTest(POINT{8, 0}), SBPART_NONE);
}

TEST_F(ScrollBarTest, PositionChangesClampAndReportTheirCodes) {
  h.LineBack();  // at 0: nothing
  EXPECT_TRUE(obj.codes.empty());
  h.LineForward();
  h.PageForward();
  h.PageBack();
  h.ScrollBy(2);
  EXPECT_EQ(obj.codes, (std::vector<int>{1, 1, 1, 1}));
  EXPECT_EQ(h.pos, 3);
  h.LineBack();
  EXPECT_EQ(obj.codes.back(), 0);

  obj.codes.clear();
  v.ScrollBy(100);
  EXPECT_EQ(v.pos, 10);
  v.LineForward();  // at the end: nothing
  v.ScrollBy(0);
  v.LineBack();
  v.PageBack();
  v.PageForward();
  v.LineForward();
  EXPECT_EQ(obj.codes, (std::vector<int>{3, 2, 2, 2, 3}));
  EXPECT_EQ(v.pos, 10);

  // A range that shrank: ScrollBy(0) pulls the position back.
  obj.range = 4;
  v.ScrollBy(0);
  EXPECT_EQ(v.pos, 4);
}

// Pumps until `done()` holds or `ms` pass; how long it takes is not the test.
template <class Done>
bool PumpUntil(Done done, DWORD ms = 6000) {
  DWORD start = GetTickCount();
  while (!done() && GetTickCount() - start < ms) PumpMessages(20);
  return done();
}

TEST_F(ScrollBarTest, ArrowPressStepsAtOnceThenRepeatsOnTimers) {
  v.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(8, 195));
  EXPECT_EQ(v.pos, 1);
  EXPECT_TRUE(v.buttonDown);
  EXPECT_EQ(v.pressedPart, SBPART_ARROW2);
  auto repeats = [&] { return std::count(v.ticks.begin(), v.ticks.end(), SCROLL_TIMER_REPEAT); };
  ASSERT_TRUE(PumpUntil([&] { return repeats() >= 2; }));
  EXPECT_EQ(v.ticks.front(), SCROLL_TIMER_DELAY);
  EXPECT_EQ(std::count(v.ticks.begin(), v.ticks.end(), SCROLL_TIMER_DELAY), 1);
  v.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(8, 195));
  // Each repeat moved one step (until the end of the range).
  EXPECT_EQ(v.pos, std::min<int>(10, 1 + static_cast<int>(repeats())));

  // The first tick after the release kills the timer; no more follow.
  size_t atRelease = v.ticks.size();
  ASSERT_TRUE(PumpUntil([&] { return v.ticks.size() > atRelease; }));
  int pos = v.pos;
  size_t after = v.ticks.size();
  PumpMessages(300);
  EXPECT_EQ(v.ticks.size(), after);
  EXPECT_EQ(v.pos, pos);
}

TEST_F(ScrollBarTest, TrackPressStopsWhenTheThumbReachesTheCursor) {
  obj.range = 40;
  obj.ratio = 0.1;
  POINT client{8, 170};
  POINT screen = client;
  ClientToScreen(v.m_hWnd, &screen);
  SetCursorPos(screen.x, screen.y);
  v.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(client.x, client.y));
  EXPECT_EQ(v.pos, 3);  // one page at once
  // The repeat ends by itself once the thumb covers the cursor.
  ASSERT_TRUE(PumpUntil([&] { return v.HitTest(client) != SBPART_TRACK_AFTER; }));
  int stopped = v.pos;
  EXPECT_LT(stopped, 40);
  PumpMessages(300);
  EXPECT_EQ(v.pos, stopped);
  v.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(client.x, client.y));
}

TEST_F(ScrollBarTest, ThumbDragMovesByWholeSteps) {
  RECT thumb = h.PartRect(SBPART_THUMB);
  int y = 8, x = thumb.left + 5;
  h.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  EXPECT_EQ(h.pressedPart, SBPART_THUMB);
  EXPECT_EQ(h.pos, 0);
  double perStep = h.GetPixelsPerStep();  // 8.3
  h.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x + 8, y));
  EXPECT_EQ(h.pos, 0);
  h.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x + static_cast<int>(2 * perStep) + 1, y));
  EXPECT_EQ(h.pos, 2);
  h.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  h.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(x + 80, y));
  EXPECT_EQ(h.pos, 2);  // no longer dragging
}

TEST_F(ScrollBarTest, ThumbDragWithoutARangeNeverMoves) {
  obj.range = 0;
  h.pressedPart = SBPART_THUMB;  // as a press on the thumb leaves it
  h.buttonDown = TRUE;
  h.dragOrigin = 30;
  h.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(150, 8));
  EXPECT_EQ(h.pos, 0);
  EXPECT_TRUE(obj.codes.empty());
  h.buttonDown = FALSE;
}

TEST_F(ScrollBarTest, PaintsArrowsTrackAndThumb) {
  WindowPixels px(v.m_hWnd);
  EXPECT_EQ(px.at(0, 0), v.arrowBorderColor);
  EXPECT_EQ(px.at(2, 14), v.arrowFillColor);
  EXPECT_EQ(px.at(8, 7), v.arrowColor);  // inside the up triangle
  EXPECT_EQ(px.at(8, 200 - 17 + 7), v.arrowColor);
  EXPECT_EQ(px.at(8, 50), v.thumbFillColor);
  EXPECT_EQ(px.at(0, 50), v.thumbBorderColor);
  EXPECT_EQ(px.at(8, 150), v.backColor);
  EXPECT_EQ(px.at(0, 150), v.edgeColor1);
  EXPECT_EQ(px.at(16, 150), v.edgeColor2);

  obj.range = 0;  // no thumb without a range
  WindowPixels bare(v.m_hWnd);
  EXPECT_EQ(bare.at(8, 50), v.backColor);

  WindowPixels hp(h.m_hWnd);
  EXPECT_EQ(hp.at(7, 8), h.arrowColor);  // inside the left triangle
  EXPECT_EQ(hp.at(100, 0), h.edgeColor1);
  EXPECT_EQ(hp.at(100, 16), h.edgeColor2);
}

}  // namespace
