// The skin gallery: the toolkit's controls in each of their states, on the
// resource pack's real faces, for screenshots.
//
//   skin_gallery.exe [controls|entrance|dialog|drop] [--seconds N]
//
// Runs until closed (the close button), or for N seconds.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <cstdlib>
#include <cwchar>
#include <string>

#include "fw/Gdi.h"
#include "fw/GdiObjects.h"
#include "fw/MessageBox.h"
#include "loader/ResMgrHolder.h"
#include "skeldon/ResIds.h"
#include "skin/AnimPlayer.h"
#include "skin/CtrlTables.h"
#include "skin/SkinBtn.h"
#include "skin/SkinDlg.h"
#include "skin/SkinComboBox.h"
#include "skin/SkinEdit.h"
#include "skin/SkinStatic.h"
#include "skin/SkinList.h"
#include "skin/SkinProgress.h"
#include "tests/gui/gallery/gallery.h"

namespace {

constexpr COLORREF kPanelText = RGB(64, 64, 64);
constexpr COLORREF kPanel = RGB(241, 241, 241);
constexpr UINT_PTR kQuitTimer = 77;

vek_IResMgr* Res() { return GetResMgr() != nullptr ? GetResMgr()->resMgr : nullptr; }

HBITMAP Load(long id) {
  HANDLE h = nullptr;
  if (Res() != nullptr) Res()->LoadRes(id, id >> 28, &h);
  return static_cast<HBITMAP>(h);
}

void Free(HBITMAP bmp) {
  if (Res() != nullptr) Res()->FreeRes(bmp);
}

CtrlSkinItem Place(fw::CWnd* c, int x, int y, int cx = 0, int cy = 0, int image = 0) {
  int flags = CTRLSKIN_POS | (cx > 0 ? CTRLSKIN_SIZE : 0) | (image != 0 ? CTRLSKIN_IMAGE : 0);
  return CtrlSkinItem{c, image, x, y, cx, cy, 0, 0, flags};
}

CtrlSkinItem Colour(fw::CWnd* c, COLORREF back, COLORREF fore) {
  return CtrlSkinItem{c, 0, 0, 0, 0, 0, back, fore, CTRLSKIN_BACK | CTRLSKIN_FORE};
}

// What the free-standing scroll bars scroll.
class DemoScrollTarget : public vek_IScrollObj {
 public:
  int QueryRange(int) override { return 10; }
  int QueryPage(int) override { return 3; }
  int QueryPos(int) override { return 0; }
  double QueryRatio(int) override { return 0.3; }
  void OnScrolled(int) override {}
  int OnScrollHint(int) override { return 0; }
};

// Fills an image list with the busy animation's 18 frames.
void LoadBusyFrames(vek_AnimPlayer& anim) {
  HBITMAP strip = Load(BMP_ROTATES);
  if (strip == nullptr) return;
  anim.frames.Create(128, 128, ILC_COLOR32 | ILC_MASK, 18, 0);
  anim.frames.Add(strip, RGB(255, 0, 255));
  Free(strip);
  anim.frameCount = anim.frames.GetImageCount();
  anim.SetTimer(ANIM_TIMER_ID, 100);
}

// ---- the page with every control ----

class ControlsPage : public vek_SubView {
 public:
  explicit ControlsPage(fw::CWnd* parent) : vek_SubView(IDD_GALLERY_PAGE, parent) {}
  bool dropCombo = false;

  // The list's bars follow its rows only while it shows: update them once
  // the page is up.
  void OnShown() {
    list.UpdateScrollBar(0);
    list.UpdateScrollBar(1);
  }

 private:
  vek_SkinBtn buttons[7];
  vek_SkinCheckBox checks[6];
  vek_SkinRadioBtn radios[3];
  vek_SkinEdit edits[3];
  vek_SkinStatic statics[2];
  vek_SkinGroupBox group;
  vek_SkinComboBox combos[2];
  vek_SkinList list;
  fw::CImageList icons;
  vek_SkinProgress progress[3];
  vek_AnimPlayer anim;
  vek_SkinHScrollBar hBar;
  vek_SkinVScrollBar vBar;
  DemoScrollTarget target;

