#pragma once
// A hidden window that records the WM_CONV_NOTIFY messages posted to it,
// in arrival order, the way a page would receive them.
#include <windows.h>

#include <functional>
#include <utility>
#include <vector>

namespace testing_support {

class NotifySink {
 public:
  using Message = std::pair<WPARAM, LPARAM>;
  NotifySink();
  ~NotifySink();
  NotifySink(const NotifySink&) = delete;
  NotifySink& operator=(const NotifySink&) = delete;

  HWND hwnd() const { return hwnd_; }
  const std::vector<Message>& messages() const { return messages_; }
  void clear() { messages_.clear(); }
  // Called for every message as it arrives (after it is recorded).
  std::function<void(WPARAM, LPARAM)> onMessage;
  // Called for every CONV_STEP as it arrives, before onMessage: where a
  // page takes the job's steps (ConvWorker::TakeSteps).
  std::function<void()> onStep;

  // Pumps messages until CONV_END arrived or `timeoutMs` passed; true if
  // it arrived.
  bool PumpUntilEnd(DWORD timeoutMs = 20000);
  // Pumps whatever is queued, for `ms` milliseconds.
  void PumpFor(DWORD ms);
  // How many messages with this code arrived.
  size_t Count(WPARAM code) const;

 private:
  static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
  HWND hwnd_ = nullptr;
  std::vector<Message> messages_;
};

}  // namespace testing_support
