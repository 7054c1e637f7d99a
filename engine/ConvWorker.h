#pragma once
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>

#include "engine/ConvNotify.h"
#include "fw/Handle.h"

// The worker machinery of a conversion page: one worker thread at a time
// runs the page's job body (RunJob) and reports to the page's window by
// posting WM_CONV_NOTIFY, which the page hands to OnJobMessage on the user
// interface thread. The stop flag is the only datum both threads touch
// while a job runs.
//
// A page mixes this in beside its window base and routes WM_CONV_NOTIFY to
// OnJobMessage. A page stops its job when its window is destroyed, before
// anything the job uses goes away; the destructor stops a job that is
// still running as StopJob does, as a last resort.
class ConvWorker {
 public:
  ConvWorker() = default;
  virtual ~ConvWorker();
  ConvWorker(const ConvWorker&) = delete;
  ConvWorker& operator=(const ConvWorker&) = delete;

  // Body of the worker thread; its result is the thread's exit code.
  virtual DWORD RunJob() = 0;
  // Handles WM_CONV_NOTIFY on the user interface thread.
  virtual void OnJobMessage(WPARAM code, LPARAM arg) = 0;
  // Starts the worker: 1 when started, 0 when refused (a worker is still
  // recorded, or the thread could not be created). Clears the stop flag
  // in either case.
  virtual int StartJob();
  // Asks the job to stop and waits for it for at most the grace period;
  // a worker that does not end in time is terminated (exit code 88) and
  // the page is sent CONV_END in its stead. Returns the result of closing
  // the terminated worker's handle, 0 when it ended by itself.
  virtual int StopJob();

  // The window that receives the worker's messages.
  virtual HWND JobWindow() const = 0;

  bool StopRequested() const { return stop_.load() != 0; }
  // While the user is asked whether to stop, the job waits after the line
  // in hand, so that the answer acts on the file the question was about.
  // HoldJob and ReleaseJob are for the user interface thread; StopJob
  // releases a held job too.
  void HoldJob();
  void ReleaseJob();
  // For the job, between lines: waits while held, then tells whether to stop.
  // Asked after every line, so the usual answer is two atomic reads: the
  // event is waited on only while a hold is asked for (a wait is a call
  // into the kernel, or a round trip to the Wine server).
  bool WaitIfHeldThenStopRequested() const;
  // Posts WM_CONV_NOTIFY to the page's window; for the job, on its thread.
  void PostJobMessage(WPARAM code, LPARAM arg) const;
  // Progress, for the job: `done` steps so far. CONV_STEP (lParam: the
  // steps done when it was posted) is posted only once the page has taken
  // the one before with TakeSteps: every message is a round trip through
  // the system (under Wine, its server: about 80 microseconds on an idle
  // machine here), and a thousand of them cost a run of a few megabytes as
  // much as its conversion.
  void PostSteps(std::uint32_t done);
  // For the page, on CONV_STEP: the steps done so far; the job may post
  // the next one.
  std::uint32_t TakeSteps();
  bool WorkerRecorded() const { return worker_.load() != nullptr; }
  // True when the last job had to be terminated: its results are incomplete.
  bool LastJobTerminated() const { return terminated_; }

  // For the job, on its thread: a problem (UTF-8) that the page tells the
  // user about on its own thread once the job has ended. The job shows no
  // window itself. Only the first report of a job is kept.
  void ReportProblem(const char* utf8);
  // For the page, on CONV_END: the problem the job reported, empty when it
  // reported none or had to be terminated. Clears it.
  std::string TakeProblem();

 protected:
  // How long StopJob waits for the worker before terminating it.
  virtual DWORD StopGraceMs() const { return 10000; }
  // Blocks the job until the user interface releases it.
  virtual void WaitForRelease() const;

 private:
  static DWORD WINAPI ConvertThreadProc(void* page) noexcept;

  // The running worker's handle. The worker closes it and clears it as its
  // last action; the exchange makes sure only one side ever closes it.
  std::atomic<HANDLE> worker_{nullptr};
  std::atomic<LONG> stop_{0};
  // Set after the event is reset and cleared before it is signalled, so a
  // job that sees it clear may run on, and one that sees it set finds the
  // event already reset (or set again by a release in between).
  std::atomic<bool> held_{false};
  // Signalled while the job may run; reset while it is held.
  fw::UniqueHandle running_{CreateEventW(nullptr, TRUE, TRUE, nullptr)};
  // The user interface thread's own handle to the last worker, which the
  // worker never touches: StopJob waits on this one.
  fw::UniqueHandle waitHandle_;
  bool terminated_ = false;
  // Written by the job before it posts CONV_END, read by the page after
  // it; a fixed buffer, so that a worker terminated while writing it
  // leaves nothing half-made on the heap.
  char problem_[2048] = {};
  std::atomic<bool> problemReported_{false};
  std::atomic<std::uint32_t> stepsDone_{0};
  std::atomic<bool> stepPosted_{false};
  // The job's own (its thread's): when it last posted a step, and how long
  // it waits at least before the next (a bar moved 50 times a second
  // moves smoothly).
  static constexpr ULONGLONG kStepGapMs = 20;
  ULONGLONG lastStepPost_ = 0;
};