  CtrlSkinTable Table() {
    CtrlSkinTable t;
    const long strips[7] = {BMP_BTN_STARTCONV, BMP_BTN_STARTCONV, BMP_BTN_STARTCONV,
                            BMP_BTN_STARTCONV, BMP_BTN_OK,        BMP_BTN_CANCEL,
                            BMP_BTN_ADDFILE};
    const int xs[7] = {10, 120, 230, 340, 470, 580, 690};
    for (int i = 0; i < 7; ++i) t.push_back(Place(&buttons[i], xs[i], 14, 0, 0, strips[i]));
    const int cx[6] = {10, 150, 290, 570, 10, 430};
    const int cy[6] = {60, 60, 60, 60, 84, 60};
    for (int i = 0; i < 6; ++i) t.push_back(Place(&checks[i], cx[i], cy[i], 130, 16));
    for (int i = 0; i < 3; ++i) t.push_back(Place(&radios[i], 150 + 140 * i, 84, 130, 16));
    t.push_back(Place(&edits[0], 10, 112, 220, 24));
    t.push_back(Place(&edits[1], 240, 112, 220, 24));
    t.push_back(Place(&edits[2], 470, 112, 286, 66));
    t.push_back(Place(&statics[0], 10, 146, 220, 36));
    t.push_back(Place(&statics[1], 240, 150, 220, 18));
    t.push_back(Place(&group, 10, 190, 230, 110));
    t.push_back(Place(&combos[0], 24, 215, 200, 22));
    t.push_back(Place(&combos[1], 24, 255, 200, 22));
    t.push_back(Place(&list, 250, 190, 347, 167));
    for (int i = 0; i < 3; ++i) t.push_back(Place(&progress[i], 10, 312 + 20 * i, 230, 14));
    t.push_back(Place(&anim, 620, 200, 128, 128));
    // Page colours for all but the fifth check box, which keeps the defaults.
    for (int i = 0; i < 6; ++i) {
      if (i != 4) t.push_back(Colour(&checks[i], kPanel, kPanelText));
    }
    for (auto& r : radios) t.push_back(Colour(&r, kPanel, kPanelText));
    t.push_back(Colour(&group, kPanel, RGB(75, 145, 180)));
    t.push_back(CtrlSkinItem{nullptr, 0, 0, 0, 0, 0, 0, 0, CTRLSKIN_END});
    return t;
  }

  void DoDataExchange(fw::CDataExchange* dx) override {
    for (int i = 0; i < 7; ++i) fw::DDX_Control(dx, IDC_G_BTN0 + i, buttons[i]);
    for (int i = 0; i < 6; ++i) fw::DDX_Control(dx, IDC_G_CHECK0 + i, checks[i]);
    for (int i = 0; i < 3; ++i) fw::DDX_Control(dx, IDC_G_RADIO0 + i, radios[i]);
    for (int i = 0; i < 3; ++i) fw::DDX_Control(dx, IDC_G_EDIT0 + i, edits[i]);
    for (int i = 0; i < 2; ++i) fw::DDX_Control(dx, IDC_G_STATIC0 + i, statics[i]);
    fw::DDX_Control(dx, IDC_G_GROUP, group);
    for (int i = 0; i < 2; ++i) fw::DDX_Control(dx, IDC_G_COMBO0 + i, combos[i]);
    fw::DDX_Control(dx, IDC_G_LIST, list);
    for (int i = 0; i < 3; ++i) fw::DDX_Control(dx, IDC_G_PROGRESS0 + i, progress[i]);
    fw::DDX_Control(dx, IDC_G_ANIM, anim);
  }

  int OnLoadSkin() override {
    viewBackground.Attach(Load(BMP_VIEW_TCONV));
    ApplyCtrlImages(Table(), Res());
    return 0;
  }
  int OnLayout() override {
    ApplyCtrlLayout(m_hWnd, Table());
    return 1;
  }
  int OnFreeSkin() override {
    Free(viewBackground.Detach());
    ReleaseCtrlImages(Table(), Res());
    return 0;
  }

