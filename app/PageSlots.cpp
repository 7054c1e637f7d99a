// ---------------------------------------------------------------------------
// File pages and settings: wire the real classes in here.
//   slot 3: return std::make_unique<CDlgFSim2Tra>(mainWnd);
//   slot 4: return std::make_unique<CDlgFTra2Sim>(mainWnd);
//   settings: CDlgSetting dlg(mainWnd); dlg.DoModalFor(nullptr);
// Until they exist, the slots hold plain pages and the button does nothing.
// ---------------------------------------------------------------------------
#include "app/PageSlots.h"

#include "app/resource.h"
#include "pages/PageRes.h"
#include "skeldon/ResIds.h"

namespace {

// A plain page with the file page's face and a line saying it is not ready.
class CPlaceholderPage : public CSubView {
 public:
  explicit CPlaceholderPage(fw::CWnd* parent) : CSubView(IDD_PAGE_PLACEHOLDER, parent) {
    ctrlTextColor = RGB(64, 64, 64);
    ctrlBrush.reset(CreateSolidBrush(RGB(241, 241, 241)));
  }

 protected:
  int OnLoadSkin() override {
    viewBackground.Attach(LoadSkinBitmap(BMP_VIEW_BLANK));
    return 0;
  }
  int OnFreeSkin() override {
    FreeSkinBitmap(viewBackground.Detach());
    return 0;
  }
};

}  // namespace

std::unique_ptr<CSubView> MakeFilePage(int index, fw::CWnd* mainWnd) {
  switch (index) {
    case 3: return std::make_unique<CPlaceholderPage>(mainWnd);
    case 4: return std::make_unique<CPlaceholderPage>(mainWnd);
    default: return nullptr;
  }
}

void RunSettingsDialog(fw::CWnd* mainWnd) {}
