// The skinned buttons, read back pixel by pixel: strip frames per state,
// hover notifications, caption buttons, check boxes and radio buttons.
#include <gtest/gtest.h>

#include <algorithm>

#include "skin/SkinBtn.h"
#include "tests/gui/skin_testdlg.h"
#include "tests/support/WindowPixels.h"

namespace {

using namespace skin_test;
using testing_support::FakeResMgr;
using testing_support::PumpMessages;
using testing_support::WindowPixels;

class SkinBtnTest : public ::testing::Test {
 protected:
  void SetUp() override {
    AddTestArt(res);
    ASSERT_TRUE(dlg.Create(IDD_SKIN_TOP, nullptr));
    dlg.ShowWindow(SW_SHOWNOACTIVATE);
    PumpMessages();
  }
  void TearDown() override { dlg.DestroyWindow(); }

  // The colour a button shows all over, or CLR_INVALID when mixed.
  static COLORREF Shown(HWND button) {
    WindowPixels px(button);
    COLORREF first = px.at(0, 0);
    int n = px.Count(first, 0, 0, px.width(), px.height());
    return n == px.width() * px.height() ? first : CLR_INVALID;
  }

  FakeResMgr res;
  TestSkinDlg dlg{res};
};

TEST_F(SkinBtnTest, StripsAreCutIntoFiveFramesAndSizeTheButton) {
  RECT r = dlg.button.GetWindowRect();
  EXPECT_EQ(r.right - r.left, 40);
  EXPECT_EQ(r.bottom - r.top, 20);
  RECT r2 = dlg.button2.GetWindowRect();  // 203 wide: still 40 per frame
  EXPECT_EQ(r2.right - r2.left, 40);
  EXPECT_EQ(dlg.button.GetStyle() & 0xF, static_cast<LONG_PTR>(BS_OWNERDRAW));
  EXPECT_FALSE(dlg.button.stretchImage);
}

TEST_F(SkinBtnTest, EachStateShowsItsFrame) {
  for (vek_SkinBtn* b : {&dlg.button, &dlg.button2}) {
    EXPECT_EQ(Shown(b->m_hWnd), kFrame[0]);
    b->SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(Shown(b->m_hWnd), kFrame[1]);
    b->SendMessage(BM_SETSTATE, TRUE);  // pressed under the mouse
    EXPECT_EQ(Shown(b->m_hWnd), kFrame[2]);
    b->EnableWindow(false);  // disabled while pressed
    EXPECT_EQ(Shown(b->m_hWnd), kFrame[3]);
    b->SendMessage(BM_SETSTATE, FALSE);
    EXPECT_EQ(Shown(b->m_hWnd), kFrame[3]);
    b->EnableWindow(true);
    b->SendMessage(WM_MOUSELEAVE);
    EXPECT_EQ(Shown(b->m_hWnd), kFrame[0]);
  }
}

TEST_F(SkinBtnTest, StretchedFramesFillTheButton) {
  dlg.button.stretchImage = TRUE;
  dlg.button.SetWindowPos(nullptr, 0, 0, 90, 33, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_EQ(Shown(dlg.button.m_hWnd), kFrame[0]);
  WindowPixels px(dlg.button.m_hWnd);
  EXPECT_EQ(px.width(), 90);
}

TEST_F(SkinBtnTest, WithoutAStripNothingIsDrawn) {
  dlg.button.image.DeleteObject();
  // Paint a marker under the button: it must survive the button's paint.
  HDC dc = GetDC(dlg.button.m_hWnd);
  RECT rc = dlg.button.GetClientRect();
  HBRUSH marker = CreateSolidBrush(RGB(1, 2, 3));
  FillRect(dc, &rc, marker);
  DeleteObject(marker);
  ReleaseDC(dlg.button.m_hWnd, dc);
  RedrawWindow(dlg.button.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  WindowPixels px(GetDC(dlg.button.m_hWnd), rc.right, rc.bottom);
  EXPECT_EQ(px.at(5, 5), RGB(1, 2, 3));
}

TEST_F(SkinBtnTest, OneHoverNotificationPerEnterAndLeave) {
  for (int i = 0; i < 3; ++i) dlg.button.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(5 + i, 5));
  ASSERT_EQ(dlg.hovers.size(), 1u);
  EXPECT_EQ(dlg.hovers[0].entered, 1);
  EXPECT_EQ(dlg.hovers[0].hdr.code, SKINBTN_HOVER);
  EXPECT_EQ(dlg.hovers[0].hdr.hwndFrom, dlg.button.m_hWnd);
  EXPECT_EQ(dlg.hovers[0].hdr.idFrom, static_cast<UINT_PTR>(IDC_SK_BTN));
  dlg.button.SendMessage(WM_MOUSELEAVE);
  ASSERT_EQ(dlg.hovers.size(), 2u);
  EXPECT_EQ(dlg.hovers[1].entered, 0);
  EXPECT_FALSE(dlg.button.hovering);
  dlg.button.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(dlg.hovers.size(), 3u);
}

TEST_F(SkinBtnTest, CaptionButtonFiresOnlyOnAReleaseInside) {
  RECT rc = dlg.sysButton.GetClientRect();
  auto sysCommands = [&] {
    return std::count(dlg.commands.begin(), dlg.commands.end(),
                      static_cast<WPARAM>(MAKEWPARAM(IDC_SK_SYS, 0)));
  };
  HWND edit = dlg.GetDlgItem(IDC_SK_EDIT);
  SetFocus(edit);
  dlg.sysButton.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
  dlg.sysButton.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(rc.right + 4, 3));
  PumpMessages();
  EXPECT_EQ(sysCommands(), 0);

  dlg.sysButton.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
  dlg.sysButton.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(rc.right, rc.bottom));  // on the edge
  PumpMessages();
  EXPECT_EQ(sysCommands(), 1);
  // The focus went back to where it was.
  EXPECT_EQ(dlg.sysButton.focusOwner, edit);
  EXPECT_EQ(GetFocus(), edit);