  BOOL OnInitDialog() override {
    vek_SubView::OnInitDialog();
    ApplyCtrlBackColors(Table());
    ApplyCtrlForeColors(Table());
    SetStates();
    FillList();
    LoadBusyFrames(anim);
    for (int i = 0; i < 3; ++i) {
      progress[i].backBrush.reset(CreateSolidBrush(RGB(239, 239, 239)));
      progress[i].barBrush.reset(CreateSolidBrush(RGB(75, 145, 180)));
      progress[i].maxPos = 1000;
      progress[i].pos = i == 0 ? 0 : i == 1 ? 400 : 1400;
    }
    hBar.target = &target;
    vBar.target = &target;
    hBar.pos = 4;
    vBar.pos = 7;
    hBar.Create(L"", WS_CHILD | WS_VISIBLE | SS_NOTIFY, RECT{250, 385, 597, 402}, m_hWnd);
    vBar.Create(L"", WS_CHILD | WS_VISIBLE | SS_NOTIFY, RECT{740, 190, 757, 357}, m_hWnd);
    if (dropCombo) SetTimer(5, 300);
    return TRUE;
  }

  void SetStates() {
    buttons[1].hovering = true;
    buttons[2].SetButtonStyle(BS_OWNERDRAW);
    buttons[2].SendMessage(BM_SETSTATE, TRUE);
    buttons[3].EnableWindow(false);
    buttons[6].stretchImage = TRUE;
    buttons[6].SetWindowPos(nullptr, 0, 0, 66, 30, SWP_NOMOVE | SWP_NOZORDER);

    const wchar_t* checkText[6] = {L"未选中",   L"已选中",
                                   L"鼠标悬停", L"一段很长很长很长的说明文字会被截断",
                                   L"默认颜色", L"不确定状态"};
    for (int i = 0; i < 6; ++i) checks[i].SetWindowText(checkText[i]);
    checks[1].SetCheck(BST_CHECKED);
    checks[2].hovering = true;
    checks[2].SetCheck(BST_CHECKED);
    checks[4].SetCheck(BST_CHECKED);
    checks[5].SetCheck(BST_INDETERMINATE);
    const wchar_t* radioText[3] = {L"自动识别编码", L"手动选择编码", L"鼠标悬停"};
    for (int i = 0; i < 3; ++i) radios[i].SetWindowText(radioText[i]);
    radios[1].SetCheck(BST_CHECKED);
    radios[2].hovering = true;

    edits[0].SetWindowText(L"带边框的编辑框");
    edits[1].drawBorder = FALSE;
    edits[1].SetWindowText(L"无边框的编辑框");
    std::wstring lines;
    for (int i = 1; i <= 12; ++i) lines += L"第" + std::to_wstring(i) + L"行：简体转繁体\r\n";
    edits[2].SetWindowText(lines);
    statics[0].SetWindowText(L"静态文字：居中样式也左对齐，长文字自动换行显示。");
    statics[1].SetWindowText(L"A & B（不作前缀）");
    group.SetWindowText(L"源文件编码");
    const wchar_t* encodings[4] = {L"ANSI", L"Unicode", L"Unicode big endian", L"UTF-8"};
    for (auto& c : combos) {
      for (const wchar_t* e : encodings) c.AddString(e);
    }
    combos[0].SetCurSel(3);
  }

  void FillList() {
    list.InitSkinList(nullptr);
    // A small document picture before each name.
    icons.Create(16, 16, ILC_COLOR32 | ILC_MASK, 1, 0);
    HDC screen = GetDC(nullptr);
    fw::CBitmap doc;
    doc.CreateCompatibleBitmap(screen, 16, 16);
    ReleaseDC(nullptr, screen);
    {
      fw::MemoryDc mem(nullptr);
      fw::SelectGuard sel(mem.get(), doc.GetSafeHandle());
      RECT all{0, 0, 16, 16}, page{3, 1, 13, 15}, band{3, 1, 13, 4};
      fw::UniqueBrush key(CreateSolidBrush(RGB(255, 0, 255)));
      fw::UniqueBrush paper(CreateSolidBrush(RGB(255, 255, 255)));
      fw::UniqueBrush blue(CreateSolidBrush(RGB(20, 142, 195)));
      FillRect(mem.get(), &all, key.get());
      FillRect(mem.get(), &page, blue.get());
      InflateRect(&page, -1, -1);
      FillRect(mem.get(), &page, paper.get());
      FillRect(mem.get(), &band, blue.get());
    }
    icons.Add(doc.GetSafeHandle(), RGB(255, 0, 255));
    list.SetImageList(icons, LVSIL_SMALL);
    list.InsertColumn(0, L"文件名", LVCFMT_LEFT, 150);
    list.InsertColumn(1, L"文件大小", LVCFMT_LEFT, 80);
    list.InsertColumn(2, L"编码", LVCFMT_LEFT, 100);
    list.InsertColumn(3, L"状态", LVCFMT_LEFT, 80);
    const wchar_t* states[4] = {L"待处理", L"正在处理", L"处理完成", L"处理终止"};
    for (int i = 0; i < 14; ++i) {
      std::wstring name = L"文档" + std::to_wstring(i + 1) + L".txt";
      list.InsertItem(i, name.c_str(), 0);
      list.SetItemText(i, 1, (std::to_wstring(3 + i * 7) + L" KB").c_str());
      list.SetItemText(i, 2, i % 2 ? L"UTF-8" : L"ANSI");
      list.SetItemText(i, 3, states[i % 4]);
    }
    list.SetItemState(2, LVIS_SELECTED, LVIS_SELECTED);
  }

