// The worker machinery: one worker per page, messages in order with
// CONV_END last, stop within the grace period, termination after it.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>

#include "engine/ConvWorker.h"
#include "tests/support/NotifySink.h"

using testing_support::NotifySink;

namespace {

// A page with a plain window, as the conversion pages will have.
class TestPage : public ConvWorker {
 public:
  std::function<DWORD(TestPage&)> body;
  NotifySink sink;
  DWORD grace = 10000;

  ~TestPage() override = default;
  DWORD RunJob() override { return body(*this); }
  void OnJobMessage(WPARAM, LPARAM) override {}
  HWND JobWindow() const override { return sink.hwnd(); }

 protected:
  DWORD StopGraceMs() const override { return grace; }
};

// Waits (pumping) until the worker has cleared its own handle.
bool WaitUntilIdle(TestPage& page, DWORD ms = 10000) {
  DWORD start = GetTickCount();
  while (page.WorkerRecorded()) {
    if (GetTickCount() - start > ms) return false;
    page.sink.PumpFor(5);
  }
  return true;
}

TEST(Worker, MessagesArriveInOrderWithEndLast) {
  TestPage page;
  page.body = [](TestPage& p) {
    p.PostJobMessage(1, 1000);
    for (int i = 0; i < 200; ++i) p.PostJobMessage(3, 0);
    p.PostJobMessage(4, 0);
    p.PostJobMessage(5, 0);
    p.PostJobMessage(2, 0);
    return DWORD(0);
  };
  ASSERT_EQ(page.StartJob(), 1);
  ASSERT_TRUE(page.sink.PumpUntilEnd());
  ASSERT_TRUE(WaitUntilIdle(page));
  const auto& m = page.sink.messages();
  ASSERT_EQ(m.size(), 204u);
  EXPECT_EQ(m.front(), NotifySink::Message(1, 1000));
  EXPECT_EQ(m[201].first, 4u);
  EXPECT_EQ(m[202].first, 5u);
  EXPECT_EQ(m.back(), NotifySink::Message(2, 0));
}

TEST(Worker, AJobThatEndsAtOnceLeavesThePageIdle) {
  // The worker may finish before StartJob returns; it must still find its
  // handle recorded, close it once, and leave nothing behind.
  TestPage page;
  page.body = [](TestPage&) { return DWORD(7); };
  for (int i = 0; i < 200; ++i) {
    ASSERT_EQ(page.StartJob(), 1) << i;
    ASSERT_TRUE(WaitUntilIdle(page)) << i;
  }
  EXPECT_EQ(page.StopJob(), 0);
  EXPECT_FALSE(page.LastJobTerminated());
}

TEST(Worker, StartIsRefusedWhileAWorkerIsRecordedButClearsTheStopFlag) {
  TestPage page;
  HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::atomic<int> runs{0};
  page.body = [release, &runs](TestPage& p) {
    ++runs;
    WaitForSingleObject(release, 20000);
    p.PostJobMessage(2, 0);
    return DWORD(0);
  };
  ASSERT_EQ(page.StartJob(), 1);
  // The Stop button's StopJob waits on its own thread meanwhile.
  int stopResult = 99;
  std::thread stopper([&] { stopResult = page.StopJob(); });
  while (!page.StopRequested()) Sleep(1);
  EXPECT_EQ(page.StartJob(), 0);
  EXPECT_FALSE(page.StopRequested());
  SetEvent(release);
  stopper.join();
  EXPECT_EQ(stopResult, 0);  // the job ended by itself
  ASSERT_TRUE(page.sink.PumpUntilEnd());
  ASSERT_TRUE(WaitUntilIdle(page));
  EXPECT_EQ(page.sink.Count(2), 1u);
  EXPECT_EQ(runs.load(), 1);
  CloseHandle(release);
}

TEST(Worker, StopWithinTheGracePeriodLetsTheJobEndItself) {
  TestPage page;
  std::atomic<int> lines{0};
  page.body = [&lines](TestPage& p) {
    p.PostJobMessage(1, 1000);
    while (!p.StopRequested()) {  // a file job checks after every line
      ++lines;
      Sleep(1);
    }
    p.PostJobMessage(6, 0);
    p.PostJobMessage(2, 0);
    return DWORD(0);
  };
  ASSERT_EQ(page.StartJob(), 1);
  while (lines.load() < 3) Sleep(1);
  EXPECT_EQ(page.StopJob(), 0);
  EXPECT_FALSE(page.WorkerRecorded());  // the worker's own end cleared it
  EXPECT_FALSE(page.LastJobTerminated());
  page.sink.PumpFor(50);
  ASSERT_EQ(page.sink.Count(2), 1u);
  EXPECT_EQ(page.sink.messages().back(), NotifySink::Message(2, 0));
  EXPECT_EQ(page.sink.Count(6), 1u);
}

TEST(Worker, AWorkerThatIgnoresStopIsTerminatedAndThePageStillHearsTheEnd) {
  TestPage page;
  page.grace = 200;  // the program waits 10 s; the rule is the same
  std::atomic<bool> started{false};
  page.body = [&started](TestPage& p) {
    p.PostJobMessage(1, 1000);
    started = true;
    for (;;) Sleep(10);
    return DWORD(0);
  };
  ASSERT_EQ(page.StartJob(), 1);
  while (!started) Sleep(1);
  EXPECT_EQ(page.StopJob(), 1);  // closing the worker's handle succeeded
  EXPECT_FALSE(page.WorkerRecorded());
  EXPECT_TRUE(page.LastJobTerminated());
  page.sink.PumpFor(50);
  ASSERT_EQ(page.sink.Count(2), 1u);
  EXPECT_EQ(page.sink.messages().back(), NotifySink::Message(2, 0));

  // The page is idle again and can run the next job.
  page.body = [](TestPage& p) {
    p.PostJobMessage(2, 0);
    return DWORD(0);
  };
  page.sink.clear();
  ASSERT_EQ(page.StartJob(), 1);
  EXPECT_FALSE(page.StopRequested());
  ASSERT_TRUE(page.sink.PumpUntilEnd());
  ASSERT_TRUE(WaitUntilIdle(page));
}

TEST(Worker, AnExceptionInTheJobStillEndsIt) {
  TestPage page;
  page.body = [](TestPage&) -> DWORD { throw std::bad_alloc(); };
  ASSERT_EQ(page.StartJob(), 1);
  ASSERT_TRUE(page.sink.PumpUntilEnd());
  ASSERT_TRUE(WaitUntilIdle(page));
}

}  // namespace
