#include "pages/DlgSetting.h"

#include <cwchar>
#include <string>

#include "fw/App.h"
#include "fw/MessageBox.h"
#include "pages/EncodingNames.h"
#include "pages/FilePagesIds.h"
#include "pages/PageRes.h"
#include "pages/UserWords.h"
#include "engine/Standards.h"
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
    case CfgWriteFailure::Full: text += L"设置文件已满。"; break;
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
  faceId = BMP_DLG_520X260;
  UseLightBody();
  std::int32_t mode = 0;
  store_.ReadValue(CFGKEY_ENCODING_MODE, &mode, sizeof(mode));
  encodingMode = mode;
  standard = StoredStandard(store_);
}

CtrlSkinTable CDlgSetting::SkinTable() {
  constexpr int kImagePos = CTRLSKIN_IMAGE | CTRLSKIN_POS;
  constexpr int kPosSize = CTRLSKIN_POS | CTRLSKIN_SIZE;
  constexpr int kColoured = kPosSize | CTRLSKIN_BACK | CTRLSKIN_FORE;
  using palette::kBody, palette::kBodyText;
  constexpr COLORREF kLink = RGB(38, 96, 168);
  return CtrlSkinTable{{&close, BMP_SYSBTN_DLGCLOSE, -37, 0, 0, 0, 0, 0, kImagePos},
                       {&browse, BMP_BTN_BROWSE, 470, 40, 0, 0, 0, 0, kImagePos},
                       {&ok, BMP_BTN_OK, 285, 206, 0, 0, 0, 0, kImagePos},
                       {&cancel, BMP_BTN_CANCEL, 395, 206, 0, 0, 0, 0, kImagePos},
                       {&folderLabel, 0, 26, 46, 60, 13, kBody, kBodyText, kColoured},
                       {&folderEdit, 0, 96, 41, 360, 23, kBody, 0, kPosSize | CTRLSKIN_BACK},
                       {&encodingGroup, 0, 16, 75, 270, 120, kBody, kBodyText, kColoured},
                       {&autoRadio, 0, 35, 100, 80, 16, kBody, kBodyText, kColoured},
                       {&manualRadio, 0, 35, 130, 80, 16, kBody, kBodyText, kColoured},
                       {&encodingLabel, 0, 35, 160, 60, 13, kBody, kBodyText, kColoured},
                       {&encodingCombo, 0, 105, 156, 150, 21, 0, 0, kPosSize},
                       {&standardGroup, 0, 300, 75, 205, 120, kBody, kBodyText, kColoured},
                       {&standardCombo, 0, 315, 98, 175, 21, 0, 0, kPosSize},
                       {&wordsSim2Tra, 0, 315, 134, 175, 16, kBody, kLink, kColoured},
                       {&wordsTra2Sim, 0, 315, 162, 175, 16, kBody, kLink, kColoured},
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
  fw::DDX_Control(dx, IDOK, ok);
  fw::DDX_Control(dx, IDCANCEL, cancel);
  fw::DDX_Control(dx, IDC_CLOSE_BTN, close);
  fw::DDX_Text(dx, IDC_SET_FOLDEREDIT, outputFolder);
  // The radio group: 0 the first button, 1 the second, -1 neither.
  if (dx->saving) {
    encodingMode = manualRadio.GetCheck() == BST_CHECKED ? 1
                   : autoRadio.GetCheck() == BST_CHECKED ? 0
                                                         : -1;
  } else {
    autoRadio.SetCheck(encodingMode == 0 ? BST_CHECKED : BST_UNCHECKED);
    manualRadio.SetCheck(encodingMode == 1 ? BST_CHECKED : BST_UNCHECKED);
  }
}

BOOL CDlgSetting::OnInitDialog() {
  vek_SkinDlg::OnInitDialog();
  wchar_t folder[260] = {};
  store_.ReadString(CFGKEY_OUTPUT_DIR, folder);
  outputFolder = folder;
  FillEncodingCombo(encodingCombo);
  std::int32_t index = 0;
  store_.ReadValue(CFGKEY_ENCODING_INDEX, &index, sizeof(index));
  encodingCombo.SetCurSel(index);
  for (std::int32_t i = 0; i < kStandardCount; ++i) standardCombo.AddString(StandardLabel(i));
  standardCombo.SetCurSel(standard);
  folderEdit.borderColor = palette::kEditBorder;
  title = QueryText(TITLE_SETTINGS);
  SetWindowText(title);  // not drawn by the system; names the window for tools
  CenterOverOwner(m_hWnd);
  UpdateData(false);
  return TRUE;
}

BOOL CDlgSetting::OnCommand(WPARAM wp, LPARAM lp) {
  if (HIWORD(wp) == BN_CLICKED) {
    switch (LOWORD(wp)) {
      case IDC_SET_BROWSE: BrowseOutputFolder(); return TRUE;
      case IDC_SET_WORDS_S2T: EditWords(Sim2Tra); return TRUE;
      case IDC_SET_WORDS_T2S: EditWords(Tra2Sim); return TRUE;
      case IDOK: SaveSettings(); return TRUE;
      case IDCANCEL:
      case IDC_CLOSE_BTN: fw::CDialog::OnCancel(); return TRUE;
      default: break;
    }
  }
  return vek_SkinDlg::OnCommand(wp, lp);
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
  const std::int32_t mode = encodingMode;
  const std::int32_t index = encodingCombo.GetCurSel();
  const int chosen = standardCombo.GetCurSel();
  const std::int32_t newStandard = ValidStandard(chosen < 0 ? standard : chosen);
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
  }
  if (failed != nullptr) {
    fw::AppMessageBox(m_hWnd, SaveFailureText(store_, failed), MB_OK | MB_ICONERROR);
    return;
  }
  standard = newStandard;
  EndDialog(IDOK);
}

void CDlgSetting::EditWords(ConvDirection direction) { OpenWordList(direction); }

bool CDlgSetting::OpenWordList(ConvDirection direction) {
  return EditWordList(m_hWnd, store_, direction);
}
