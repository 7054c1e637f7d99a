#pragma once
// CDlgSetting: the modal settings dialog. It edits the output folder (the
// folder picker stores its choice at once; a folder typed into the box is
// checked and stored on OK), how added files get their encoding:
// detected, or the encoding chosen in the list, and how outputs are
// written: encoding, place, existing files, names, dropped sub-folders
// (stored on OK), and converting the clipboard from anywhere: the two
// hotkeys, the notification-area icon and the start with Windows.
#include <windows.h>

#include "clipconv/ClipboardOptions.h"
#include "config/CfgStore.h"
#include "engine/ConvDirection.h"
#include "pages/OutputOptions.h"
#include "skin/CtrlTables.h"
#include "skin/PathDlg.h"
#include "skin/SkinBtn.h"
#include "skin/SkinDlg.h"
#include "skin/SkinComboBox.h"
#include "skin/SkinEdit.h"
#include "skin/SkinStatic.h"

class ClipboardService;

class CDlgSetting : public vek_SkinDlg {
 public:
  // Reads the mode from `store`, which must outlive the dialog.
  explicit CDlgSetting(CfgStore& store = CfgStore::Instance());

  fw::CString outputFolder;
  int encodingMode = 0;  // 0 detect, 1 manual
  int standard = 0;      // the Traditional standard (engine/Standards.h)

  vek_SkinStatic folderLabel;
  vek_SkinEdit folderEdit;
  vek_SkinBtn browse;
  vek_SkinGroupBox encodingGroup;
  vek_SkinRadioBtn autoRadio;
  vek_SkinRadioBtn manualRadio;
  vek_SkinStatic encodingLabel;
  vek_SkinComboBox encodingCombo;
  vek_SkinGroupBox standardGroup;
  vek_SkinComboBox standardCombo;
  vek_SkinStatic wordsSim2Tra;  // "编辑自定义词汇", links in the skin's colours
  vek_SkinStatic wordsTra2Sim;
  // The text pages mark every place of a result, not only those worth a look.
  vek_SkinCheckBox proofAllCheck;
  bool proofAll = false;
  // How the file pages write their outputs.
  OutputOptions output;
  vek_SkinGroupBox outputGroup;
  vek_SkinStatic outputEncodingLabel;
  vek_SkinComboBox outputEncodingCombo;
  vek_SkinStatic placeLabel;
  vek_SkinComboBox placeCombo;
  vek_SkinStatic existingLabel;
  vek_SkinComboBox existingCombo;
  vek_SkinCheckBox convertNamesCheck;
  vek_SkinCheckBox subFoldersCheck;
  vek_SkinStatic outputHint;  // what an output's name becomes, as chosen
  // Converting the clipboard from anywhere.
  ClipboardOptions clipboard;
  bool runAtLogon = false;  // the current user's Run entry is there
  vek_SkinGroupBox hotkeyGroup;
  vek_SkinCheckBox hotkeysCheck;
  vek_SkinStatic hotkeyStatus;  // what the hotkeys do, or which one another program holds
  vek_SkinStatic sim2TraLabel;
  vek_SkinComboBox sim2TraMods;
  vek_SkinComboBox sim2TraKey;
  vek_SkinStatic tra2SimLabel;
  vek_SkinComboBox tra2SimMods;
  vek_SkinComboBox tra2SimKey;
  vek_SkinCheckBox trayCheck;
  vek_SkinCheckBox logonCheck;
  // The running program's hotkeys and icon, borrowed; null when the dialog
  // runs on its own (the options are then only stored).
  ClipboardService* clipboardService = nullptr;
  vek_SkinBtn ok;
  vek_SkinBtn cancel;
  vek_SkinBtn close;

  // Runs the folder picker; a folder it accepts is stored at once.
  void BrowseOutputFolder();
  // Opens a direction's word list in the system's editor, creating it
  // with its header first.
  void EditWords(ConvDirection direction);
  // OK: keeps a typed folder when it passes the picker's checks, stores
  // the mode, the manual encoding and the standard and ends the dialog. An invalid
  // folder is refused with the picker's warning and the dialog stays.
  void SaveSettings();
  // Cancel: the running program's hotkeys go back to the stored ones.
  void CancelSettings();

 protected:
  void DoDataExchange(fw::CDataExchange* dx) override;
  BOOL OnInitDialog() override;
  BOOL OnCommand(WPARAM wp, LPARAM lp) override;
  CtrlSkinTable SkinTable() override;

  // The picker, run over this dialog; tests replace it.
  virtual int RunPicker(vek_PathDlg& picker) { return picker.Browse(); }
  // Opens a word list; tests replace it.
  virtual bool OpenWordList(ConvDirection direction);

 private:
  // True when `folder` may become the output folder: the stored one, or a
  // sound path that exists or that the user lets us create.
  bool KeepsTypedFolder(const fw::CString& folder);
  // Says under the output options what an output is named and where it goes.
  void ShowOutputHint();
  // The hotkey choices now in the controls.
  ClipboardOptions ChosenClipboardOptions() const;
  // Says what the hotkeys do, or in red which one another program holds.
  void ShowHotkeyStatus();
  void EnableHotkeyChoices();
  // OK's check of the hotkeys: false (the dialog stays) when the two are
  // the same, or when a newly chosen one is held by another program and
  // the user picks another.
  bool AcceptsHotkeys(const ClipboardOptions& chosen);
  // Adds or removes the Run entry when the choice changed; false after
  // telling the user when that failed.
  bool StoreRunAtLogon(bool on);

  bool hotkeysApplied_ = false;  // the service runs with options not stored yet

  CfgStore& store_;
  // What the dialog shows, read from the store in one go when it is made:
  // a settings file another program holds is waited for once.
  CfgValues shown_;
};
