#include "pages/DlgSetting.h"

#include <cwchar>
#include <string>

#include "clipconv/ClipboardService.h"
#include "clipconv/RunAtLogon.h"
#include "fw/App.h"
#include "fw/MessageBox.h"
#include "pages/EncodingNames.h"
#include "pages/FilePagesIds.h"
#include "pages/PageRes.h"
#include "pages/UserWords.h"
#include "engine/Standards.h"
#include "textio/TextEncoder.h"
#include "skeldon/ResIds.h"
#include "skin/DialogPlace.h"

namespace {

// What a failed write of `item` to the settings file tells the user.
std::wstring SaveFailureText(const CfgStore& store, const wchar_t* item) {
  std::wstring text = L"设置未能保存: 无法写入";
  text += item;
  text += L"。\n设置文件: ";
  text += store.Path();
  text += L"\n\n";
  switch (store.LastWriteFailure()) {
    case CfgWriteFailure::OtherSize:
      text += L"文件中这一项的大小与要写入的不同, 设置文件可能已损坏。";
      break;
    case CfgWriteFailure::Full:
      text += L"设置文件的条目表已满 (100 项), 容不下新的设置项。关闭程序, 删除或改名这个设置文件后"
              L"再启动, 程序会以默认设置重建它。";
      break;
    default: {
      wchar_t reason[512] = {};
      if (FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                         store.LastWriteError(), 0, reason, 511, nullptr) != 0) {
        text += reason;
      } else {
        text += L"文件无法打开或写入。";
      }
      break;
    }
  }
  return text;
}

void CopyBounded(wchar_t (&dst)[260], const std::wstring& src) {
  wmemset(dst, 0, 260);
  wcsncpy(dst, src.c_str(), 259);
}

}  // namespace

CDlgSetting::CDlgSetting(CfgStore& store) : vek_SkinDlg(IDD_SETTINGS_DLG, nullptr), store_(store) {
  faceId = BMP_DLG_520X515;
  UseLightBody();
  store_.ReadAll(shown_);
  std::int32_t mode = 0;
  shown_.ReadValue(CFGKEY_ENCODING_MODE, &mode, sizeof(mode));
  encodingMode = mode;
  standard = StoredStandard(shown_);
  output = ReadOutputOptions(shown_);
  clipboard = ReadClipboardOptions(shown_);
  runAtLogon = RunsAtLogon();
}

