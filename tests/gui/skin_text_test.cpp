// The text-bearing skinned controls: edit border rules, static text,
// group box and the combo box face, read back pixel by pixel.
#include <windows.h>

#include <gtest/gtest.h>

#include "skin/SkinComboBox.h"
#include "skin/SkinEdit.h"
#include "skin/SkinStatic.h"
#include "tests/gui/skin_testdlg.h"
#include "tests/support/WindowPixels.h"

namespace {

using namespace skin_test;
using testing_support::FakeResMgr;
using testing_support::PumpMessages;
using testing_support::WindowPixels;

class SkinTextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    AddTestArt(res);
    ASSERT_TRUE(dlg.Create(IDD_SKIN_TOP, nullptr));
    ASSERT_TRUE(edit.SubclassDlgItem(IDC_SK_EDIT, &dlg));
    ASSERT_TRUE(multi.SubclassDlgItem(IDC_SK_EDIT2, &dlg));
    ASSERT_TRUE(label.SubclassDlgItem(IDC_SK_STATIC, &dlg));
    ASSERT_TRUE(plainLabel.SubclassDlgItem(IDC_SK_STATIC_NP, &dlg));
    ASSERT_TRUE(group.SubclassDlgItem(IDC_SK_GROUP, &dlg));
    ASSERT_TRUE(combo.SubclassDlgItem(IDC_SK_COMBO, &dlg));
    edit.SetWindowPos(nullptr, 20, 60, 120, 22, SWP_NOZORDER);
    multi.SetWindowPos(nullptr, 20, 150, 120, 40, SWP_NOZORDER);
    label.SetWindowPos(nullptr, 160, 60, 120, 16, SWP_NOZORDER);
    plainLabel.SetWindowPos(nullptr, 160, 80, 120, 16, SWP_NOZORDER);
    group.SetWindowPos(nullptr, 20, 95, 120, 50, SWP_NOZORDER);
    combo.SetWindowPos(nullptr, 160, 104, 120, 22, SWP_NOZORDER);
    // Only the controls under test show: the template's others overlap.
    for (HWND child = GetWindow(dlg.m_hWnd, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
      if (fw::CWnd::FromHandle(child) == nullptr) ShowWindow(child, SW_HIDE);
    }
    dlg.ShowWindow(SW_SHOWNOACTIVATE);
    PumpMessages();
  }
  void TearDown() override { dlg.DestroyWindow(); }

  FakeResMgr res;
  TestSkinDlg dlg{res};
  vek_SkinEdit edit, multi;
  vek_SkinStatic label, plainLabel;
  vek_SkinGroupBox group;
  vek_SkinComboBox combo;
};

TEST_F(SkinTextTest, EditDrawsItsOwnOneColourBorder) {
  edit.borderColor = RGB(200, 0, 100);
  edit.SetWindowText(L"文本");
  WindowPixels px(edit.m_hWnd, WindowPixels::kWindow);
  EXPECT_EQ(px.at(0, 0), RGB(200, 0, 100));
  EXPECT_EQ(px.at(px.width() - 1, px.height() - 1), RGB(200, 0, 100));
  EXPECT_EQ(px.at(px.width() / 2, 0), RGB(200, 0, 100));
  EXPECT_EQ(px.at(0, px.height() / 2), RGB(200, 0, 100));
  EXPECT_EQ(px.at(px.width() - 5, px.height() / 2), edit.backColor);

  // The colour request is the edit's own.
  HDC dc = GetDC(edit.m_hWnd);
  LRESULT brush = SendMessageW(dlg.m_hWnd, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                               reinterpret_cast<LPARAM>(edit.m_hWnd));
  EXPECT_EQ(brush, reinterpret_cast<LRESULT>(edit.backBrush.get()));
  EXPECT_EQ(GetTextColor(dc), edit.textColor);
  ReleaseDC(edit.m_hWnd, dc);

  edit.SetBackColor(RGB(238, 247, 246));
  WindowPixels recoloured(edit.m_hWnd, WindowPixels::kWindow);
  EXPECT_EQ(recoloured.at(recoloured.width() - 5, recoloured.height() / 2), RGB(238, 247, 246));
}