  void OnTimer(UINT_PTR id) override {
    if (id != 5) return vek_SubView::OnTimer(id);
    KillTimer(id);
    combos[0].SendMessage(CB_SHOWDROPDOWN, TRUE);
  }
};

// ---- the entrance page ----

class EntrancePage : public vek_SubView {
 public:
  explicit EntrancePage(fw::CWnd* parent) : vek_SubView(IDD_GALLERY_PAGE, parent) {}

 private:
  vek_SkinBtn cards[4];
  CtrlSkinTable Table() {
    return CtrlSkinTable{Place(&cards[0], 15, 54, 0, 0, BMP_BTN_S2T),
                         Place(&cards[1], 391, 54, 0, 0, BMP_BTN_T2S),
                         Place(&cards[2], 15, 229, 0, 0, BMP_BTN_FS2T),
                         Place(&cards[3], 391, 229, 0, 0, BMP_BTN_FT2S)};
  }
  void DoDataExchange(fw::CDataExchange* dx) override {
    for (int i = 0; i < 4; ++i) fw::DDX_Control(dx, IDC_G_BTN0 + i, cards[i]);
  }
  int OnLoadSkin() override {
    viewBackground.Attach(Load(BMP_VIEW_BLANK));
    ApplyCtrlImages(Table(), Res());
    return 0;
  }
  int OnLayout() override {
    ApplyCtrlLayout(m_hWnd, Table());
    return 1;
  }
  int OnFreeSkin() override {
    Free(viewBackground.Detach());
    ReleaseCtrlImages(Table(), Res());
    return 0;
  }
  BOOL OnInitDialog() override {
    vek_SubView::OnInitDialog();
    // Only the four cards belong on this page.
    for (HWND c = ::GetWindow(m_hWnd, GW_CHILD); c != nullptr; c = ::GetWindow(c, GW_HWNDNEXT)) {
      if (fw::CWnd::FromHandle(c) == nullptr) ::ShowWindow(c, SW_HIDE);
    }
    cards[1].hovering = true;
    cards[2].SendMessage(BM_SETSTATE, TRUE);
    cards[3].EnableWindow(false);
    return TRUE;
  }
};

// ---- the main window ----

class GalleryMain : public vek_SkinDlg {
 public:
  GalleryMain(const std::wstring& mode, int seconds)
      : vek_SkinDlg(IDD_GALLERY_MAIN, nullptr), mode_(mode), seconds_(seconds) {}

 private:
  vek_SkinSysBtn menu, minimise, close;
  vek_SkinBtn back, setting;
  ControlsPage controls{this};
  EntrancePage entrance{this};
  std::wstring mode_;
  int seconds_;