  // Well inside, with no focus to give back: still one report per click.
  SetFocus(nullptr);
  dlg.sysButton.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
  dlg.sysButton.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
  PumpMessages();
  EXPECT_EQ(sysCommands(), 2);
}

class CheckRadioTest : public SkinBtnTest {
 protected:
  void SetUp() override {
    SkinBtnTest::SetUp();
    ASSERT_TRUE(check.SubclassDlgItem(IDC_SK_CHECK, &dlg));
    ASSERT_TRUE(radio.SubclassDlgItem(IDC_SK_RADIO, &dlg));
    check.SetWindowPos(nullptr, 10, 80, 150, 16, SWP_NOZORDER);
    radio.SetWindowPos(nullptr, 10, 100, 150, 16, SWP_NOZORDER);
  }
  vek_SkinCheckBox check;
  vek_SkinRadioBtn radio;
};

TEST_F(CheckRadioTest, CheckBoxPaintsBoxFrameAndTick) {
  WindowPixels off(check.m_hWnd);
  EXPECT_EQ(off.at(0, 0), check.backColor);
  EXPECT_EQ(off.at(149, 15), check.backColor);
  EXPECT_EQ(off.at(1, 8), check.boxBorderColor);   // outline, left edge
  EXPECT_EQ(off.at(12, 8), check.boxBorderColor);  // outline, right edge
  EXPECT_EQ(off.at(7, 4), check.boxFrameColor);    // inner frame, top
  EXPECT_EQ(off.at(9, 10), check.boxFillColor);
  EXPECT_EQ(off.Count(check.checkColor, 0, 0, 16, 16), 0);
  EXPECT_GT(off.Count(check.textColor, 16, 0, 150, 16), 0);

  check.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(4, 4));
  check.SetCheck(BST_CHECKED);
  WindowPixels on(check.m_hWnd);
  EXPECT_EQ(on.at(7, 4), check.boxFrameHotColor);
  EXPECT_EQ(on.at(4, 8), check.checkColor);  // first stroke
  EXPECT_EQ(on.at(8, 7), check.checkColor);  // second stroke
  EXPECT_EQ(on.at(9, 10), check.boxFillColor);

  SetWindowLongPtrW(check.m_hWnd, GWL_STYLE, (check.GetStyle() & ~0xFL) | BS_AUTO3STATE);
  check.SetCheck(BST_INDETERMINATE);
  ASSERT_EQ(check.GetCheck(), BST_INDETERMINATE);
  WindowPixels mixed(check.m_hWnd);
  EXPECT_EQ(mixed.Count(check.checkColor, 0, 0, 16, 16), 0);

  check.SendMessage(WM_MOUSELEAVE);
  WindowPixels left(check.m_hWnd);
  EXPECT_EQ(left.at(7, 4), check.boxFrameColor);
}