CtrlSkinTable CDlgSetting::SkinTable() {
  constexpr int kImagePos = CTRLSKIN_IMAGE | CTRLSKIN_POS;
  constexpr int kPosSize = CTRLSKIN_POS | CTRLSKIN_SIZE;
  constexpr int kColoured = kPosSize | CTRLSKIN_BACK | CTRLSKIN_FORE;
  using palette::kBody, palette::kBodyText;
  constexpr COLORREF kLink = RGB(38, 96, 168);
  constexpr COLORREF kHint = RGB(110, 110, 110);
  return CtrlSkinTable{{&close, BMP_SYSBTN_DLGCLOSE, -37, 0, 0, 0, 0, 0, kImagePos},
                       {&browse, BMP_BTN_BROWSE, 470, 40, 0, 0, 0, 0, kImagePos},
                       {&ok, BMP_BTN_OK, 285, 470, 0, 0, 0, 0, kImagePos},
                       {&cancel, BMP_BTN_CANCEL, 395, 470, 0, 0, 0, 0, kImagePos},
                       {&folderLabel, 0, 26, 46, 60, 13, kBody, kBodyText, kColoured},
                       {&folderEdit, 0, 96, 41, 360, 23, kBody, 0, kPosSize | CTRLSKIN_BACK},
                       {&encodingGroup, 0, 16, 75, 270, 120, kBody, kBodyText, kColoured},
                       {&autoRadio, 0, 35, 100, 80, 16, kBody, kBodyText, kColoured},
                       {&manualRadio, 0, 35, 130, 80, 16, kBody, kBodyText, kColoured},
                       {&encodingLabel, 0, 35, 160, 60, 13, kBody, kBodyText, kColoured},
                       {&encodingCombo, 0, 105, 156, 150, 21, 0, 0, kPosSize},
                       {&standardGroup, 0, 300, 75, 205, 120, kBody, kBodyText, kColoured},
                       {&standardCombo, 0, 315, 98, 175, 21, 0, 0, kPosSize},
                       {&wordsSim2Tra, 0, 315, 128, 175, 16, kBody, kLink, kColoured},
                       {&wordsTra2Sim, 0, 315, 152, 175, 16, kBody, kLink, kColoured},
                       {&proofAllCheck, 0, 315, 174, 180, 16, kBody, kBodyText, kColoured},
                       {&outputGroup, 0, 16, 205, 489, 142, kBody, kBodyText, kColoured},
                       {&outputEncodingLabel, 0, 35, 232, 60, 13, kBody, kBodyText, kColoured},
                       {&outputEncodingCombo, 0, 105, 228, 160, 21, 0, 0, kPosSize},
                       {&placeLabel, 0, 290, 232, 60, 13, kBody, kBodyText, kColoured},
                       {&placeCombo, 0, 355, 228, 135, 21, 0, 0, kPosSize},
                       {&existingLabel, 0, 35, 264, 60, 13, kBody, kBodyText, kColoured},
                       {&existingCombo, 0, 105, 260, 160, 21, 0, 0, kPosSize},
                       {&convertNamesCheck, 0, 290, 262, 200, 16, kBody, kBodyText, kColoured},
                       {&subFoldersCheck, 0, 35, 292, 230, 16, kBody, kBodyText, kColoured},
                       {&outputHint, 0, 35, 320, 455, 16, kBody, kHint, kColoured},
                       {&hotkeyGroup, 0, 16, 355, 489, 103, kBody, kBodyText, kColoured},
                       {&hotkeysCheck, 0, 35, 378, 100, 16, kBody, kBodyText, kColoured},
                       {&hotkeyStatus, 0, 140, 378, 350, 16, kBody, kHint, kColoured},
                       {&sim2TraLabel, 0, 35, 406, 44, 13, kBody, kBodyText, kColoured},
                       {&sim2TraMods, 0, 80, 402, 100, 21, 0, 0, kPosSize},
                       {&sim2TraKey, 0, 184, 402, 52, 21, 0, 0, kPosSize},
                       {&tra2SimLabel, 0, 265, 406, 44, 13, kBody, kBodyText, kColoured},
                       {&tra2SimMods, 0, 310, 402, 100, 21, 0, 0, kPosSize},
                       {&tra2SimKey, 0, 414, 402, 52, 21, 0, 0, kPosSize},
                       {&trayCheck, 0, 35, 432, 220, 16, kBody, kBodyText, kColoured},
                       {&logonCheck, 0, 265, 432, 200, 16, kBody, kBodyText, kColoured},
                       {nullptr, 0, 0, 0, 0, 0, 0, 0, CTRLSKIN_END}};
}

