#include "app/TarnwellDlg.h"

#include "app/AboutDlg.h"
#include "app/DlgEntrance.h"
#include "app/HandOver.h"
#include "app/PageSlots.h"
#include "app/TarnwellApp.h"
#include "app/resource.h"
#include "config/CfgStore.h"
#include "fw/App.h"
#include "fw/MessageBox.h"
#include "pages/PageRes.h"
#include "pages/TConvView.h"
#include "pages/UserWords.h"
#include "skeldon/ResIds.h"

namespace {

constexpr int kPageX = 7;  // where the pages sit, 96-DPI pixels
constexpr int kPageY = 66;
// Looks again for a moment to queue handed files.
constexpr UINT_PTR kHandOverTimer = 0x4849;
constexpr UINT kHandOverRetryMs = 250;
// Set as the window shows, so that it fires after the first paint (timers
// come after painting): the conversions are built in the background, the
// hotkeys and the icon start. Set as the dialog was made, it was due before
// the window showed on a busy machine, and all that ran first.
constexpr UINT_PTR kWarmUpTimer = 0x5755;
// After the first paint, the pages not made yet are made one a tick, so
// that the first click on a card finds its page ready; not while the window
// is disabled (a run, or a dialog of ours in front): making a page took a
// good part of a processor from a run started at once.
constexpr UINT_PTR kPagesTimer = 0x5756;
constexpr UINT kPagesTickMs = 30;

}  // namespace

CTarnwellDlg::CTarnwellDlg(fw::CWnd* parent)
    : vek_SkinDlg(IDD_TARNWELL_DIALOG, parent),
      icon(static_cast<HICON>(LoadImageW(fw::ResourceModule(), MAKEINTRESOURCEW(IDR_MAINFRAME),
                                         IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED))) {
  backButton.handCursor = LoadCursorW(nullptr, IDC_HAND);
  settingButton.handCursor = LoadCursorW(nullptr, IDC_HAND);
  faceId = BMP_MAINWND;
}

CTarnwellDlg::~CTarnwellDlg() {
  clipboard_.reset();  // hotkeys and icon go first, with their worker
  for (auto& page : pages) {
    if (page && page->m_hWnd != nullptr) page->DestroyWindow();
    page.reset();
  }
  pageHistory.clear();
}

void CTarnwellDlg::DoDataExchange(fw::CDataExchange* dx) {
  fw::DDX_Control(dx, IDC_MENU_BTN, menuButton);
  fw::DDX_Control(dx, IDC_MIN_BTN, minimiseButton);
  fw::DDX_Control(dx, IDC_CLOSE_BTN, closeButton);
  fw::DDX_Control(dx, IDC_BACK_BTN, backButton);
  fw::DDX_Control(dx, IDC_SETTING_BTN, settingButton);
}

CtrlSkinTable CTarnwellDlg::SkinTable() {
  constexpr int kImagePos = CTRLSKIN_IMAGE | CTRLSKIN_POS;
  // The caption buttons stand from the right edge.
  return CtrlSkinTable{{&closeButton, BMP_SYSBTN_CLOSE, -37, 0, 0, 0, 0, 0, kImagePos},
                       {&minimiseButton, BMP_SYSBTN_MIN, -67, 0, 0, 0, 0, 0, kImagePos},
                       {&menuButton, BMP_SYSBTN_MENU, -97, 0, 0, 0, 0, 0, kImagePos},
                       {&backButton, BMP_BTN_BACK, 686, 34, 0, 0, 0, 0, kImagePos},
                       {&settingButton, BMP_BTN_SETTING, 730, 34, 0, 0, 0, 0, kImagePos},
                       {nullptr, 0, 0, 0, 0, 0, 0, 0, CTRLSKIN_END}};
}

