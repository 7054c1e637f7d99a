// The main window: navigation between its pages, the about box, the keys it
// ignores and the one way to close it.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include "app/AboutDlg.h"
#include "app/HandOver.h"
#include "app/TarnwellDlg.h"
#include "app/resource.h"
#include "pages/TConvView.h"
#include "skin/CtrlTables.h"
#include "tests/gui/app_env.h"
#include "tests/support/GuiPump.h"

using testing_support::PumpFor;
using testing_support::WithModalWindow;

namespace {

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dlg.Create(IDD_TARNWELL_DIALOG, nullptr));
    app_test::App().m_pMainWnd = &dlg;
    dlg.ShowWindow(SW_SHOW);
    PumpFor(50);
  }
  void TearDown() override {
    if (IsWindow(dlg.m_hWnd)) dlg.DestroyWindow();
    app_test::App().m_pMainWnd = nullptr;
  }

  bool Visible(int id) const { return IsWindowVisible(dlg.GetDlgItem(id)) != FALSE; }
  bool PageVisible(int index) const {
    CSubView* page = dlg.MadePage(index);
    return page != nullptr && page->IsWindowVisible();
  }
  // Clicks an entrance button the way the mouse does.
  void ClickEntrance(int id) {
    HWND button = dlg.Page(0)->GetDlgItem(id);
    ASSERT_NE(button, nullptr);
    SendMessageW(button, BM_CLICK, 0, 0);
    PumpFor(20);
  }
  void ClickBack() {
    SendMessageW(dlg.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_BACK_BTN, BN_CLICKED),
                 reinterpret_cast<LPARAM>(dlg.GetDlgItem(IDC_BACK_BTN)));
    PumpFor(20);
  }

  CTarnwellDlg dlg;
};

TEST_F(MainWindowTest, StartsOnTheEntranceWithFourHiddenPagesAndNoBack) {
  EXPECT_EQ(dlg.CurrentPage(), 0);
  EXPECT_TRUE(PageVisible(0));
  for (int i = 1; i < PAGE_COUNT; ++i) {
    ASSERT_NE(dlg.Page(i), nullptr) << i;
    EXPECT_NE(dlg.Page(i)->m_hWnd, nullptr) << i;
    EXPECT_FALSE(PageVisible(i)) << i;
    EXPECT_EQ(dlg.Page(i)->pageIndex, i);
  }
  EXPECT_FALSE(Visible(IDC_BACK_BTN));
  EXPECT_TRUE(Visible(IDC_SETTING_BTN));
  // The pages sit below the title band, at the size of their face.
  RECT page = dlg.Page(1)->GetWindowRect();
  POINT origin{page.left, page.top};
  ScreenToClient(dlg.m_hWnd, &origin);
  EXPECT_EQ(origin.x, 7);
  EXPECT_EQ(origin.y, 66);
  EXPECT_EQ(page.right - page.left, 780);
  EXPECT_EQ(page.bottom - page.top, 520);
  // The window takes the size of its face.
  RECT main = dlg.GetWindowRect();
  EXPECT_EQ(main.right - main.left, 780);
  EXPECT_EQ(main.bottom - main.top, 520);
}

TEST_F(MainWindowTest, EachEntranceButtonShowsItsPageAndBackReturns) {
  const struct {
    int button, page;
  } routes[] = {{IDC_ENTRANCE_S2T, 1}, {IDC_ENTRANCE_T2S, 2}, {IDC_ENTRANCE_FS2T, 3},
                {IDC_ENTRANCE_FT2S, 4}};
  for (const auto& r : routes) {
    SCOPED_TRACE(r.button);
    ClickEntrance(r.button);
    EXPECT_EQ(dlg.CurrentPage(), r.page);
    EXPECT_TRUE(PageVisible(r.page));
    EXPECT_FALSE(PageVisible(0));
    EXPECT_TRUE(Visible(IDC_BACK_BTN));
    EXPECT_EQ(dlg.HistoryDepth(), 1u);
    ClickBack();
    EXPECT_EQ(dlg.CurrentPage(), 0);
    EXPECT_TRUE(PageVisible(0));
    EXPECT_FALSE(PageVisible(r.page));
    EXPECT_FALSE(Visible(IDC_BACK_BTN));
    EXPECT_EQ(dlg.HistoryDepth(), 0u);
  }
  // The text pages carry their own templates and directions.
  EXPECT_EQ(dlg.Page(1)->TemplateId(), static_cast<UINT>(IDD_SIM2TRA));
  EXPECT_EQ(dlg.Page(2)->TemplateId(), static_cast<UINT>(IDD_TRA2SIM));
  EXPECT_EQ(dynamic_cast<CTConvView*>(dlg.Page(1))->direction, Sim2Tra);
  EXPECT_EQ(dynamic_cast<CTConvView*>(dlg.Page(2))->direction, Tra2Sim);
}