TEST_F(CheckRadioTest, CheckBoxCutsALongCaptionWithAnEllipsis) {
  check.SetWindowText(L"一段很长很长很长很长很长很长很长很长很长很长很长的说明文字");
  check.SetWindowPos(nullptr, 0, 0, 80, 16, SWP_NOMOVE | SWP_NOZORDER);
  WindowPixels px(check.m_hWnd);
  // Text reaches close to the right edge but is not clipped mid-glyph at
  // the border: the last columns stay background.
  EXPECT_GT(px.Count(check.backColor, 16, 0, 80, 16), 0);
  EXPECT_EQ(px.Count(check.backColor, 79, 0, 80, 16), 16);
}

TEST_F(CheckRadioTest, RadioButtonSetsItsPixelSets) {
  using R = vek_SkinRadioBtn;
  EXPECT_EQ(R::Pixels(R::OUTER_RING).size(), 36u);
  EXPECT_EQ(R::Pixels(R::EDGE_RING).size(), 40u);
  EXPECT_EQ(R::Pixels(R::INNER_RING).size(), 48u);
  EXPECT_EQ(R::Pixels(R::CENTRE_DOT).size(), 21u);

  WindowPixels off(radio.m_hWnd);
  // Cell origin is (1, 1).
  EXPECT_EQ(off.Count(radio.outerRingColor, 1, 1, 14, 14), 36);
  EXPECT_EQ(off.Count(radio.edgeRingColor, 1, 1, 14, 14), 40);
  EXPECT_EQ(off.Count(radio.innerColor, 1, 1, 14, 14), 48 + 21);  // dot off is white too
  for (POINT p : {POINT{5, 0}, POINT{7, 0}, POINT{2, 1}, POINT{0, 5}, POINT{12, 7}, POINT{6, 12}}) {
    EXPECT_EQ(off.at(1 + p.x, 1 + p.y), radio.outerRingColor) << p.x << "," << p.y;
  }
  for (POINT p : {POINT{3, 0}, POINT{6, 1}, POINT{0, 3}, POINT{12, 9}, POINT{1, 6}}) {
    EXPECT_EQ(off.at(1 + p.x, 1 + p.y), radio.edgeRingColor) << p.x << "," << p.y;
  }
  EXPECT_EQ(off.at(1 + 0, 1 + 0), radio.backColor);
  EXPECT_EQ(off.at(1 + 6, 1 + 6), radio.dotOffColor);

  radio.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(4, 4));
  radio.SetCheck(BST_CHECKED);
  WindowPixels on(radio.m_hWnd);
  EXPECT_EQ(on.Count(radio.innerHotColor, 1, 1, 14, 14), 48);
  EXPECT_EQ(on.Count(radio.dotOnColor, 1, 1, 14, 14), 21);
  for (POINT p : {POINT{4, 2}, POINT{2, 5}, POINT{10, 7}, POINT{8, 10}}) {
    EXPECT_EQ(on.at(1 + p.x, 1 + p.y), radio.innerHotColor) << p.x << "," << p.y;
  }
  for (POINT p : {POINT{6, 4}, POINT{4, 6}, POINT{8, 7}, POINT{5, 8}}) {
    EXPECT_EQ(on.at(1 + p.x, 1 + p.y), radio.dotOnColor) << p.x << "," << p.y;
  }
}

TEST_F(CheckRadioTest, ColoursComeFromTheTableInterface) {
  vek_ISkinColor* c = &check;
  c->SetBackColor(RGB(10, 20, 30));
  c->SetForeColor(RGB(40, 50, 60));
  EXPECT_EQ(check.backColor, RGB(10, 20, 30));
  EXPECT_EQ(check.textColor, RGB(40, 50, 60));
  WindowPixels px(check.m_hWnd);
  EXPECT_EQ(px.at(149, 0), RGB(10, 20, 30));
}

}  // namespace
