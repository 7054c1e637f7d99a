#include "skin/HideWnd.h"

#include "fw/Trace.h"

ATOM RegisterHiddenClass(const wchar_t* className) {
  WNDCLASSW wc{};
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = &HiddenWndProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  wc.lpszClassName = className;
  return RegisterClassW(&wc);
}

LRESULT CALLBACK HiddenWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
  auto* target = reinterpret_cast<vek_HideWnd*>(GetWindowLongPtrW(wnd, GWLP_USERDATA));
  if (target != nullptr) {
    BOOL handled = FALSE;
    try {
      LRESULT result = target->OnWndMsg(wnd, msg, wp, lp, &handled);
      if (handled) return result;
    } catch (...) {
      // Unhandled: the default procedure answers.
      fw::TraceCaughtException(L"hidden window message handler");
    }
  }
  return DefWindowProcW(wnd, msg, wp, lp);
}
