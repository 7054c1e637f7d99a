#include "app/DlgEntrance.h"

#include "app/TarnwellDlg.h"
#include "app/resource.h"
#include "pages/PageRes.h"
#include "skeldon/ResIds.h"

CDlgEntrance::CDlgEntrance(fw::CWnd* parent) : CSubView(IDD_ENTRANCE, parent) {
  faceId = BMP_VIEW_BLANK;
}

void CDlgEntrance::DoDataExchange(fw::CDataExchange* dx) {
  fw::DDX_Control(dx, IDC_ENTRANCE_S2T, sim2TraButton);
  fw::DDX_Control(dx, IDC_ENTRANCE_T2S, tra2SimButton);
  fw::DDX_Control(dx, IDC_ENTRANCE_FS2T, fSim2TraButton);
  fw::DDX_Control(dx, IDC_ENTRANCE_FT2S, fTra2SimButton);
}

CtrlSkinTable CDlgEntrance::SkinTable() {
  constexpr int kImagePos = CTRLSKIN_IMAGE | CTRLSKIN_POS;
  return CtrlSkinTable{{&sim2TraButton, BMP_BTN_S2T, 15, 54, 0, 0, 0, 0, kImagePos},
                       {&tra2SimButton, BMP_BTN_T2S, 391, 54, 0, 0, 0, 0, kImagePos},
                       {&fSim2TraButton, BMP_BTN_FS2T, 15, 229, 0, 0, 0, 0, kImagePos},
                       {&fTra2SimButton, BMP_BTN_FT2S, 391, 229, 0, 0, 0, 0, kImagePos},
                       {nullptr, 0, 0, 0, 0, 0, 0, 0, CTRLSKIN_END}};
}

BOOL CDlgEntrance::OnCommand(WPARAM wp, LPARAM lp) {
  if (HIWORD(wp) == BN_CLICKED) {
    int index = -1;
    switch (LOWORD(wp)) {
      case IDC_ENTRANCE_S2T: index = 1; break;
      case IDC_ENTRANCE_T2S: index = 2; break;
      case IDC_ENTRANCE_FS2T: index = 3; break;
      case IDC_ENTRANCE_FT2S: index = 4; break;
      default: break;
    }
    if (index > 0) {
      if (auto* main = dynamic_cast<CTarnwellDlg*>(GetParent())) main->SwitchToPage(this, index);
      return TRUE;
    }
  }
  return CSubView::OnCommand(wp, lp);
}