BOOL CTarnwellDlg::OnInitDialog() {
  vek_SkinDlg::OnInitDialog();
  SetWindowText(fw::AppName());

  if (HMENU sysMenu = GetSystemMenu(m_hWnd, FALSE)) {
    wchar_t about[260] = {};
    LoadStringW(fw::ResourceModule(), IDS_ABOUTBOX, about, 260);
    if (about[0] != L'\0') {
      AppendMenuW(sysMenu, MF_SEPARATOR, 0, nullptr);
      AppendMenuW(sysMenu, MF_STRING, IDM_ABOUTBOX, about);
    }
  }
  SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
  SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));

  CreatePages();
  ShowBackButton();
  AddCtrlTips(m_hWnd, AppResMgr(),
              CtrlTipTable{{TIP_MENU, IDC_MENU_BTN, CTRLTIP_USED},
                           {TIP_MINIMISE, IDC_MIN_BTN, CTRLTIP_USED},
                           {TIP_CLOSE, IDC_CLOSE_BTN, CTRLTIP_USED},
                           {TIP_BACK, IDC_BACK_BTN, CTRLTIP_USED},
                           {TIP_SETTINGS, IDC_SETTING_BTN, CTRLTIP_USED},
                           {0, 0, CTRLTIP_END}});
  // Files given on the command line, or handed over while starting.
  PostMessage(WM_HANDED_FILES);
  return TRUE;
}

void CTarnwellDlg::CreatePages() {
  pages[0] = std::make_unique<CDlgEntrance>(this);
  pages[1] = std::make_unique<CDlgSim2Tra>(this);
  pages[2] = std::make_unique<CDlgTra2Sim>(this);
  pages[3] = MakeFilePage(3, this);
  pages[4] = MakeFilePage(4, this);
  if (MakePage(0)) pages[0]->ShowWindow(SW_SHOW);
  currentPage = 0;
}

CSubView* CTarnwellDlg::Page(int index) {
  if (index < 0 || index >= PAGE_COUNT || !pages[index]) return nullptr;
  if (pages[index]->m_hWnd == nullptr && !MakePage(index)) return nullptr;
  return pages[index].get();
}

bool CTarnwellDlg::MakePage(int index) {
  CSubView* page = pages[index].get();
  if (page == nullptr || m_hWnd == nullptr) return false;
  if (!page->Create(page->TemplateId(), this)) {
    // A page that cannot be made stays out of the table: switching to it
    // does nothing.
    pages[index].reset();
    return false;
  }
  const SIZE size = background.GetSize();
  page->SetWindowPos(nullptr, Dpi().Scale(kPageX), Dpi().Scale(kPageY), size.cx, size.cy,
                     SWP_HIDEWINDOW | SWP_NOZORDER | SWP_NOACTIVATE);
  page->pageIndex = index;
  return true;
}

void CTarnwellDlg::OnDpiChanged(const DpiScale& old, const DpiScale& scale) {
  // The pages have taken the new scale already; they move to their place.
  const SIZE size = background.GetSize();
  for (auto& page : pages) {
    if (!page || page->m_hWnd == nullptr) continue;
    page->SetWindowPos(nullptr, scale.Scale(kPageX), scale.Scale(kPageY), size.cx, size.cy,
                       SWP_NOZORDER | SWP_NOACTIVATE);
  }
  ShowBackButton();
}

void CTarnwellDlg::ShowBackButton() {
  backButton.ShowWindow(pageHistory.empty() ? SW_HIDE : SW_SHOW);
}

void CTarnwellDlg::SwitchToPage(CSubView* from, int index) {
  CSubView* to = Page(index);
  if (from == nullptr || to == nullptr) return;
  if (to != from) {
    pageHistory.push_back(from);
    to->ShowWindow(SW_SHOW);
    from->ShowWindow(SW_HIDE);
    ShowBackButton();
  }
  to->OnEnterPage(from, 0);
  currentPage = index;
}

void CTarnwellDlg::GoBack() {
  CSubView* current = Page(currentPage);
  if (current != nullptr && !current->CanLeavePage()) return;
  if (pageHistory.empty()) return;
  CSubView* previous = pageHistory.back();
  if (previous != current) {
    previous->ShowWindow(SW_SHOW);
    if (current != nullptr) current->ShowWindow(SW_HIDE);
    pageHistory.pop_back();
    ShowBackButton();
  }
  previous->OnReturnToPage();
  currentPage = previous->pageIndex;
}

