#pragma once
// Helpers for GUI tests that drive windows of their own thread: pumping the
// queue, and acting on the modal window that a call is about to open.
#include <windows.h>

#include <functional>

namespace testing_support {

// Dispatches whatever arrives for `ms` milliseconds.
void PumpFor(DWORD ms);
// Pumps until `done` is true or `timeoutMs` passed; returns `done()`.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 10000);

// Runs `open` (which enters a modal loop) while a timer of this thread
// looks for a new visible top-level window of this thread other than
// `except`; when it appears, `act` runs on it (it must end the modal loop,
// say by clicking a button). If none appears within `timeoutMs`, every new
// window is destroyed so that `open` returns. Returns the window found, or
// null.
HWND WithModalWindow(const std::function<void()>& open, HWND except,
                     const std::function<void(HWND)>& act, DWORD timeoutMs = 10000);

}  // namespace testing_support
