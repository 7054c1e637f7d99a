#include "clipconv/TrayIcon.h"

#include <shellapi.h>

#include <cwchar>

namespace {

constexpr UINT kIconId = 1;

}  // namespace

NOTIFYICONDATAW TrayIcon::Data() const {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof(data);
  data.hWnd = window_;
  data.uID = kIconId;
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = message_;
  data.hIcon = icon_;
  wcsncpy(data.szTip, tip_.c_str(), sizeof(data.szTip) / sizeof(data.szTip[0]) - 1);
  return data;
}

bool TrayIcon::Show(HWND window, UINT callbackMessage, HICON icon, const std::wstring& tip) {
  if (shown_ && window != window_) Remove();
  window_ = window;
  message_ = callbackMessage;
  icon_ = icon;
  tip_ = tip;
  NOTIFYICONDATAW data = Data();
  if (shown_) return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
  shown_ = Shell_NotifyIconW(NIM_ADD, &data) != FALSE;
  return shown_;
}

bool TrayIcon::Restore() {
  if (window_ == nullptr) return false;
  NOTIFYICONDATAW data = Data();
  shown_ = Shell_NotifyIconW(NIM_ADD, &data) != FALSE;
  return shown_;
}

void TrayIcon::Remove() {
  if (!shown_) return;
  NOTIFYICONDATAW data = Data();
  Shell_NotifyIconW(NIM_DELETE, &data);
  shown_ = false;
}