TEST_F(MainWindowTest, CaptionButtonsCarryTheirTooltips) {
  const struct {
    int id;
    const wchar_t* text;
  } tips[] = {{IDC_MENU_BTN, L"菜单"},
              {IDC_MIN_BTN, L"最小化"},
              {IDC_CLOSE_BTN, L"关闭"},
              {IDC_BACK_BTN, L"返回主界面"},
              {IDC_SETTING_BTN, L"系统设置"}};
  for (const auto& tip : tips) {
    wchar_t text[80] = {};
    TOOLINFOW ti{};
    ti.cbSize = sizeof(ti);
    ti.uFlags = TTF_IDISHWND;
    ti.hwnd = dlg.m_hWnd;
    ti.uId = reinterpret_cast<UINT_PTR>(dlg.GetDlgItem(tip.id));
    ti.lpszText = text;
    SendMessageW(SharedTooltip(), TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&ti));
    EXPECT_STREQ(text, tip.text) << tip.id;
  }
}

TEST_F(MainWindowTest, ASecondBackOnTheEntranceDoesNothing) {
  ClickEntrance(IDC_ENTRANCE_S2T);
  ClickBack();
  ClickBack();
  EXPECT_EQ(dlg.CurrentPage(), 0);
  EXPECT_TRUE(PageVisible(0));
  for (int i = 1; i < PAGE_COUNT; ++i) EXPECT_FALSE(PageVisible(i)) << i;
  EXPECT_FALSE(Visible(IDC_BACK_BTN));
}

TEST_F(MainWindowTest, TextsSurviveARoundTrip) {
  ClickEntrance(IDC_ENTRANCE_T2S);
  HWND source = dlg.Page(2)->GetDlgItem(IDC_SOURCE_EDIT);
  HWND result = dlg.Page(2)->GetDlgItem(IDC_RESULT_EDIT);
  SetWindowTextW(source, L"繁體字\r\n第二行");
  SetWindowTextW(result, L"舊的結果");
  ClickBack();
  ClickEntrance(IDC_ENTRANCE_S2T);
  ClickBack();
  ClickEntrance(IDC_ENTRANCE_T2S);
  wchar_t text[64] = {};
  GetWindowTextW(source, text, 64);
  EXPECT_STREQ(text, L"繁體字\r\n第二行");
  GetWindowTextW(result, text, 64);
  EXPECT_STREQ(text, L"舊的結果");
  // The other text page was never touched.
  GetWindowTextW(dlg.Page(1)->GetDlgItem(IDC_SOURCE_EDIT), text, 64);
  EXPECT_STREQ(text, L"");
}

// What the about box showed while it was open.
struct AboutSeen {
  bool mainDisabled = false;
  int width = 0, height = 0;
  std::wstring version;
};

AboutSeen OpenAbout(CTarnwellDlg& dlg, const std::function<void()>& open) {
  AboutSeen seen;
  HWND box = WithModalWindow(open, dlg.m_hWnd, [&](HWND about) {
    seen.mainDisabled = !IsWindowEnabled(dlg.m_hWnd);
    RECT rc{};
    GetWindowRect(about, &rc);
    seen.width = rc.right - rc.left;
    seen.height = rc.bottom - rc.top;
    wchar_t text[64] = {};
    GetDlgItemTextW(about, IDC_VERSION_TEXT, text, 64);
    seen.version = text;
    HWND close = GetDlgItem(about, IDC_CLOSE_BTN);
    PostMessageW(about, WM_COMMAND, MAKEWPARAM(IDC_CLOSE_BTN, BN_CLICKED),
                 reinterpret_cast<LPARAM>(close));
  });
  EXPECT_NE(box, nullptr);
  EXPECT_FALSE(IsWindow(box)) << "the close button ends the about box";
  return seen;
}

