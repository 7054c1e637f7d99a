#include "pages/DialogPlace.h"

void CenterOverOwner(HWND dialog) {
  RECT box{};
  GetWindowRect(dialog, &box);
  const int cx = box.right - box.left;
  const int cy = box.bottom - box.top;
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  GetMonitorInfoW(MonitorFromWindow(dialog, MONITOR_DEFAULTTONEAREST), &monitor);
  const RECT work = monitor.rcWork;
  RECT around = work;
  HWND owner = GetWindow(dialog, GW_OWNER);
  if (owner != nullptr && IsWindowVisible(owner)) GetWindowRect(owner, &around);
  int x = around.left + ((around.right - around.left) - cx) / 2;
  int y = around.top + ((around.bottom - around.top) - cy) / 2;
  // Keep the whole dialog on the monitor.
  if (x + cx > work.right) x = work.right - cx;
  if (y + cy > work.bottom) y = work.bottom - cy;
  if (x < work.left) x = work.left;
  if (y < work.top) y = work.top;
  SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
