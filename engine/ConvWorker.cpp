#include "engine/ConvWorker.h"

#include <cstring>
#include "fw/Trace.h"

ConvWorker::~ConvWorker() {
  if (waitHandle_ && WaitForSingleObject(waitHandle_.get(), 0) != WAIT_OBJECT_0) {
    stop_.store(1);
    if (WaitForSingleObject(waitHandle_.get(), StopGraceMs()) != WAIT_OBJECT_0) {
      TerminateThread(waitHandle_.get(), 88);
      WaitForSingleObject(waitHandle_.get(), INFINITE);
    }
  }
  if (HANDLE h = worker_.exchange(nullptr)) CloseHandle(h);
}

void ConvWorker::PostJobMessage(WPARAM code, LPARAM arg) const {
  PostMessageW(JobWindow(), WM_CONV_NOTIFY, code, arg);
}

void ConvWorker::PostSteps(std::uint32_t done) {
  stepsDone_.store(done);
  // At most one a step gap too: a page that takes each one at once would
  // otherwise still be sent one per step.
  const ULONGLONG now = GetTickCount64();
  if (now - lastStepPost_ < kStepGapMs) return;
  if (!stepPosted_.exchange(true)) {
    lastStepPost_ = now;
    PostJobMessage(CONV_STEP, static_cast<LPARAM>(done));
  }
}

std::uint32_t ConvWorker::TakeSteps() {
  // Cleared before the count is read: a step made in between is either in
  // the count or posted anew.
  stepPosted_.store(false);
  return stepsDone_.load();
}

void ConvWorker::ReportProblem(const char* utf8) {
  if (utf8 == nullptr || problemReported_.load()) return;
  // Cut at a character boundary, never inside a UTF-8 sequence.
  size_t n = strnlen(utf8, sizeof(problem_) - 1);
  if (n == sizeof(problem_) - 1) {
    while (n > 0 && (static_cast<unsigned char>(utf8[n]) & 0xC0) == 0x80) --n;
  }
  memcpy(problem_, utf8, n);
  problem_[n] = '\0';
  problemReported_.store(true);
}

std::string ConvWorker::TakeProblem() {
  if (!problemReported_.exchange(false) || terminated_) return {};
  return problem_;
}

int ConvWorker::StartJob() {
  stop_.store(0);
  if (worker_.load() != nullptr) return 0;
  ReleaseJob();
  problemReported_.store(false);
  stepsDone_.store(0);
  stepPosted_.store(false);
  lastStepPost_ = 0;

  // The thread starts suspended, so its handle is recorded before the
  // thread can run to its end and clear it.
  HANDLE thread = CreateThread(nullptr, 0, &ConvWorker::ConvertThreadProc, this,
                               CREATE_SUSPENDED, nullptr);
  if (thread == nullptr) return 0;
  HANDLE own = nullptr;
  if (!DuplicateHandle(GetCurrentProcess(), thread, GetCurrentProcess(), &own, 0, FALSE,
                       DUPLICATE_SAME_ACCESS)) {
    TerminateThread(thread, 88);
    CloseHandle(thread);
    return 0;
  }
  waitHandle_.reset(own);
  terminated_ = false;
  worker_.store(thread);
  ResumeThread(thread);
  return 1;
}

void ConvWorker::HoldJob() {
  if (!running_) return;
  ResetEvent(running_.get());
  held_.store(true);
}

void ConvWorker::ReleaseJob() {
  held_.store(false);
  if (running_) SetEvent(running_.get());
}

void ConvWorker::WaitForRelease() const {
  if (running_) WaitForSingleObject(running_.get(), INFINITE);
}

bool ConvWorker::WaitIfHeldThenStopRequested() const {
  if (held_.load()) WaitForRelease();
  return StopRequested();
}

int ConvWorker::StopJob() {
  stop_.store(1);
  ReleaseJob();
  if (!waitHandle_) return 0;
  if (WaitForSingleObject(waitHandle_.get(), StopGraceMs()) == WAIT_OBJECT_0) return 0;

  TerminateThread(waitHandle_.get(), 88);
  // Termination completes asynchronously; after this wait the worker can
  // no longer touch its handle.
  WaitForSingleObject(waitHandle_.get(), INFINITE);
  int result = 0;
  if (HANDLE h = worker_.exchange(nullptr)) result = CloseHandle(h) ? 1 : 0;
  terminated_ = true;
  // The terminated worker posts nothing more; without its CONV_END the page
  // would stay covered and the main window disabled.
  PostJobMessage(CONV_END, 0);
  return result;
}

DWORD WINAPI ConvWorker::ConvertThreadProc(void* page) noexcept {
  auto* self = static_cast<ConvWorker*>(page);
  DWORD rc = 0;
  try {
    rc = self->RunJob();
  } catch (...) {
    // No exception leaves a thread; the page must still hear the end.
    fw::TraceCaughtException(L"conversion worker");
    rc = 1;
    self->PostJobMessage(CONV_END, 0);
  }
  if (HANDLE h = self->worker_.exchange(nullptr)) CloseHandle(h);
  return rc;
}
