// The main window's way to the file pages and the settings dialog.
#include "app/PageSlots.h"

#include "pages/DlgSetting.h"
#include "pages/FConvView.h"

std::unique_ptr<CSubView> MakeFilePage(int index, fw::CWnd* mainWnd) {
  switch (index) {
    case 3: return std::make_unique<CDlgFSim2Tra>(mainWnd);
    case 4: return std::make_unique<CDlgFTra2Sim>(mainWnd);
    default: return nullptr;
  }
}

void RunSettingsDialog(fw::CWnd* /*mainWnd*/) {
  // No owner given: the dialog takes the main window.
  CDlgSetting dlg;
  dlg.DoModalFor(nullptr);
}