void CDlgSetting::DoDataExchange(fw::CDataExchange* dx) {
  fw::DDX_Control(dx, IDC_SET_FOLDERLABEL, folderLabel);
  fw::DDX_Control(dx, IDC_SET_FOLDEREDIT, folderEdit);
  fw::DDX_Control(dx, IDC_SET_BROWSE, browse);
  fw::DDX_Control(dx, IDC_SET_GROUP, encodingGroup);
  fw::DDX_Control(dx, IDC_SET_AUTO, autoRadio);
  fw::DDX_Control(dx, IDC_SET_MANUAL, manualRadio);
  fw::DDX_Control(dx, IDC_ENC_LABEL, encodingLabel);
  fw::DDX_Control(dx, IDC_ENC_COMBO, encodingCombo);
  fw::DDX_Control(dx, IDC_SET_STD_GROUP, standardGroup);
  fw::DDX_Control(dx, IDC_SET_STD_COMBO, standardCombo);
  fw::DDX_Control(dx, IDC_SET_WORDS_S2T, wordsSim2Tra);
  fw::DDX_Control(dx, IDC_SET_WORDS_T2S, wordsTra2Sim);
  fw::DDX_Control(dx, IDC_SET_PROOF_ALL, proofAllCheck);
  fw::DDX_Control(dx, IDC_OUT_GROUP, outputGroup);
  fw::DDX_Control(dx, IDC_OUT_ENC_LABEL, outputEncodingLabel);
  fw::DDX_Control(dx, IDC_OUT_ENC_COMBO, outputEncodingCombo);
  fw::DDX_Control(dx, IDC_OUT_PLACE_LABEL, placeLabel);
  fw::DDX_Control(dx, IDC_OUT_PLACE_COMBO, placeCombo);
  fw::DDX_Control(dx, IDC_OUT_EXIST_LABEL, existingLabel);
  fw::DDX_Control(dx, IDC_OUT_EXIST_COMBO, existingCombo);
  fw::DDX_Control(dx, IDC_OUT_NAMES, convertNamesCheck);
  fw::DDX_Control(dx, IDC_OUT_SUBFOLDERS, subFoldersCheck);
  fw::DDX_Control(dx, IDC_OUT_HINT, outputHint);
  fw::DDX_Control(dx, IDC_HOT_GROUP, hotkeyGroup);
  fw::DDX_Control(dx, IDC_HOT_ON, hotkeysCheck);
  fw::DDX_Control(dx, IDC_HOT_STATUS, hotkeyStatus);
  fw::DDX_Control(dx, IDC_HOT_S2T_LABEL, sim2TraLabel);
  fw::DDX_Control(dx, IDC_HOT_S2T_MODS, sim2TraMods);
  fw::DDX_Control(dx, IDC_HOT_S2T_KEY, sim2TraKey);
  fw::DDX_Control(dx, IDC_HOT_T2S_LABEL, tra2SimLabel);
  fw::DDX_Control(dx, IDC_HOT_T2S_MODS, tra2SimMods);
  fw::DDX_Control(dx, IDC_HOT_T2S_KEY, tra2SimKey);
  fw::DDX_Control(dx, IDC_HOT_TRAY, trayCheck);
  fw::DDX_Control(dx, IDC_HOT_LOGON, logonCheck);
  fw::DDX_Control(dx, IDOK, ok);
  fw::DDX_Control(dx, IDCANCEL, cancel);
  fw::DDX_Control(dx, IDC_CLOSE_BTN, close);
  fw::DDX_Text(dx, IDC_SET_FOLDEREDIT, outputFolder);
  // The radio group: 0 the first button, 1 the second, -1 neither.
  if (dx->saving) {
    const int chosenEncoding = outputEncodingCombo.GetCurSel();
    const int chosenPlace = placeCombo.GetCurSel();
    const int chosenRule = existingCombo.GetCurSel();
    if (chosenEncoding >= 0) output.encoding = chosenEncoding;
    if (chosenPlace >= 0) output.place = chosenPlace;
    if (chosenRule >= 0) output.existing = chosenRule;
    output.convertNames = convertNamesCheck.GetCheck() == BST_CHECKED;
    output.includeSubfolders = subFoldersCheck.GetCheck() == BST_CHECKED;
    proofAll = proofAllCheck.GetCheck() == BST_CHECKED;
    clipboard = ChosenClipboardOptions();
    runAtLogon = logonCheck.GetCheck() == BST_CHECKED;
    encodingMode = manualRadio.GetCheck() == BST_CHECKED ? 1
                   : autoRadio.GetCheck() == BST_CHECKED ? 0
                                                         : -1;
  } else {
    autoRadio.SetCheck(encodingMode == 0 ? BST_CHECKED : BST_UNCHECKED);
    manualRadio.SetCheck(encodingMode == 1 ? BST_CHECKED : BST_UNCHECKED);
    outputEncodingCombo.SetCurSel(output.encoding);
    placeCombo.SetCurSel(output.place);
    existingCombo.SetCurSel(output.existing);
    convertNamesCheck.SetCheck(output.convertNames ? BST_CHECKED : BST_UNCHECKED);
    subFoldersCheck.SetCheck(output.includeSubfolders ? BST_CHECKED : BST_UNCHECKED);
    proofAllCheck.SetCheck(proofAll ? BST_CHECKED : BST_UNCHECKED);
    hotkeysCheck.SetCheck(clipboard.hotkeysOn ? BST_CHECKED : BST_UNCHECKED);
    sim2TraMods.SetCurSel(ModifierChoiceIndex(clipboard.sim2Tra.modifiers));
    sim2TraKey.SetCurSel(KeyChoiceIndex(clipboard.sim2Tra.key));
    tra2SimMods.SetCurSel(ModifierChoiceIndex(clipboard.tra2Sim.modifiers));
    tra2SimKey.SetCurSel(KeyChoiceIndex(clipboard.tra2Sim.key));
    trayCheck.SetCheck(clipboard.keepInTray ? BST_CHECKED : BST_UNCHECKED);
    logonCheck.SetCheck(runAtLogon ? BST_CHECKED : BST_UNCHECKED);
  }
}

