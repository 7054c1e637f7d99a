// The skinned dialog base: shape from the colour key, painting, the
// caption band, Enter and Esc, the layout and colour tables, tooltips,
// showing over the parent and the skin's life cycle.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "fw/App.h"
#include "skin/CtrlTables.h"
#include "skin/SkinDlg.h"
#include "tests/gui/skin_testdlg.h"
#include "tests/support/WindowPixels.h"

namespace {

using namespace skin_test;
using testing_support::FakeResMgr;
using testing_support::MakeBitmap;
using testing_support::PumpMessages;
using testing_support::WindowPixels;

// A control that records the colours a table gives it.
class ColourProbe : public fw::CStatic, public vek_ISkinColor {
 public:
  COLORREF back = CLR_INVALID, fore = CLR_INVALID;
  void SetBackColor(COLORREF c) override { back = c; }
  void SetForeColor(COLORREF c) override { fore = c; }
};

class SkinDlgTest : public ::testing::Test {
 protected:
  void SetUp() override { AddTestArt(res); }
  FakeResMgr res;
};

TEST(SkinImgRegion, FollowsTheColourKeyRowByRow) {
  vek_SkinImg img;
  img.Attach(MakeBitmap(300, 200, BackgroundPixel));
  fw::UniqueRgn rgn;
  ASSERT_TRUE(img.MakeRegion(rgn));
  EXPECT_FALSE(PtInRegion(rgn.get(), 0, 0));
  EXPECT_FALSE(PtInRegion(rgn.get(), 1, 1));
  EXPECT_TRUE(PtInRegion(rgn.get(), 2, 1));
  EXPECT_FALSE(PtInRegion(rgn.get(), 299, 0));
  EXPECT_FALSE(PtInRegion(rgn.get(), 298, 199));
  EXPECT_TRUE(PtInRegion(rgn.get(), 150, 50));
  EXPECT_TRUE(PtInRegion(rgn.get(), 0, 150));  // RGB(255,0,254) is opaque
  for (int x : {0, 1, 150, 299}) EXPECT_FALSE(PtInRegion(rgn.get(), x, 100));
  EXPECT_TRUE(PtInRegion(rgn.get(), 150, 99));

  // A row without key pixels is one full-width rectangle.
  vek_SkinImg plain;
  plain.Attach(MakeBitmap(17, 3, [](int, int y) { return y == 1 ? RGB(255, 0, 255) : kBody; }));
  ASSERT_TRUE(plain.MakeRegion(rgn));
  RECT box{};
  GetRgnBox(rgn.get(), &box);
  EXPECT_EQ(box.left, 0);
  EXPECT_EQ(box.right, 17);
  DWORD bytes = GetRegionData(rgn.get(), 0, nullptr);
  std::vector<BYTE> data(bytes);
  GetRegionData(rgn.get(), bytes, reinterpret_cast<RGNDATA*>(data.data()));
  EXPECT_EQ(reinterpret_cast<RGNDATA*>(data.data())->rdh.nCount, 2u);

  // An empty image gives an empty region and no crash.
  vek_SkinImg empty;
  EXPECT_FALSE(empty.MakeRegion(rgn));
  EXPECT_EQ(GetRgnBox(rgn.get(), &box), NULLREGION);
}

TEST_F(SkinDlgTest, SizesToTheSkinTakesItsShapeAndPaintsIt) {
  TestSkinDlg dlg(res);
  ASSERT_TRUE(dlg.Create(IDD_SKIN_TOP, nullptr));
  EXPECT_EQ(dlg.skinWidth, 300);
  EXPECT_EQ(dlg.skinHeight, 200);
  RECT wr = dlg.GetWindowRect();
  EXPECT_EQ(wr.right - wr.left, 300);
  EXPECT_EQ(wr.bottom - wr.top, 200);

  fw::UniqueRgn rgn(CreateRectRgn(0, 0, 0, 0));
  ASSERT_NE(GetWindowRgn(dlg.m_hWnd, rgn.get()), ERROR);
  EXPECT_FALSE(PtInRegion(rgn.get(), 0, 0));
  EXPECT_TRUE(PtInRegion(rgn.get(), 150, 150));

  dlg.ShowWindow(SW_SHOWNOACTIVATE);
  WindowPixels px(dlg.m_hWnd);
  EXPECT_EQ(px.at(150, 10), kBand);
  EXPECT_EQ(px.at(150, 150), kBody);
  dlg.DestroyWindow();
  // Everything loaded was given back.
  EXPECT_EQ(res.loaded, res.freed);
  EXPECT_GT(res.loaded, 0);
}

TEST_F(SkinDlgTest, DrawsTheTitleOnlyWhenThereIsOne) {
  TestSkinDlg dlg(res);
  ASSERT_TRUE(dlg.Create(IDD_SKIN_TOP, nullptr));
  dlg.ShowWindow(SW_SHOWNOACTIVATE);
  // Only the face and the title: no controls.
  for (HWND child = GetWindow(dlg.m_hWnd, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    ShowWindow(child, SW_HIDE);
  }
  WindowPixels blank(dlg.m_hWnd);
  EXPECT_EQ(blank.Count(RGB(255, 255, 255), 55, 13, 300, 25), 0);

  dlg.title = L"设置设置设置设置设置设置设置设置设置设置设置设置设置设置设置设置";
  WindowPixels titled(dlg.m_hWnd);
  EXPECT_GT(titled.Count(RGB(255, 255, 255), 55, 13, 300, 25), 20);
  EXPECT_EQ(titled.Count(RGB(255, 255, 255), 0, 0, 55, 200), 0);
  EXPECT_EQ(titled.Count(RGB(255, 255, 255), 0, 38, 300, 200), 0);
  dlg.DestroyWindow();
}

TEST_F(SkinDlgTest, CaptionBandStartsAMoveDownToY25) {
  TestSkinDlg dlg(res);
  ASSERT_TRUE(dlg.Create(IDD_SKIN_TOP, nullptr));
  dlg.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(120, 25));
  PumpMessages();
  ASSERT_EQ(dlg.recorded.size(), 1u);
  EXPECT_EQ(dlg.recorded[0].wParam, static_cast<WPARAM>(HTCAPTION));
  EXPECT_EQ(dlg.recorded[0].lParam, MAKELPARAM(120, 25));

  dlg.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(120, 26));
  PumpMessages();
  EXPECT_EQ(dlg.recorded.size(), 1u);

