#pragma once
// CDlgEntrance: the first page, four large buttons leading to the four
// conversion pages.
#include "pages/SubView.h"
#include "skin/CtrlTables.h"
#include "skin/SkinBtn.h"

class CDlgEntrance : public CSubView {
 public:
  explicit CDlgEntrance(fw::CWnd* parent = nullptr);

  vek_SkinBtn sim2TraButton;   // 1001, page 1
  vek_SkinBtn tra2SimButton;   // 1000, page 2
  vek_SkinBtn fSim2TraButton;  // 1003, page 3
  vek_SkinBtn fTra2SimButton;  // 1004, page 4

 protected:
  void DoDataExchange(fw::CDataExchange* dx) override;
  CtrlSkinTable SkinTable() override;
  BOOL OnCommand(WPARAM wp, LPARAM lp) override;
};
