#include "tests/support/GuiPump.h"

#include <set>

namespace testing_support {

void PumpFor(DWORD ms) {
  const DWORD start = GetTickCount();
  MSG msg;
  do {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    Sleep(5);
  } while (GetTickCount() - start < ms);
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  MSG msg;
  while (!done()) {
    if (GetTickCount() - start >= timeoutMs) return done();
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    Sleep(5);
  }
  return true;
}

namespace {

struct ModalWatch {
  std::set<HWND> before;
  HWND except = nullptr;
  HWND found = nullptr;
  const std::function<void(HWND)>* act = nullptr;
  DWORD start = 0;
  DWORD timeout = 0;
  bool acted = false;
};
ModalWatch* g_watch = nullptr;

BOOL CALLBACK CollectWindow(HWND wnd, LPARAM lp) {
  reinterpret_cast<std::set<HWND>*>(lp)->insert(wnd);
  return TRUE;
}

std::set<HWND> ThreadWindows() {
  std::set<HWND> windows;
  EnumThreadWindows(GetCurrentThreadId(), &CollectWindow, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

void CALLBACK WatchTick(HWND, UINT, UINT_PTR id, DWORD) {
  ModalWatch* w = g_watch;
  if (w == nullptr || w->acted) return;
  for (HWND wnd : ThreadWindows()) {
    if (w->before.count(wnd) != 0 || wnd == w->except || !IsWindowVisible(wnd)) continue;
    w->found = wnd;
    w->acted = true;
    (*w->act)(wnd);
    return;
  }
  if (GetTickCount() - w->start > w->timeout) {
    w->acted = true;
    for (HWND wnd : ThreadWindows()) {
      if (w->before.count(wnd) == 0) DestroyWindow(wnd);
    }
  }
}

}  // namespace

HWND WithModalWindow(const std::function<void()>& open, HWND except,
                     const std::function<void(HWND)>& act, DWORD timeoutMs) {
  ModalWatch watch;
  watch.before = ThreadWindows();
  watch.except = except;
  watch.act = &act;
  watch.start = GetTickCount();
  watch.timeout = timeoutMs;
  g_watch = &watch;
  UINT_PTR timer = SetTimer(nullptr, 0, 50, &WatchTick);
  open();
  KillTimer(nullptr, timer);
  g_watch = nullptr;
  return watch.found;
}

}  // namespace testing_support
