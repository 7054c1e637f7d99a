#pragma once
// Every message box of the program goes through AppMessageBox: it carries
// the application name as its caption, and tests can watch and answer it
// through a hook instead of a real, modal box.
#include <windows.h>

#include <functional>
#include <string>

namespace fw {

// The application name used as caption (the product title once the
// resource pack is loaded).
void SetAppName(std::wstring name);
std::wstring AppName();

// Shows `text` with the application name as caption; returns the button
// chosen (IDOK, IDYES, ...), as MessageBoxW does.
int AppMessageBox(HWND owner, const std::wstring& text, UINT type);

struct MessageBoxCall {
  HWND owner;
  std::wstring text;
  std::wstring caption;
  UINT type;
};
using MessageBoxHook = std::function<int(const MessageBoxCall&)>;

// Tests only: routes every box to `hook` (which returns the answer) until
// the returned guard is dropped.
class ScopedMessageBoxHook {
 public:
  explicit ScopedMessageBoxHook(MessageBoxHook hook);
  ~ScopedMessageBoxHook();
  ScopedMessageBoxHook(const ScopedMessageBoxHook&) = delete;
  ScopedMessageBoxHook& operator=(const ScopedMessageBoxHook&) = delete;
};

}  // namespace fw