  dlg.dragEnabled = FALSE;
  dlg.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(120, 3));
  PumpMessages();
  EXPECT_EQ(dlg.recorded.size(), 1u);
  dlg.DestroyWindow();
}

TEST_F(SkinDlgTest, SubViewsNeverMove) {
  vek_SubView view(IDD_SKIN_PAGE, nullptr);
  EXPECT_FALSE(view.dragEnabled);
  TestSkinDlg host(res);
  ASSERT_TRUE(host.Create(IDD_SKIN_TOP, nullptr));
  ASSERT_TRUE(view.Create(IDD_SKIN_PAGE, &host));
  view.viewBackground.Attach(MakeBitmap(40, 30, [](int, int) { return RGB(9, 99, 199); }));
  view.destX = 5;
  view.destY = 6;
  host.ShowWindow(SW_SHOWNOACTIVATE);
  view.ShowWindow(SW_SHOWNOACTIVATE);
  WindowPixels px(view.m_hWnd);
  EXPECT_EQ(px.at(5, 6), RGB(9, 99, 199));
  EXPECT_EQ(px.at(44, 35), RGB(9, 99, 199));
  EXPECT_NE(px.at(45, 36), RGB(9, 99, 199));
  view.DestroyWindow();
  host.DestroyWindow();
}

TEST_F(SkinDlgTest, EnterAndEscCloseOnlyWhenAllowed) {
  TestSkinDlg dlg(res);
  ASSERT_TRUE(dlg.Create(IDD_SKIN_TOP, nullptr));
  dlg.ShowWindow(SW_SHOWNOACTIVATE);
  dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  EXPECT_TRUE(dlg.IsWindowVisible());
  dlg.ignoreCancel = FALSE;
  dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  EXPECT_FALSE(dlg.IsWindowVisible());
  dlg.DestroyWindow();
}

// Ends its own modal run by Enter once its loop runs.
class EnterDlg : public TestSkinDlg {
 public:
  using TestSkinDlg::TestSkinDlg;

 protected:
  BOOL OnInitDialog() override {
    TestSkinDlg::OnInitDialog();
    SetTimer(7, 10);
    return TRUE;
  }
  void OnTimer(UINT_PTR id) override {
    KillTimer(id);
    PostMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);  // ignored
    PostMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  }
};

