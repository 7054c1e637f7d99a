#include "fw/MessageBox.h"

#include <mutex>

namespace fw {
namespace {

// Message boxes may come from worker threads (an engine error), so the
// name and the hook are read under a lock.
struct MessageBoxState {
  std::mutex mutex;
  std::wstring appName = L"Tarnwell";
  MessageBoxHook hook;
};

MessageBoxState& State() {
  static MessageBoxState state;
  return state;
}

}  // namespace

void SetAppName(std::wstring name) {
  std::lock_guard<std::mutex> lock(State().mutex);
  State().appName = std::move(name);
}

std::wstring AppName() {
  std::lock_guard<std::mutex> lock(State().mutex);
  return State().appName;
}

int AppMessageBox(HWND owner, const std::wstring& text, UINT type) {
  MessageBoxCall call{owner, text, {}, type};
  MessageBoxHook hook;
  {
    std::lock_guard<std::mutex> lock(State().mutex);
    call.caption = State().appName;
    hook = State().hook;
  }
  if (hook) return hook(call);
  return MessageBoxW(owner, call.text.c_str(), call.caption.c_str(), type);
}

ScopedMessageBoxHook::ScopedMessageBoxHook(MessageBoxHook hook) {
  std::lock_guard<std::mutex> lock(State().mutex);
  State().hook = std::move(hook);
}

ScopedMessageBoxHook::~ScopedMessageBoxHook() {
  std::lock_guard<std::mutex> lock(State().mutex);
  State().hook = nullptr;
}

}  // namespace fw
