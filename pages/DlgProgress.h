#pragma once
// CDlgProgress: the display that covers a page while its job runs. Mode 0
// (file pages): a progress bar, the label "处理进度:" and a Stop button that
// asks before it stops the owner's job. Mode 1 (text pages): the busy
// animation and a waiting text. The page creates a new window from the
// same object for every run and destroys it when the job has ended.
#include "skin/AnimPlayer.h"
#include "skin/SkinBtn.h"
#include "skin/SkinDlg.h"
#include "skin/SkinProgress.h"
#include "skin/SkinStatic.h"
#include "skin/CtrlTables.h"

class CConvView;

constexpr int PROGRESS_MODE_BAR = 0;   // bar, label and Stop
constexpr int PROGRESS_MODE_ANIM = 1;  // animation and waiting text

class CDlgProgress : public vek_SkinDlg {
 public:
  CDlgProgress();

  // Creates the window modelessly (pop-up, `owner` as parent) and shows
  // only the controls of `mode`. Non-zero on success.
  using vek_SkinDlg::Create;
  BOOL Create(CConvView* owner, int mode);

  // Advances the bar by one; returns 1.
  int StepBar();
  // Moves the bar to `pos` (of the range's maximum); it is painted again,
  // when the page's thread is free, only if its filled part changed by a
  // pixel. Returns 1.
  int MoveBarTo(int pos);
  // Sets the bar's range and position and repaints it (the page does this
  // before it starts its worker).
  void SetBarRange(int maxPos, int pos = 0);

  vek_SkinProgress bar;
  vek_AnimPlayer animation;
  vek_SkinStatic waitText;
  vek_SkinStatic progressLabel;
  vek_SkinBtn stop;
  vek_SkinBtn close;

  CConvView* owner = nullptr;  // borrowed: the page whose job this shows
  int mode = PROGRESS_MODE_BAR;

 protected:
  void DoDataExchange(fw::CDataExchange* dx) override;
  BOOL OnInitDialog() override;
  CtrlSkinTable SkinTable() override;
  int OnLoadSkin() override;
  int OnFreeSkin() override;
  BOOL OnCommand(WPARAM wp, LPARAM lp) override;

  // Stop: asks for confirmation, then stops the owner's job.
  virtual void OnStop();
};
