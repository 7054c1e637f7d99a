#pragma once
// Watches, from a second thread, for message boxes of this process with a
// given caption: records each box's text and closes it with OK, so that a
// test can call code that shows a modal box without hanging on it.
#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testing_support {

class BoxWatcher {
 public:
  explicit BoxWatcher(std::wstring caption);
  ~BoxWatcher();
  BoxWatcher(const BoxWatcher&) = delete;
  BoxWatcher& operator=(const BoxWatcher&) = delete;

  // The texts of the boxes seen and closed so far, in order.
  std::vector<std::wstring> Texts();

 private:
  void Watch();
  HWND FindBox() const;

  std::wstring caption_;
  std::atomic<bool> stop_{false};
  std::mutex lock_;
  std::vector<std::wstring> texts_;
  std::thread thread_;
};

}  // namespace testing_support
