#include "clipconv/GlobalHotkey.h"

namespace {

// Held down, a hotkey fires once (Windows 7 on; older systems ignore it).
constexpr UINT kNoRepeat = 0x4000;

}  // namespace

bool GlobalHotkey::Register(HWND window, int id, const Hotkey& hotkey) {
  Release();
  lastError_ = ERROR_SUCCESS;
  if (window == nullptr || !IsOfferedHotkey(hotkey)) {
    lastError_ = ERROR_INVALID_PARAMETER;
    return false;
  }
  if (!RegisterHotKey(window, id, hotkey.modifiers | kNoRepeat, hotkey.key)) {
    lastError_ = GetLastError();
    return false;
  }
  window_ = window;
  id_ = id;
  return true;
}

void GlobalHotkey::Release() {
  if (window_ != nullptr) UnregisterHotKey(window_, id_);
  window_ = nullptr;
}