TEST_F(SkinDlgTest, DoModalForRunsWithTheGivenOwner) {
  TestSkinDlg owner(res);
  ASSERT_TRUE(owner.Create(IDD_SKIN_TOP, nullptr));
  EnterDlg dlg(res);
  dlg.ignoreOk = FALSE;
  EXPECT_EQ(dlg.DoModalFor(owner.m_hWnd), IDOK);
  EXPECT_TRUE(IsWindowEnabled(owner.m_hWnd));
  EXPECT_EQ(dlg.m_hWnd, nullptr);

  TestSkinDlg missing(res, 4711);
  EXPECT_EQ(missing.DoModalFor(owner.m_hWnd), -1);
  EXPECT_TRUE(IsWindowEnabled(owner.m_hWnd));
  owner.DestroyWindow();
}

TEST_F(SkinDlgTest, LayoutTablePlacesSizesAndSkipsAsFlagged) {
  TestSkinDlg dlg(res);
  fw::CButton right, sizeOnly;
  ColourProbe probe;
  dlg.extraLayout = [&] {
    return CtrlSkinTable{
        {&right, 0, -27, -30, 0, 0, 0, 0, CTRLSKIN_POS},
        {&sizeOnly, 0, 3, 4, 77, 33, 0, 0, CTRLSKIN_SIZE},
        {&probe, kStripId, 5, 5, 50, 20, RGB(1, 2, 3), RGB(4, 5, 6),
         CTRLSKIN_IMAGE | CTRLSKIN_POS | CTRLSKIN_SIZE | CTRLSKIN_BACK | CTRLSKIN_FORE},
    };
  };
  // Bind the extra controls before the skin is loaded.
  ASSERT_TRUE(dlg.Create(IDD_SKIN_TOP, nullptr));
  ASSERT_TRUE(right.SubclassDlgItem(IDOK, &dlg));
  ASSERT_TRUE(sizeOnly.SubclassDlgItem(IDCANCEL, &dlg));
  ASSERT_TRUE(probe.SubclassDlgItem(IDC_SK_STATIC, &dlg));
  RECT before = sizeOnly.GetWindowRect();
  int loadedBefore = res.loaded;

  ApplyCtrlImages(dlg.LayoutTable(), &res);
  // Three buttons of the table took strips; the static did not.
  EXPECT_EQ(res.loaded - loadedBefore, 3);
  int freedBefore = res.freed;
  ReleaseCtrlImages(dlg.LayoutTable(), &res);
  EXPECT_EQ(res.freed - freedBefore, 3);
  EXPECT_EQ(dlg.button.image.GetSafeHandle(), nullptr);

  ApplyCtrlLayout(dlg.m_hWnd, dlg.LayoutTable());
  RECT client = dlg.GetClientRect();
  RECT rr = right.GetWindowRect();
  POINT topLeft{rr.left, rr.top};
  ScreenToClient(dlg.m_hWnd, &topLeft);
  EXPECT_EQ(topLeft.x, client.right - 27);
  EXPECT_EQ(topLeft.y, client.bottom - 30);
  RECT after = sizeOnly.GetWindowRect();
  EXPECT_TRUE(EqualRect(&before, &after));
  RECT pr = probe.GetWindowRect();
  EXPECT_EQ(pr.right - pr.left, 50);
  EXPECT_EQ(pr.bottom - pr.top, 20);

  ApplyCtrlBackColors(dlg.LayoutTable());
  EXPECT_EQ(probe.back, RGB(1, 2, 3));
  EXPECT_EQ(probe.fore, CLR_INVALID);
  ApplyCtrlForeColors(dlg.LayoutTable());
  EXPECT_EQ(probe.fore, RGB(4, 5, 6));
  dlg.DestroyWindow();
}

TEST_F(SkinDlgTest, ControlColourRequestsGetTheDialogsColours) {
  TestSkinDlg dlg(res);
  ASSERT_TRUE(dlg.Create(IDD_SKIN_TOP, nullptr));
  HWND label = dlg.GetDlgItem(IDC_SK_STATIC);
  HDC dc = GetDC(label);
  LRESULT brush = SendMessageW(dlg.m_hWnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                               reinterpret_cast<LPARAM>(label));
  EXPECT_EQ(brush, reinterpret_cast<LRESULT>(dlg.ctrlBrush.get()));
  EXPECT_EQ(GetTextColor(dc), RGB(182, 182, 182));
  EXPECT_EQ(GetBkMode(dc), TRANSPARENT);

  dlg.paintControls = FALSE;
  brush = SendMessageW(dlg.m_hWnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                       reinterpret_cast<LPARAM>(label));
  EXPECT_NE(brush, reinterpret_cast<LRESULT>(dlg.ctrlBrush.get()));
  ReleaseDC(label, dc);
  dlg.DestroyWindow();
}

