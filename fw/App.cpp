#include "fw/App.h"

namespace fw {
namespace {

CWinApp* g_app = nullptr;

}  // namespace

CWinApp::CWinApp() {
  if (g_app == nullptr) g_app = this;
}

CWinApp::~CWinApp() {
  if (g_app == this) g_app = nullptr;
}

int CWinApp::Run() {
  if (InitInstance()) {
    MSG msg;
    for (;;) {
      const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
      if (got == 0) break;
      if (got == -1) continue;  // an error getting a message is no quit
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  return ExitInstance();
}

CWinApp* AfxGetApp() { return g_app; }

CWnd* AfxGetMainWnd() { return g_app != nullptr ? g_app->m_pMainWnd : nullptr; }

HINSTANCE ResourceModule() { return GetModuleHandleW(nullptr); }

}  // namespace fw
