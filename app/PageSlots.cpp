// The main window's way to the file pages and the settings dialog.
#include "app/PageSlots.h"

#include "pages/DlgSetting.h"
#include "pages/ConvView.h"
#include "pages/FConvView.h"
#include "pages/FileDrop.h"

std::unique_ptr<CSubView> MakeFilePage(int index, fw::CWnd* mainWnd) {
  switch (index) {
    case 3: return std::make_unique<CDlgFSim2Tra>(mainWnd);
    case 4: return std::make_unique<CDlgFTra2Sim>(mainWnd);
    default: return nullptr;
  }
}

bool FilePageBusy(CSubView* page) {
  auto* files = dynamic_cast<CFConvView*>(page);
  return files != nullptr && (files->progress.m_hWnd != nullptr || files->WorkerRecorded());
}

bool QueueOnFilePage(CSubView* page, const std::vector<std::wstring>& paths) {
  auto* files = dynamic_cast<CFConvView*>(page);
  if (files == nullptr) return false;
  files->QueueDropped(paths);
  return true;
}

namespace {

BOOL CALLBACK TellStandardChanged(HWND child, LPARAM) {
  SendMessageW(child, StandardChangedMessage(), 0, 0);
  return TRUE;
}

}  // namespace

void RunSettingsDialog(fw::CWnd* mainWnd, ClipboardService* clipboard) {
  // No owner given: the dialog takes the main window.
  CDlgSetting dlg;
  dlg.clipboardService = clipboard;
  if (dlg.DoModalFor(nullptr) != IDOK || mainWnd == nullptr || mainWnd->m_hWnd == nullptr) return;
  // The pages show the standard now in force.
  EnumChildWindows(mainWnd->m_hWnd, TellStandardChanged, 0);
}
