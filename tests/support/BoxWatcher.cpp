#include "tests/support/BoxWatcher.h"

#include <utility>

namespace testing_support {

namespace {

struct Search {
  const std::wstring* caption;
  HWND found;
};

BOOL CALLBACK MatchBox(HWND hwnd, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  // Visible only once the box has set its texts.
  if (pid != GetCurrentProcessId() || !IsWindowVisible(hwnd)) return TRUE;
  wchar_t cls[16] = {};
  GetClassNameW(hwnd, cls, 16);
  if (std::wstring(cls) != L"#32770") return TRUE;
  wchar_t title[256] = {};
  GetWindowTextW(hwnd, title, 256);
  if (*search->caption != title) return TRUE;
  search->found = hwnd;
  return FALSE;
}

}  // namespace

BoxWatcher::BoxWatcher(std::wstring caption)
    : caption_(std::move(caption)), thread_([this] { Watch(); }) {}

BoxWatcher::~BoxWatcher() {
  stop_ = true;
  thread_.join();
}

std::vector<std::wstring> BoxWatcher::Texts() {
  std::lock_guard<std::mutex> hold(lock_);
  return texts_;
}

HWND BoxWatcher::FindBox() const {
  Search search{&caption_, nullptr};
  EnumWindows(MatchBox, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

void BoxWatcher::Watch() {
  while (!stop_) {
    HWND box = FindBox();
    if (!box) {
      Sleep(10);
      continue;
    }
    // The text is the box's static control 0xFFFF.
    wchar_t text[1024] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 1024);
    {
      std::lock_guard<std::mutex> hold(lock_);
      texts_.push_back(text);
    }
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    while (!stop_ && IsWindow(box)) Sleep(10);
  }
}

}  // namespace testing_support