BOOL CDlgSetting::OnInitDialog() {
  vek_SkinDlg::OnInitDialog();
  wchar_t folder[260] = {};
  shown_.ReadString(CFGKEY_OUTPUT_DIR, folder);
  outputFolder = folder;
  FillEncodingCombo(encodingCombo);
  std::int32_t index = 0;
  shown_.ReadValue(CFGKEY_ENCODING_INDEX, &index, sizeof(index));
  encodingCombo.SetCurSel(index);
  std::int32_t every = 0;
  proofAll = shown_.ReadValue(CFGKEY_PROOF_EVERY_PLACE, &every, sizeof(every)) == sizeof(every) && every == 1;
  for (std::int32_t i = 0; i < kStandardCount; ++i) standardCombo.AddString(StandardLabel(i));
  standardCombo.SetCurSel(standard);
  for (std::int32_t i = 0; i < OUTENC_COUNT; ++i) outputEncodingCombo.AddString(OutputEncodingLabel(i));
  for (std::int32_t i = 0; i < OUTPLACE_COUNT; ++i) placeCombo.AddString(OutputPlaceLabel(i));
  for (std::int32_t i = 0; i < EXISTING_COUNT; ++i) existingCombo.AddString(ExistingOutputLabel(i));
  for (vek_SkinComboBox* mods : {&sim2TraMods, &tra2SimMods}) {
    for (int i = 0; i < kModifierChoiceCount; ++i) mods->AddString(ModifiersName(ModifierChoice(i)).c_str());
  }
  for (vek_SkinComboBox* key : {&sim2TraKey, &tra2SimKey}) {
    for (int i = 0; i < kKeyChoiceCount; ++i) key->AddString(KeyName(KeyChoice(i)).c_str());
  }
  // The check boxes in the dialog's own colours.
  for (vek_SkinCheckBox* check : {&convertNamesCheck, &subFoldersCheck, &proofAllCheck,
                                   &hotkeysCheck, &trayCheck, &logonCheck}) {
    check->boxBorderColor = palette::kEditBorder;
    check->boxFrameColor = RGB(255, 255, 255);
    check->boxFrameHotColor = RGB(20, 142, 195);
    check->boxFillColor = RGB(255, 255, 255);
    check->checkColor = RGB(20, 142, 195);
  }
  folderEdit.borderColor = palette::kEditBorder;
  title = QueryText(TITLE_SETTINGS);
  SetWindowText(title);  // not drawn by the system; names the window for tools
  CenterOverOwner(m_hWnd);
  UpdateData(false);
  ShowOutputHint();
  EnableHotkeyChoices();
  ShowHotkeyStatus();
  return TRUE;
}

void CDlgSetting::ShowOutputHint() {
  const int place = placeCombo.GetCurSel();
  const int chosen = standardCombo.GetCurSel();
  const std::int32_t shownStandard = ValidStandard(chosen < 0 ? standard : chosen);
  std::wstring hint;
  if (place == OUTPLACE_BESIDE_SOURCE) {
    hint = L"存到源文件旁: 字幕.srt → " +
           InsertBeforeExtension(L"字幕.srt", BesideSourceSuffix(Sim2Tra, shownStandard)) +
           L" 或 " + InsertBeforeExtension(L"字幕.srt", BesideSourceSuffix(Tra2Sim, shownStandard)) +
           L", 源文件不会被改写";
  } else {
    hint = L"存到输出目录; 子文件夹中的文件保留其相对路径";
  }
  outputHint.SetWindowText(hint);
  outputHint.Invalidate(true);
}

BOOL CDlgSetting::OnCommand(WPARAM wp, LPARAM lp) {
  if (HIWORD(wp) == BN_CLICKED) {
    switch (LOWORD(wp)) {
      case IDC_SET_BROWSE: BrowseOutputFolder(); return TRUE;
      case IDC_SET_WORDS_S2T: EditWords(Sim2Tra); return TRUE;
      case IDC_SET_WORDS_T2S: EditWords(Tra2Sim); return TRUE;
      case IDOK: SaveSettings(); return TRUE;
      case IDC_HOT_ON: EnableHotkeyChoices(); return TRUE;
      case IDCANCEL:
      case IDC_CLOSE_BTN: CancelSettings(); return TRUE;
      default: break;
    }
  }
  if (HIWORD(wp) == CBN_SELCHANGE &&
      (LOWORD(wp) == IDC_OUT_PLACE_COMBO || LOWORD(wp) == IDC_SET_STD_COMBO)) {
    ShowOutputHint();
    return TRUE;
  }
  return vek_SkinDlg::OnCommand(wp, lp);
}