BOOL CTarnwellDlg::OnCommand(WPARAM wp, LPARAM lp) {
  const int id = LOWORD(wp);
  const int code = HIWORD(wp);
  if (lp == 0 && id == ID_MENU_ABOUT) {  // from the popup menu
    RunAboutBox();
    return TRUE;
  }
  if (code != BN_CLICKED) return vek_SkinDlg::OnCommand(wp, lp);
  switch (id) {
    case IDC_MENU_BTN: ShowPopupMenu(); return TRUE;
    case IDC_MIN_BTN: ShowWindow(SW_MINIMIZE); return TRUE;
    // The framework's own Cancel: the one way to end the program here.
    case IDC_CLOSE_BTN: CloseOrHide(); return TRUE;
    case IDC_BACK_BTN: GoBack(); return TRUE;
    case IDC_SETTING_BTN: RunSettingsDialog(this, clipboard_.get()); return TRUE;
    default: return vek_SkinDlg::OnCommand(wp, lp);
  }
}

LRESULT CTarnwellDlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_SYSCOMMAND:
      if ((wp & 0xFFF0) == IDM_ABOUTBOX) {
        RunAboutBox();
        return 0;
      }
      if ((wp & 0xFFF0) == SC_CLOSE && clipboard_ && clipboard_->KeepsInTray()) {
        ShowWindow(SW_HIDE);
        return 0;
      }
      break;
    case WM_QUERYDRAGICON: return reinterpret_cast<LRESULT>(icon);
    case WM_WINDOWPOSCHANGED:
      if (!warmUpArmed_ && (reinterpret_cast<const WINDOWPOS*>(lp)->flags & SWP_SHOWWINDOW)) {
        warmUpArmed_ = true;
        ::SetTimer(m_hWnd, kWarmUpTimer, 1, nullptr);
      }
      break;
    case WM_HANDED_FILES: QueueHandedFiles(); return 0;
    case WM_TIMER:
      if (wp == kHandOverTimer) {
        QueueHandedFiles();
        return 0;
      }
      if (wp == kWarmUpTimer) {
        ::KillTimer(m_hWnd, kWarmUpTimer);
        warmUp_.Start(StoredStandard(CfgStore::Instance()));
        StartClipboardService();
        pagesPending_ = true;
        if (IsWindowEnabled(m_hWnd)) ::SetTimer(m_hWnd, kPagesTimer, kPagesTickMs, nullptr);
        return 0;
      }
      if (wp == kPagesTimer) {
        if (!IsWindowEnabled(m_hWnd)) return 0;
        int next = 0;
        while (next < PAGE_COUNT && (!pages[next] || pages[next]->m_hWnd != nullptr)) ++next;
        if (next == PAGE_COUNT) {
          pagesPending_ = false;
          ::KillTimer(m_hWnd, kPagesTimer);
        } else {
          Page(next);
        }
        return 0;
      }
      break;
    case WM_ENABLE:
      // While disabled (a run, a dialog of ours in front) no page is made,
      // and the pages' timer does not tick for nothing.
      if (pagesPending_) {
        if (wp != FALSE) {
          ::SetTimer(m_hWnd, kPagesTimer, kPagesTickMs, nullptr);
        } else {
          ::KillTimer(m_hWnd, kPagesTimer);
        }
      }
      break;
    default: break;
  }
  return vek_SkinDlg::WindowProc(msg, wp, lp);
}

