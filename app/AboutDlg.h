#pragma once
// CAboutDlg: the about box, with the version and a close button.
#include "skin/CtrlTables.h"
#include "skin/SkinBtn.h"
#include "skin/SkinDlg.h"
#include "skin/SkinStatic.h"

class CAboutDlg : public vek_SkinDlg {
 public:
  CAboutDlg();

  vek_SkinBtn closeButton;    // 1013
  vek_SkinStatic versionText;  // 1031

 protected:
  void DoDataExchange(fw::CDataExchange* dx) override;
  BOOL OnInitDialog() override;
  CtrlSkinTable SkinTable() override;
  BOOL OnCommand(WPARAM wp, LPARAM lp) override;
};