ClipboardOptions CDlgSetting::ChosenClipboardOptions() const {
  ClipboardOptions chosen = clipboard;
  chosen.hotkeysOn = hotkeysCheck.GetCheck() == BST_CHECKED;
  const auto pick = [](const vek_SkinComboBox& mods, const vek_SkinComboBox& key, Hotkey& hotkey) {
    const Hotkey picked{ModifierChoice(mods.GetCurSel()), KeyChoice(key.GetCurSel())};
    if (IsOfferedHotkey(picked)) hotkey = picked;
  };
  pick(sim2TraMods, sim2TraKey, chosen.sim2Tra);
  pick(tra2SimMods, tra2SimKey, chosen.tra2Sim);
  chosen.keepInTray = trayCheck.GetCheck() == BST_CHECKED;
  return chosen;
}

void CDlgSetting::EnableHotkeyChoices() {
  const bool on = hotkeysCheck.GetCheck() == BST_CHECKED;
  for (vek_SkinComboBox* combo : {&sim2TraMods, &sim2TraKey, &tra2SimMods, &tra2SimKey}) {
    combo->EnableWindow(on);
  }
}

void CDlgSetting::ShowHotkeyStatus() {
  std::wstring held;
  if (clipboardService != nullptr) {
    for (ConvDirection direction : {Sim2Tra, Tra2Sim}) {
      if (!clipboardService->HotkeyHeld(direction)) continue;
      if (!held.empty()) held += L"、";
      held += HotkeyName(clipboardService->Options().HotkeyFor(direction));
    }
  }
  if (held.empty()) {
    hotkeyStatus.textColor = RGB(110, 110, 110);
    hotkeyStatus.SetWindowText(L"在任何程序中复制文字后按快捷键, 剪贴板中的文字即被转换");
  } else {
    hotkeyStatus.textColor = RGB(192, 32, 32);
    hotkeyStatus.SetWindowText(held + L" 已被其他程序占用, 请另选一个");
  }
  hotkeyStatus.Invalidate(true);
}

bool CDlgSetting::AcceptsHotkeys(const ClipboardOptions& chosen) {
  if (chosen.hotkeysOn && chosen.sim2Tra == chosen.tra2Sim) {
    fw::AppMessageBox(m_hWnd, L"简→繁和繁→简不能使用同一个快捷键, 请另选一个。",
                      MB_OK | MB_ICONEXCLAMATION);
    ::SetFocus(tra2SimKey.m_hWnd);
    return false;
  }
  if (clipboardService == nullptr) return true;
  const ClipboardOptions before = clipboardService->Options();
  clipboardService->Apply(chosen);
  hotkeysApplied_ = true;
  // A hotkey that was held already is told by the line in the group; only
  // a newly chosen one that cannot be had is asked about.
  std::wstring held;
  for (ConvDirection direction : {Sim2Tra, Tra2Sim}) {
    const bool changed = chosen.HotkeyFor(direction) != before.HotkeyFor(direction) ||
                         chosen.hotkeysOn != before.hotkeysOn;
    if (changed && clipboardService->HotkeyHeld(direction)) {
      if (!held.empty()) held += L"、";
      held += HotkeyName(chosen.HotkeyFor(direction));
    }
  }
  ShowHotkeyStatus();
  if (held.empty()) return true;
  const std::wstring text = L"快捷键 " + held +
                            L" 已被其他程序占用。\n\n选“是”另选一个快捷键;\n选“否”保存设置, "
                            L"本程序不使用这个快捷键。";
  if (fw::AppMessageBox(m_hWnd, text, MB_YESNO | MB_ICONEXCLAMATION) == IDYES) {
    ::SetFocus(clipboardService->HotkeyHeld(Sim2Tra) ? sim2TraKey.m_hWnd : tra2SimKey.m_hWnd);
    return false;
  }
  return true;
}

bool CDlgSetting::StoreRunAtLogon(bool on) {
  if (on == RunsAtLogon()) return true;
  const LONG result = SetRunAtLogon(on);
  if (result == ERROR_SUCCESS) return true;
  std::wstring text = on ? L"无法设置开机时启动" : L"无法取消开机时启动";
  wchar_t reason[512] = {};
  if (FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                     static_cast<DWORD>(result), 0, reason, 511, nullptr) != 0) {
    text += L":\n";
    text += reason;
  }
  fw::AppMessageBox(m_hWnd, text, MB_OK | MB_ICONERROR);
  return false;
}