void CTarnwellDlg::QueueHandedFiles() {
  std::deque<HandOver>& pending = PendingHandOvers();
  if (pending.empty()) {
    ::KillTimer(m_hWnd, kHandOverTimer);
    return;
  }
  // Files handed over are converted next: their conversions are built now,
  // not only after the first paint.
  warmUp_.Start(StoredStandard(CfgStore::Instance()));
  // A run in progress, or a dialog of ours in front (the main window is
  // then disabled): the files wait, and join the queue afterwards.
  bool busy = !IsWindowEnabled(m_hWnd);
  for (int i = 0; i < PAGE_COUNT; ++i) busy = busy || FilePageBusy(MadePage(i));
  if (busy) {
    ::SetTimer(m_hWnd, kHandOverTimer, kHandOverRetryMs, nullptr);
    return;
  }
  ::KillTimer(m_hWnd, kHandOverTimer);
  while (!pending.empty()) {
    HandOver handOver = std::move(pending.front());
    pending.pop_front();
    int index = 3;
    if (handOver.page == HandOverPage::Tra2Sim) index = 4;
    if (handOver.page == HandOverPage::Current && currentPage == 4) index = 4;
    if (Page(index) == nullptr) continue;  // a page that could not be made
    if (currentPage != index) SwitchToPage(Page(currentPage), index);
    QueueOnFilePage(Page(index), handOver.paths);
  }
  // Hidden in the notification area, the window comes back for them.
  if (!::IsWindowVisible(m_hWnd)) ShowWindow(SW_SHOW);
  if (IsIconic(m_hWnd)) ShowWindow(SW_RESTORE);
  SetForegroundWindow(m_hWnd);
}

void CTarnwellDlg::StartClipboardService() {
  if (clipboard_) return;
  ClipboardService::Host host;
  host.convOptions = [](ConvDirection direction) {
    return CurrentConvOptions(CfgStore::Instance(), direction);
  };
  host.showMainWindow = [this] { ShowFromTray(); };
  host.exitProgram = [this] { ExitFromTray(); };
  host.icon = static_cast<HICON>(LoadImageW(fw::ResourceModule(), MAKEINTRESOURCEW(IDR_MAINFRAME),
                                            IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                            GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  auto service = std::make_unique<ClipboardService>(std::move(host));
  if (service->Start(ReadClipboardOptions(CfgStore::Instance()))) clipboard_ = std::move(service);
}

void CTarnwellDlg::CloseOrHide() {
  if (clipboard_ && clipboard_->KeepsInTray()) {
    ShowWindow(SW_HIDE);
    return;
  }
  // The framework's own Cancel: the way to end the program here.
  fw::CDialog::OnCancel();
}

void CTarnwellDlg::ShowFromTray() {
  ShowWindow(SW_SHOW);
  if (IsIconic(m_hWnd)) ShowWindow(SW_RESTORE);
  // A dialog of ours in front stays in front.
  HWND front = GetLastActivePopup(m_hWnd);
  SetForegroundWindow(front != nullptr ? front : m_hWnd);
}

void CTarnwellDlg::ExitFromTray() {
  if (!IsWindowEnabled(m_hWnd)) {
    ShowFromTray();
    return;
  }
  fw::CDialog::OnCancel();
}

void CTarnwellDlg::OnPaint() {
  if (!IsIconic(m_hWnd)) {
    Default();
    return;
  }
  fw::PaintDc paint(m_hWnd);
  HDC dc = paint.get();
  SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  const RECT rc = GetClientRect();
  const int x = (rc.right - GetSystemMetrics(SM_CXICON) + 1) / 2;
  const int y = (rc.bottom - GetSystemMetrics(SM_CYICON) + 1) / 2;
  DrawIcon(dc, x, y, icon);
}

void CTarnwellDlg::ShowPopupMenu() {
  POINT pt{};
  GetCursorPos(&pt);
  SetForegroundWindow(m_hWnd);
  HMENU menu = LoadMenuW(fw::ResourceModule(), MAKEINTRESOURCEW(IDR_MAIN_MENU));
  if (menu == nullptr) return;
  if (HMENU popup = GetSubMenu(menu, 0)) {
    TrackPopupMenu(popup, TPM_RIGHTALIGN, pt.x, pt.y, 0, m_hWnd, nullptr);
  }
  DestroyMenu(menu);
}

void CTarnwellDlg::RunAboutBox() {
  CAboutDlg about;
  about.DoModalFor(nullptr);
}
