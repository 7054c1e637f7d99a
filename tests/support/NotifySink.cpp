#include "tests/support/NotifySink.h"

#include "engine/ConvNotify.h"

namespace testing_support {

NotifySink::NotifySink() {
  static const wchar_t* kClass = L"TarnwellTestNotifySink";
  static bool registered = [] {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &NotifySink::Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kClass;
    return RegisterClassW(&wc) != 0;
  }();
  (void)registered;
  hwnd_ = CreateWindowW(kClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                        GetModuleHandleW(nullptr), nullptr);
  SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

NotifySink::~NotifySink() {
  if (hwnd_) DestroyWindow(hwnd_);
}

LRESULT CALLBACK NotifySink::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_CONV_NOTIFY) {
    auto* self = reinterpret_cast<NotifySink*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self) {
      self->messages_.emplace_back(wp, lp);
      if (wp == CONV_STEP && self->onStep) self->onStep();
      if (self->onMessage) self->onMessage(wp, lp);
    }
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

bool NotifySink::PumpUntilEnd(DWORD timeoutMs) {
  DWORD start = GetTickCount();
  for (;;) {
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&m);
      DispatchMessageW(&m);
    }
    if (Count(CONV_END) > 0) return true;
    if (GetTickCount() - start > timeoutMs) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
}

void NotifySink::PumpFor(DWORD ms) {
  DWORD start = GetTickCount();
  do {
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&m);
      DispatchMessageW(&m);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  } while (GetTickCount() - start < ms);
}

size_t NotifySink::Count(WPARAM code) const {
  size_t n = 0;
  for (const auto& m : messages_) n += m.first == code;
  return n;
}

}  // namespace testing_support