TEST_F(SkinDlgTest, TooltipsComeFromTheResourceManager) {
  HWND tip = CreateSharedTooltip();
  ASSERT_NE(tip, nullptr);
  EXPECT_EQ(SharedTooltip(), tip);
  res.AddText(0x60000003, L"关闭");
  res.AddText(0x60000008, L"开始转换");
  TestSkinDlg dlg(res);
  ASSERT_TRUE(dlg.Create(IDD_SKIN_TOP, nullptr));
  AddCtrlTips(dlg.m_hWnd, &res,
              CtrlTipTable{{0x60000003, IDC_SK_SYS, CTRLTIP_USED},
                           {0x60000008, IDC_SK_BTN, CTRLTIP_USED},
                           {0x60000008, IDC_SK_EDIT, CTRLTIP_END}});
  EXPECT_EQ(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 2);

  wchar_t text[80] = {};
  TOOLINFOW info{};
  info.cbSize = sizeof(info);
  info.hwnd = dlg.m_hWnd;
  info.uId = reinterpret_cast<UINT_PTR>(dlg.GetDlgItem(IDC_SK_BTN));
  info.lpszText = text;
  SendMessageW(tip, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&info));
  EXPECT_STREQ(text, L"开始转换");
  dlg.DestroyWindow();
  DestroyWindow(tip);
  SetSharedTooltip(nullptr);
}

TEST_F(SkinDlgTest, ShowOverParentCentresAndDisables) {
  fw::CWinApp app;
  fw::CStatic mainWnd;
  ASSERT_TRUE(mainWnd.Create(L"", WS_POPUP, RECT{0, 0, 50, 50}, HWND{}));
  app.m_pMainWnd = &mainWnd;
  fw::CStatic parent;
  ASSERT_TRUE(
      parent.Create(L"", WS_POPUP | WS_VISIBLE, RECT{100, 40, 100 + 801, 40 + 400}, HWND{}));
  TestSkinDlg dlg(res, IDD_SKIN_TOP, &parent);
  ASSERT_TRUE(dlg.Create(IDD_SKIN_TOP, &parent));
  ASSERT_EQ(dlg.skinWidth, 300);

  dlg.ShowOverParent(TRUE);
  RECT r = dlg.GetWindowRect();
  EXPECT_EQ(r.left, 350);
  EXPECT_EQ(r.top, 40 + (400 - 200) / 2);
  EXPECT_TRUE(dlg.IsWindowVisible());
  EXPECT_FALSE(IsWindowEnabled(parent.m_hWnd));
  EXPECT_FALSE(IsWindowEnabled(mainWnd.m_hWnd));

  dlg.ShowOverParent(FALSE);
  EXPECT_FALSE(dlg.IsWindowVisible());
  EXPECT_TRUE(IsWindowEnabled(parent.m_hWnd));
  EXPECT_TRUE(IsWindowEnabled(mainWnd.m_hWnd));
  RECT still = dlg.GetWindowRect();
  EXPECT_EQ(still.left, 350);
  dlg.DestroyWindow();
}

TEST_F(SkinDlgTest, ShowOverParentKeepsTheDialogOnTheWorkArea) {
  RECT work{};
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
  fw::CStatic parent;
  // Mostly off the top-left of the screen: centred, the dialog would be too.
  ASSERT_TRUE(parent.Create(L"", WS_POPUP | WS_VISIBLE,
                            RECT{work.left - 600, work.top - 300, work.left + 201, work.top + 100},
                            HWND{}));
  TestSkinDlg dlg(res, IDD_SKIN_TOP, &parent);
  ASSERT_TRUE(dlg.Create(IDD_SKIN_TOP, &parent));
  dlg.ShowOverParent(TRUE);
  RECT r = dlg.GetWindowRect();
  EXPECT_EQ(r.left, work.left);
  EXPECT_EQ(r.top, work.top);
  dlg.ShowOverParent(FALSE);
  dlg.DestroyWindow();
}

TEST_F(SkinDlgTest, WithoutABackgroundTheTemplateStays) {
  TestSkinDlg dlg(res);
  dlg.backgroundId = 0x10000099;  // not in the pack
  ASSERT_TRUE(dlg.Create(IDD_SKIN_TOP, nullptr));
  EXPECT_EQ(dlg.skinWidth, 0);
  fw::UniqueRgn rgn(CreateRectRgn(0, 0, 0, 0));
  EXPECT_EQ(GetWindowRgn(dlg.m_hWnd, rgn.get()), ERROR);
  dlg.DestroyWindow();
}

}  // namespace
