#include "app/AboutDlg.h"

#include "app/resource.h"
#include "pages/PageRes.h"
#include "skeldon/ResIds.h"
#include "skin/DialogPlace.h"

CAboutDlg::CAboutDlg() : vek_SkinDlg(IDD_ABOUTBOX, nullptr) { faceId = BMP_DLG_ABOUT; }

void CAboutDlg::DoDataExchange(fw::CDataExchange* dx) {
  fw::DDX_Control(dx, IDC_CLOSE_BTN, closeButton);
  fw::DDX_Control(dx, IDC_VERSION_TEXT, versionText);
}

CtrlSkinTable CAboutDlg::SkinTable() {
  return CtrlSkinTable{{&closeButton, BMP_XBTN_DLGCLOSE, -27, 2, 0, 0, 0, 0,
                        CTRLSKIN_IMAGE | CTRLSKIN_POS},
                       {&versionText, 0, 9, 7, 150, 19, RGB(243, 186, 31), RGB(255, 255, 255),
                        CTRLSKIN_POS | CTRLSKIN_SIZE | CTRLSKIN_BACK | CTRLSKIN_FORE},
                       {nullptr, 0, 0, 0, 0, 0, 0, 0, CTRLSKIN_END}};
}

BOOL CAboutDlg::OnInitDialog() {
  vek_SkinDlg::OnInitDialog();
  AddCtrlTips(m_hWnd, AppResMgr(),
              CtrlTipTable{{TIP_DLG_CLOSE, IDC_CLOSE_BTN, CTRLTIP_USED}, {0, 0, CTRLTIP_END}});
  // A box opened from the main window shows over it, not in a screen corner.
  CenterOverOwner(m_hWnd);
  return TRUE;
}

BOOL CAboutDlg::OnCommand(WPARAM wp, LPARAM lp) {
  if (LOWORD(wp) == IDC_CLOSE_BTN && HIWORD(wp) == BN_CLICKED) {
    fw::CDialog::OnCancel();
    return TRUE;
  }
  return vek_SkinDlg::OnCommand(wp, lp);
}