TEST_F(MainWindowTest, SystemCommand16AndMenuCommand32776OpenTheAboutBox) {
  for (bool fromMenu : {false, true}) {
    SCOPED_TRACE(fromMenu ? "menu" : "system menu");
    AboutSeen seen = OpenAbout(dlg, [&] {
      if (fromMenu) {
        SendMessageW(dlg.m_hWnd, WM_COMMAND, MAKEWPARAM(ID_MENU_ABOUT, 0), 0);
      } else {
        SendMessageW(dlg.m_hWnd, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
      }
    });
    EXPECT_TRUE(seen.mainDisabled);
    EXPECT_EQ(seen.width, 430);
    EXPECT_EQ(seen.height, 240);
    EXPECT_EQ(seen.version, L"软件版本号: 1.0.1");
    EXPECT_TRUE(IsWindowEnabled(dlg.m_hWnd));
  }
}

TEST_F(MainWindowTest, TheSystemMenuCarriesTheAboutEntry) {
  HMENU sys = GetSystemMenu(dlg.m_hWnd, FALSE);
  ASSERT_NE(sys, nullptr);
  wchar_t text[64] = {};
  ASSERT_GT(GetMenuStringW(sys, IDM_ABOUTBOX, text, 64, MF_BYCOMMAND), 0);
  EXPECT_STREQ(text, L"&About Tarnwell...");
  // The popup menu of the menu button holds the one item.
  HMENU menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAIN_MENU));
  ASSERT_NE(menu, nullptr);
  HMENU popup = GetSubMenu(menu, 0);
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(GetMenuItemCount(popup), 1);
  EXPECT_EQ(GetMenuItemID(popup, 0), static_cast<UINT>(ID_MENU_ABOUT));
  GetMenuStringW(popup, 0, text, 64, MF_BYPOSITION);
  EXPECT_STREQ(text, L"关于我们");
  DestroyMenu(menu);
}

// Counts, beside the window's own handling, the commands and menu loops
// that reach the main window.
struct CommandCounter {
  int commands[2000] = {};
  int menuLoops = 0;
  static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                               DWORD_PTR data) {
    auto* self = reinterpret_cast<CommandCounter*>(data);
    if (msg == WM_COMMAND && LOWORD(wp) < 2000) ++self->commands[LOWORD(wp)];
    if (msg == WM_ENTERMENULOOP) {
      ++self->menuLoops;
      EndMenu();  // close the popup again at once
    }
    return DefSubclassProc(wnd, msg, wp, lp);
  }
};

TEST_F(MainWindowTest, ACaptionButtonClickActsOnce) {
  CommandCounter counter;
  ASSERT_TRUE(SetWindowSubclass(dlg.m_hWnd, &CommandCounter::Proc, 77,
                                reinterpret_cast<DWORD_PTR>(&counter)));
  // A press and release with the mouse, as the user clicks.
  auto click = [](HWND button) {
    SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    PumpFor(50);
  };
  click(dlg.GetDlgItem(IDC_MENU_BTN));
  EXPECT_EQ(counter.commands[IDC_MENU_BTN], 1) << "one report per click";
  EXPECT_EQ(counter.menuLoops, 1) << "one popup menu per click";
  click(dlg.GetDlgItem(IDC_MIN_BTN));
  EXPECT_EQ(counter.commands[IDC_MIN_BTN], 1) << "one report per click";
  EXPECT_TRUE(IsIconic(dlg.m_hWnd));
  ShowWindow(dlg.m_hWnd, SW_RESTORE);
  RemoveWindowSubclass(dlg.m_hWnd, &CommandCounter::Proc, 77);
}

