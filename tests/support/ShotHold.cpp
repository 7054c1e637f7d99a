#include "tests/support/ShotHold.h"

#include <cstdio>

#include "tests/support/RemoteUi.h"

namespace testing_support {

void PaintNow(DWORD pid) {
  for (HWND wnd : TopWindows(pid)) {
    RedrawWindow(wnd, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(wnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
  }
}

void HoldForShot(const char* name, DWORD pid) {
  PaintNow(pid);
  std::printf("[ shot     ] %s\n", name);
  std::fflush(stdout);
  char answer[64] = {};
  std::fgets(answer, sizeof(answer), stdin);
}

}  // namespace testing_support