  CtrlSkinTable Table() {
    return CtrlSkinTable{
        Place(&menu, -96, 1, 0, 0, BMP_SYSBTN_MENU), Place(&minimise, -66, 1, 0, 0, BMP_SYSBTN_MIN),
        Place(&close, -36, 1, 0, 0, BMP_SYSBTN_CLOSE), Place(&back, 686, 34, 0, 0, BMP_BTN_BACK),
        Place(&setting, 730, 34, 0, 0, BMP_BTN_SETTING)};
  }
  void DoDataExchange(fw::CDataExchange* dx) override {
    fw::DDX_Control(dx, IDC_G_MENU, menu);
    fw::DDX_Control(dx, IDC_G_MIN, minimise);
    fw::DDX_Control(dx, IDC_G_CLOSE, close);
    fw::DDX_Control(dx, IDC_G_BACK, back);
    fw::DDX_Control(dx, IDC_G_SETTING, setting);
  }
  int OnLoadSkin() override {
    background.Attach(Load(BMP_MAINWND));
    ApplyCtrlImages(Table(), Res());
    return 0;
  }
  int OnLayout() override {
    ApplyCtrlLayout(m_hWnd, Table());
    return 1;
  }
  int OnFreeSkin() override {
    Free(background.Detach());
    ReleaseCtrlImages(Table(), Res());
    return 0;
  }
  BOOL OnInitDialog() override {
    vek_SkinDlg::OnInitDialog();
    AddCtrlTips(m_hWnd, Res(),
                CtrlTipTable{{TIP_MENU, IDC_G_MENU, CTRLTIP_USED},
                             {TIP_MINIMISE, IDC_G_MIN, CTRLTIP_USED},
                             {TIP_CLOSE, IDC_G_CLOSE, CTRLTIP_USED},
                             {TIP_BACK, IDC_G_BACK, CTRLTIP_USED},
                             {TIP_SETTINGS, IDC_G_SETTING, CTRLTIP_USED},
                             {0, 0, CTRLTIP_END}});
    vek_SubView& page = mode_ == L"entrance" ? static_cast<vek_SubView&>(entrance) : controls;
    controls.dropCombo = mode_ == L"drop";
    page.Create(IDD_GALLERY_PAGE, this);
    page.SetWindowPos(nullptr, 7, 66, 766, 443, SWP_NOZORDER | SWP_SHOWWINDOW);
    if (&page == &controls) controls.OnShown();
    setting.hovering = true;
    SetWindowPos(nullptr, 20, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    if (seconds_ > 0) SetTimer(kQuitTimer, seconds_ * 1000);
    return TRUE;
  }
  BOOL OnCommand(WPARAM wp, LPARAM lp) override {
    if (LOWORD(wp) == IDC_G_CLOSE) {
      fw::CDialog::OnCancel();
      return TRUE;
    }
    return vek_SkinDlg::OnCommand(wp, lp);
  }
  void OnTimer(UINT_PTR id) override {
    if (id == kQuitTimer) return fw::CDialog::OnCancel();
    vek_SkinDlg::OnTimer(id);
  }
};

// ---- a small dialog, as the settings and progress dialogs look ----

class GalleryDialog : public vek_SkinDlg {
 public:
  explicit GalleryDialog(int seconds)
      : vek_SkinDlg(IDD_GALLERY_DIALOG, nullptr), seconds_(seconds) {
    // As the program's dialogs set themselves up.
    ctrlTextColor = kPanelText;
    ctrlBrush.reset(CreateSolidBrush(kPanel));
    titleTop = 9;
  }

 private:
  vek_SkinBtn close, ok, cancel;
  vek_SkinProgress progress;
  vek_AnimPlayer anim;
  vek_SkinStatic label;
  vek_SkinCheckBox check;
  vek_SkinRadioBtn radios[2];
  vek_SkinEdit edit;
  vek_SkinComboBox combo;
  int seconds_;