TEST_F(SkinTextTest, EditWithoutBorderShowsNoFrameAtAll) {
  edit.drawBorder = FALSE;
  // The frame area keeps what lies beneath: the dialog's face.
  WindowPixels whole(dlg.m_hWnd);
  RECT er = edit.GetWindowRect();
  MapWindowPoints(nullptr, dlg.m_hWnd, reinterpret_cast<POINT*>(&er), 2);
  EXPECT_EQ(whole.at(er.left, (er.top + er.bottom) / 2), kBody);
  EXPECT_EQ(whole.at((er.left + er.right) / 2, er.top), kBody);
  EXPECT_EQ(whole.at(er.right - 1, er.bottom - 1), kBody);
}

TEST_F(SkinTextTest, OverflowingEditShowsTheSystemBarAndTheBorder) {
  multi.borderColor = RGB(200, 0, 100);
  std::wstring lines;
  for (int i = 0; i < 20; ++i) lines += L"第" + std::to_wstring(i) + L"行\r\n";
  multi.SetWindowText(lines);
  SCROLLINFO si{sizeof(si), SIF_PAGE};
  ASSERT_TRUE(GetScrollInfo(multi.m_hWnd, SB_VERT, &si));
  ASSERT_GT(si.nPage, 1u);
  WindowPixels px(multi.m_hWnd, WindowPixels::kWindow);
  EXPECT_EQ(px.at(0, 0), RGB(200, 0, 100));
  EXPECT_EQ(px.at(px.width() - 1, px.height() / 2), RGB(200, 0, 100));
  // The scroll bar sits inside the border.
  int bar = px.width() - 1 - GetSystemMetrics(SM_CXVSCROLL) / 2;
  EXPECT_NE(px.at(bar, px.height() / 2), multi.backColor);
  EXPECT_NE(px.at(bar, px.height() / 2), kBody);
}

TEST_F(SkinTextTest, StaticPaintsLeftAlignedInItsColours) {
  EXPECT_EQ(label.drawFormat, static_cast<UINT>(DT_WORDBREAK));
  EXPECT_EQ(plainLabel.drawFormat, static_cast<UINT>(DT_WORDBREAK | DT_NOPREFIX));
  label.SetWindowText(L"说明");
  WindowPixels px(label.m_hWnd);
  EXPECT_EQ(px.at(px.width() - 1, px.height() - 1), label.backColor);
  // SS_CENTER is not honoured: the text starts at the left.
  int leftmost = px.width();
  for (int x = 0; x < px.width() && leftmost == px.width(); ++x) {
    for (int y = 0; y < px.height(); ++y) {
      if (px.at(x, y) != label.backColor) {
        leftmost = x;
        break;
      }
    }
  }
  EXPECT_LT(leftmost, 4);

  label.SetForeColor(RGB(255, 0, 0));
  label.SetBackColor(RGB(0, 0, 255));
  WindowPixels red(label.m_hWnd);
  EXPECT_EQ(red.at(red.width() - 1, 0), RGB(0, 0, 255));
  EXPECT_GT(red.Count(RGB(255, 0, 0), 0, 0, 40, red.height()), 0);
}

TEST_F(SkinTextTest, StaticPrefixFollowsTheTemplate) {
  // "&A": underlined A without SS_NOPREFIX, the ampersand shown with it.
  label.SetWindowText(L"&&&A");
  plainLabel.SetWindowText(L"&&&A");
  label.SetBackColor(RGB(255, 255, 255));
  plainLabel.SetBackColor(RGB(255, 255, 255));
  label.SetForeColor(RGB(0, 0, 0));
  plainLabel.SetForeColor(RGB(0, 0, 0));
  WindowPixels prefixed(label.m_hWnd);
  WindowPixels literal(plainLabel.m_hWnd);
  auto inkWidth = [](const WindowPixels& px) {
    int right = 0;
    for (int x = 0; x < px.width(); ++x) {
      if (px.Count(RGB(0, 0, 0), x, 0, x + 1, px.height()) > 0) right = x;
    }
    return right;
  };
  // "&&&A" shows "&A" with a prefix and "&&&A" without: the latter is wider.
  EXPECT_GT(inkWidth(literal), inkWidth(prefixed));
}

