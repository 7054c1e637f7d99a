#pragma once
// CDlgFileEditor: the small modal dialog in which the user picks the
// encoding one queued file is read in. It opens with the entry's encoding
// selected; after IDOK `selection` holds the chosen FileEncoding (-1 when
// none was chosen), which the page stores.
#include <windows.h>

#include "pages/FileEntry.h"
#include "skin/CtrlTables.h"
#include "skin/SkinBtn.h"
#include "skin/SkinDlg.h"
#include "skin/SkinComboBox.h"
#include "skin/SkinStatic.h"

class CDlgFileEditor : public vek_SkinDlg {
 public:
  // `entry` is borrowed for the dialog's run and only read.
  explicit CDlgFileEditor(const FileEntry* entry);

  const FileEntry* entry;
  int selection = 0;

  vek_SkinComboBox encodingCombo;
  vek_SkinStatic encodingLabel;
  vek_SkinBtn ok;
  vek_SkinBtn cancel;
  vek_SkinBtn close;

 protected:
  void DoDataExchange(fw::CDataExchange* dx) override;
  BOOL OnInitDialog() override;
  BOOL OnCommand(WPARAM wp, LPARAM lp) override;
  CtrlSkinTable SkinTable() override;
};
