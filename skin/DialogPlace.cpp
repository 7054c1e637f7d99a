#include "skin/DialogPlace.h"

POINT CentredOnWorkArea(const RECT& around, SIZE size) {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  GetMonitorInfoW(MonitorFromRect(&around, MONITOR_DEFAULTTONEAREST), &monitor);
  const RECT work = monitor.rcWork;
  LONG x = around.left + ((around.right - around.left) - size.cx) / 2;
  LONG y = around.top + ((around.bottom - around.top) - size.cy) / 2;
  if (x + size.cx > work.right) x = work.right - size.cx;
  if (y + size.cy > work.bottom) y = work.bottom - size.cy;
  if (x < work.left) x = work.left;
  if (y < work.top) y = work.top;
  return POINT{x, y};
}

void CenterOverOwner(HWND dialog) {
  RECT box{};
  GetWindowRect(dialog, &box);
  RECT around{};
  HWND owner = GetWindow(dialog, GW_OWNER);
  if (owner != nullptr && IsWindowVisible(owner)) {
    GetWindowRect(owner, &around);
  } else {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(dialog, MONITOR_DEFAULTTONEAREST), &monitor);
    around = monitor.rcWork;
  }
  const POINT at = CentredOnWorkArea(around, SIZE{box.right - box.left, box.bottom - box.top});
  SetWindowPos(dialog, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