TEST_F(MainWindowTest, EscEnterAndAltF4DoNotCloseTheWindow) {
  SendMessageW(dlg.m_hWnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  SendMessageW(dlg.m_hWnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  SendMessageW(dlg.m_hWnd, WM_SYSCOMMAND, SC_CLOSE, 0);
  SendMessageW(dlg.m_hWnd, WM_CLOSE, 0, 0);
  PumpFor(50);
  EXPECT_TRUE(IsWindow(dlg.m_hWnd));
  EXPECT_TRUE(dlg.IsWindowVisible());
}

// The background work (conversions, hotkeys, icon) waits for the window to
// show: started while it was being made, it delayed the first sight of it.
TEST(MainWindowStartTest, TheHotkeysAndIconStartOnlyOnceTheWindowShows) {
  CTarnwellDlg dlg;
  ASSERT_TRUE(dlg.Create(IDD_TARNWELL_DIALOG, nullptr));
  app_test::App().m_pMainWnd = &dlg;
  PumpFor(100);
  EXPECT_EQ(dlg.Clipboard(), nullptr);
  dlg.ShowWindow(SW_SHOW);
  EXPECT_TRUE(testing_support::PumpUntil([&] { return dlg.Clipboard() != nullptr; }));
  dlg.DestroyWindow();
  app_test::App().m_pMainWnd = nullptr;
}

TEST(MainWindowStartTest, ThePagesAreMadeAfterTheFirstPaintOnlyWhileTheWindowIsEnabled) {
  CTarnwellDlg dlg;
  ASSERT_TRUE(dlg.Create(IDD_TARNWELL_DIALOG, nullptr));
  app_test::App().m_pMainWnd = &dlg;
  dlg.ShowWindow(SW_SHOW);
  dlg.EnableWindow(false);  // a run started at once, say
  PumpFor(300);
  int made = 0;
  for (int i = 1; i < PAGE_COUNT; ++i) made += dlg.MadePage(i) != nullptr ? 1 : 0;
  EXPECT_EQ(made, 0);
  dlg.EnableWindow(true);
  EXPECT_TRUE(testing_support::PumpUntil([&] {
    for (int i = 1; i < PAGE_COUNT; ++i) {
      if (dlg.MadePage(i) == nullptr) return false;
    }
    return true;
  }));
  dlg.DestroyWindow();
  app_test::App().m_pMainWnd = nullptr;
}

// The steps of the modal run below, one per tick of a thread timer: the
// keys go through the modal loop as typed, then the close button.
struct KeySteps {
  CTarnwellDlg* dlg = nullptr;
  bool aliveAfterKeys = false;
  int tick = 0;
};
KeySteps* g_keySteps = nullptr;

void CALLBACK KeyStepTick(HWND, UINT, UINT_PTR, DWORD) {
  KeySteps& s = *g_keySteps;
  HWND main = s.dlg->m_hWnd;
  if (main == nullptr) return;
  ++s.tick;
  HWND focus = GetFocus() != nullptr ? GetFocus() : main;
  if (s.tick == 2) {
    PostMessageW(focus, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    PostMessageW(focus, WM_KEYDOWN, VK_RETURN, 0x001C0001);
    // Alt+F4 as the keyboard sends it.
    PostMessageW(focus, WM_SYSKEYDOWN, VK_F4, 0x203E0001);
  } else if (s.tick == 5) {
    s.aliveAfterKeys = IsWindow(main) && IsWindowVisible(main);
    SendMessageW(GetDlgItem(main, IDC_CLOSE_BTN), BM_CLICK, 0, 0);
  } else if (s.tick > 50) {
    DestroyWindow(main);  // never hang the test run
  }
}

TEST(MainWindowModalTest, KeysAreIgnoredAndTheCloseButtonEndsTheRun) {
  CTarnwellDlg dlg;
  app_test::App().m_pMainWnd = &dlg;
  KeySteps steps;
  steps.dlg = &dlg;
  g_keySteps = &steps;
  UINT_PTR timer = SetTimer(nullptr, 0, 100, &KeyStepTick);
  INT_PTR result = dlg.DoModalFor(nullptr);
  KillTimer(nullptr, timer);
  g_keySteps = nullptr;
  app_test::App().m_pMainWnd = nullptr;
  EXPECT_TRUE(steps.aliveAfterKeys);
  EXPECT_EQ(result, IDCANCEL);
}

TEST(AboutBoxTest, CloseButtonAndLayout) {
  CAboutDlg about;
  ASSERT_TRUE(about.Create(IDD_ABOUTBOX, nullptr));
  PumpFor(20);
  HWND close = about.GetDlgItem(IDC_CLOSE_BTN);
  RECT client = about.GetClientRect();
  RECT rc{};
  GetWindowRect(close, &rc);
  POINT pt{rc.left, rc.top};
  ScreenToClient(about.m_hWnd, &pt);
  EXPECT_EQ(pt.x, client.right - 27);
  EXPECT_EQ(pt.y, 2);
  EXPECT_EQ(rc.right - rc.left, 25) << "one frame of the 125-pixel strip";
  EXPECT_EQ(about.versionText.backColor, RGB(243, 186, 31));
  EXPECT_EQ(about.versionText.textColor, RGB(255, 255, 255));
  about.DestroyWindow();
}

}  // namespace

// Paths on the command line are made absolute by the starting process,
// against its own current folder, before they are queued or handed over.
TEST(HandOverArgs, RelativeAndForwardSlashPathsBecomeFullPaths) {
  wchar_t here[MAX_PATH] = {};
  ASSERT_GT(GetCurrentDirectoryW(MAX_PATH, here), 0u);
  std::wstring folder = here;
  if (folder.back() != L'\\') folder += L'\\';
  const HandOver parsed = ParseProgramArgs({L"/s2t", L"a.txt", L"C:/x/b.txt", L"sub\\..\\c.srt"});
  EXPECT_EQ(parsed.page, HandOverPage::Sim2Tra);
  EXPECT_EQ(parsed.paths,
            (std::vector<std::wstring>{folder + L"a.txt", L"C:\\x\\b.txt", folder + L"c.srt"}));
}
