#include "pages/DlgFileEditor.h"

#include "pages/EncodingNames.h"
#include "pages/FilePagesIds.h"
#include "pages/PageRes.h"
#include "skeldon/ResIds.h"
#include "skin/DialogPlace.h"

CDlgFileEditor::CDlgFileEditor(const FileEntry* fileEntry)
    : vek_SkinDlg(IDD_ENCODING_DLG, nullptr), entry(fileEntry) {
  faceId = BMP_DLG_520X260;
  UseLightBody();
}

CtrlSkinTable CDlgFileEditor::SkinTable() {
  constexpr int kImagePos = CTRLSKIN_IMAGE | CTRLSKIN_POS;
  constexpr int kPosSize = CTRLSKIN_POS | CTRLSKIN_SIZE;
  using palette::kBody, palette::kBodyText;
  return CtrlSkinTable{{&close, BMP_SYSBTN_DLGCLOSE, -37, 0, 0, 0, 0, 0, kImagePos},
                       {&ok, BMP_BTN_OK, 285, 206, 0, 0, 0, 0, kImagePos},
                       {&cancel, BMP_BTN_CANCEL, 395, 206, 0, 0, 0, 0, kImagePos},
                       {&encodingLabel, 0, 20, 50, 60, 13, kBody, kBodyText,
                        kPosSize | CTRLSKIN_BACK | CTRLSKIN_FORE},
                       {&encodingCombo, 0, 86, 46, 150, 21, 0, 0, kPosSize},
                       {nullptr, 0, 0, 0, 0, 0, 0, 0, CTRLSKIN_END}};
}

void CDlgFileEditor::DoDataExchange(fw::CDataExchange* dx) {
  fw::DDX_Control(dx, IDC_ENC_COMBO, encodingCombo);
  fw::DDX_Control(dx, IDC_ENC_LABEL, encodingLabel);
  fw::DDX_Control(dx, IDOK, ok);
  fw::DDX_Control(dx, IDCANCEL, cancel);
  fw::DDX_Control(dx, IDC_CLOSE_BTN, close);
  fw::DDX_CBIndex(dx, IDC_ENC_COMBO, selection);
}

BOOL CDlgFileEditor::OnInitDialog() {
  vek_SkinDlg::OnInitDialog();
  FillEncodingCombo(encodingCombo);
  const FileEncoding current = entry != nullptr ? entry->encoding : -1;
  selection = current >= 0 && current < encodingCombo.GetCount() ? current : -1;
  encodingCombo.SetCurSel(selection);
  title = QueryText(TITLE_FILE_SETTINGS);
  SetWindowText(title);  // not drawn by the system; names the window for tools
  CenterOverOwner(m_hWnd);
  return TRUE;
}

BOOL CDlgFileEditor::OnCommand(WPARAM wp, LPARAM lp) {
  if (HIWORD(wp) == BN_CLICKED) {
    switch (LOWORD(wp)) {
      case IDOK: fw::CDialog::OnOK(); return TRUE;
      case IDCANCEL:
      case IDC_CLOSE_BTN: fw::CDialog::OnCancel(); return TRUE;
      default: break;
    }
  }
  return vek_SkinDlg::OnCommand(wp, lp);
}