void CDlgSetting::CancelSettings() {
  if (hotkeysApplied_ && clipboardService != nullptr) {
    clipboardService->Apply(ReadClipboardOptions(store_));
    hotkeysApplied_ = false;
  }
  fw::CDialog::OnCancel();
}

void CDlgSetting::BrowseOutputFolder() {
  vek_PathDlg picker;
  CopyBounded(picker.caption, QueryText(TXT_PRODUCT_TITLE));
  // What the box shows now is where the user wants to start.
  UpdateData(true);
  if (!outputFolder.empty()) CopyBounded(picker.initialPath, outputFolder);
  const std::wstring prompt = QueryText(TXT_CHOOSE_FOLDER);
  picker.info.lpszTitle = prompt.c_str();
  picker.info.hwndOwner = m_hWnd;
  picker.info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT;
  if (RunPicker(picker) != 1) return;
  outputFolder = picker.chosenPath;
  folderEdit.SetWindowText(outputFolder);
  if (store_.WriteString(CFGKEY_OUTPUT_DIR, outputFolder.c_str()) == 0) {
    fw::AppMessageBox(m_hWnd, SaveFailureText(store_, L"输出文件夹"), MB_OK | MB_ICONERROR);
  }
}

bool CDlgSetting::KeepsTypedFolder(const fw::CString& folder) {
  wchar_t stored[260] = {};
  store_.ReadString(CFGKEY_OUTPUT_DIR, stored);
  if (folder == stored) return true;
  // The picker's own flow, so that a folder typed here meets the same
  // questions as one typed into the picker.
  if (AcceptTypedFolder(m_hWnd, folder.c_str())) return true;
  ::SetFocus(folderEdit.m_hWnd);
  folderEdit.SetSel(0, -1);
  return false;
}

void CDlgSetting::SaveSettings() {
  UpdateData(true);
  if (!KeepsTypedFolder(outputFolder)) return;
  if (!AcceptsHotkeys(clipboard)) return;
  const std::int32_t mode = encodingMode;
  const std::int32_t index = encodingCombo.GetCurSel();
  const int chosen = standardCombo.GetCurSel();
  const std::int32_t newStandard = ValidStandard(chosen < 0 ? standard : chosen);
  const std::int32_t every = proofAll ? 1 : 0;
  // Every write is checked: a setting that was not stored keeps the
  // dialog open with the reason.
  const wchar_t* failed = nullptr;
  if (store_.WriteString(CFGKEY_OUTPUT_DIR, outputFolder.c_str()) == 0) {
    failed = L"输出文件夹";
  } else if (store_.WriteValue(CFGKEY_ENCODING_MODE, &mode, sizeof(mode)) == 0) {
    failed = L"编码方式";
  } else if (store_.WriteValue(CFGKEY_ENCODING_INDEX, &index, sizeof(index)) == 0) {
    failed = L"手动选择的编码";
  } else if (store_.WriteValue(CFGKEY_STANDARD, &newStandard, sizeof(newStandard)) == 0) {
    failed = L"繁体标准";
  } else if (store_.WriteValue(CFGKEY_PROOF_EVERY_PLACE, &every, sizeof(every)) == 0) {
    failed = L"标出所有一对多";
  } else if ((failed = WriteOutputOptions(store_, output)) == nullptr) {
    failed = WriteClipboardOptions(store_, clipboard);
  }
  if (failed != nullptr) {
    fw::AppMessageBox(m_hWnd, SaveFailureText(store_, failed), MB_OK | MB_ICONERROR);
    return;
  }
  // An entry found at a wrong size was stored anew at its right one: said
  // this once, as later saves find it right.
  if (store_.TakeRepaired()) {
    const std::wstring text = std::wstring(L"设置文件中有一项的大小不对 (文件曾被损坏或被其他程序改动), "
                                           L"已按正确的大小重新写入, 设置已保存。\n设置文件: ") +
                              store_.Path();
    fw::AppMessageBox(m_hWnd, text, MB_OK | MB_ICONINFORMATION);
  }
  if (!StoreRunAtLogon(runAtLogon)) return;
  hotkeysApplied_ = false;  // stored now
  standard = newStandard;
  EndDialog(IDOK);
}

void CDlgSetting::EditWords(ConvDirection direction) { OpenWordList(direction); }

bool CDlgSetting::OpenWordList(ConvDirection direction) {
  return EditWordList(m_hWnd, store_, direction);
}