  CtrlSkinTable Table() {
    return CtrlSkinTable{Place(&close, -37, 3, 0, 0, BMP_SYSBTN_DLGCLOSE),
                         Place(&ok, 300, 216, 0, 0, BMP_BTN_OK),
                         Place(&cancel, 410, 216, 0, 0, BMP_BTN_CANCEL),
                         Place(&anim, 20, 50, 128, 128),
                         Place(&label, 170, 50, 330, 18),
                         Place(&edit, 170, 76, 330, 24),
                         Place(&check, 170, 110, 200, 16),
                         Place(&radios[0], 170, 134, 150, 16),
                         Place(&radios[1], 330, 134, 150, 16),
                         Place(&combo, 170, 160, 200, 22),
                         Place(&progress, 170, 192, 330, 14),
                         Colour(&label, kPanel, kPanelText),
                         Colour(&check, kPanel, kPanelText),
                         Colour(&radios[0], kPanel, kPanelText),
                         Colour(&radios[1], kPanel, kPanelText)};
  }
  void DoDataExchange(fw::CDataExchange* dx) override {
    fw::DDX_Control(dx, IDC_G_CLOSE, close);
    fw::DDX_Control(dx, IDC_G_OK, ok);
    fw::DDX_Control(dx, IDC_G_CANCEL, cancel);
    fw::DDX_Control(dx, IDC_G_PROGRESS0, progress);
    fw::DDX_Control(dx, IDC_G_ANIM, anim);
    fw::DDX_Control(dx, IDC_G_STATIC0, label);
    fw::DDX_Control(dx, IDC_G_CHECK0, check);
    fw::DDX_Control(dx, IDC_G_RADIO0, radios[0]);
    fw::DDX_Control(dx, IDC_G_RADIO0 + 1, radios[1]);
    fw::DDX_Control(dx, IDC_G_EDIT0, edit);
    fw::DDX_Control(dx, IDC_G_COMBO0, combo);
  }
  int OnLoadSkin() override {
    background.Attach(Load(BMP_DLG_520X260));
    ApplyCtrlImages(Table(), Res());
    return 0;
  }
  int OnLayout() override {
    ApplyCtrlLayout(m_hWnd, Table());
    return 1;
  }
  int OnFreeSkin() override {
    Free(background.Detach());
    ReleaseCtrlImages(Table(), Res());
    return 0;
  }
  BOOL OnInitDialog() override {
    vek_SkinDlg::OnInitDialog();
    ApplyCtrlBackColors(Table());
    ApplyCtrlForeColors(Table());
    title = L"设置";
    label.SetWindowText(L"输出文件夹：");
    edit.SetWindowText(L"C:\\用户\\文档\\Tarnwell");
    check.SetWindowText(L"打开输出文件夹");
    check.SetCheck(BST_CHECKED);
    radios[0].SetWindowText(L"自动识别编码");
    radios[1].SetWindowText(L"手动选择编码");
    radios[0].SetCheck(BST_CHECKED);
    for (const wchar_t* e : {L"ANSI", L"Unicode", L"Unicode big endian", L"UTF-8"}) {
      combo.AddString(e);
    }
    combo.SetCurSel(0);
    progress.backBrush.reset(CreateSolidBrush(RGB(239, 239, 239)));
    progress.barBrush.reset(CreateSolidBrush(RGB(75, 145, 180)));
    progress.maxPos = 1000;
    progress.pos = 620;
    LoadBusyFrames(anim);
    ok.hovering = true;
    SetWindowPos(nullptr, 40, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    if (seconds_ > 0) SetTimer(kQuitTimer, seconds_ * 1000);
    return TRUE;
  }
  BOOL OnCommand(WPARAM wp, LPARAM lp) override {
    const int id = LOWORD(wp);
    if (id == IDC_G_CLOSE || id == IDC_G_OK || id == IDC_G_CANCEL) {
      fw::CDialog::OnCancel();
      return TRUE;
    }
    return vek_SkinDlg::OnCommand(wp, lp);
  }
  void OnTimer(UINT_PTR id) override {
    if (id == kQuitTimer) return fw::CDialog::OnCancel();
    vek_SkinDlg::OnTimer(id);
  }
};

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::wstring mode = L"controls";
  int seconds = 0;
  for (int i = 1; i < argc; ++i) {
    if (std::wstring(argv[i]) == L"--seconds" && i + 1 < argc) {
      seconds = _wtoi(argv[++i]);
    } else {
      mode = argv[i];
    }
  }
  LocalFree(argv);

  CoInitialize(nullptr);
  INITCOMMONCONTROLSEX icc{sizeof(icc), 0xFF};
  InitCommonControlsEx(&icc);
  if (Res() == nullptr) {
    fw::AppMessageBox(nullptr, L"skeldon.dat could not be loaded.", MB_ICONERROR);
    return 1;
  }
  CreateSharedTooltip();
  if (mode == L"dialog") {
    GalleryDialog dlg(seconds);
    dlg.DoModalFor(nullptr);
  } else {
    GalleryMain dlg(mode, seconds);
    dlg.DoModalFor(nullptr);
  }
  ShutdownComponents();
  CoUninitialize();
  return 0;
}