TEST_F(SkinTextTest, GroupBoxDrawsThinLinesAndItsCaption) {
  group.SetWindowText(L"输出文件夹");
  WindowPixels px(group.m_hWnd);
  const int R = px.width(), B = px.height();
  EXPECT_EQ(px.at(R - 5, 7), group.lineColor);
  EXPECT_EQ(px.at(0, 30), group.lineColor);
  EXPECT_EQ(px.at(R - 2, 30), group.lineColor);
  EXPECT_EQ(px.at(R / 2, B - 1), group.lineColor);
  EXPECT_NE(px.at(12, 7), group.lineColor);  // the caption covers the line
  EXPECT_GT(px.Count(group.textBackColor, 10, 0, R, 15), 0);

  group.SetWindowText(L"一个比它的框长得多得多得多得多得多得多的标题");
  WindowPixels longer(group.m_hWnd);
  EXPECT_EQ(longer.at(R - 2, 30), group.lineColor);
}

TEST_F(SkinTextTest, ComboBecomesAnOwnerDrawnDropList) {
  LONG_PTR style = combo.GetStyle();
  EXPECT_EQ(style & 0x3, CBS_DROPDOWNLIST);
  EXPECT_TRUE(style & CBS_OWNERDRAWFIXED);
  EXPECT_TRUE(style & CBS_HASSTRINGS);
}

TEST_F(SkinTextTest, ComboFaceHasFrameArrowAndSelectedText) {
  combo.AddString(L"ANSI");
  combo.AddString(L"UTF-8");
  WindowPixels empty(combo.m_hWnd, WindowPixels::kWindow);
  RECT rc = combo.GetClientRect();
  const int R = rc.right, B = rc.bottom;
  EXPECT_EQ(empty.at(0, 0), combo.borderColor);
  EXPECT_EQ(empty.at(R - 1, B / 2), combo.borderColor);
  EXPECT_EQ(empty.at(R - 18, B / 2), combo.arrowBoxColor);
  EXPECT_EQ(empty.at(R - 13, 12), combo.arrowColor);  // first stroke
  EXPECT_EQ(empty.at(5, B / 2), combo.backColor);
  EXPECT_EQ(empty.Count(combo.textColor, 3, 1, R - 20, B - 1), 0);

  combo.SetCurSel(1);
  WindowPixels chosen(combo.m_hWnd, WindowPixels::kWindow);
  EXPECT_GT(chosen.Count(combo.textColor, 3, 1, R - 20, B - 1), 0);
}

TEST_F(SkinTextTest, DropListIsSkinned) {
  combo.AddString(L"ANSI");
  combo.AddString(L"Unicode");
  combo.SetCurSel(0);
  combo.SendMessage(CB_SHOWDROPDOWN, TRUE);
  PumpMessages(100);
  ASSERT_NE(combo.dropList.m_hWnd, nullptr);
  WindowPixels px(combo.dropList.m_hWnd, WindowPixels::kWindow);
  EXPECT_EQ(px.at(0, 0), combo.dropList.borderColor);
  EXPECT_GT(px.Count(combo.dropList.backColor, 0, 0, px.width(), px.height()) +
                px.Count(combo.dropList.selBackColor, 0, 0, px.width(), px.height()),
            px.width() * 4);
  combo.SendMessage(CB_SHOWDROPDOWN, FALSE);
  PumpMessages();
}

}  // namespace
