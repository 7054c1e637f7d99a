// The skinned list: extents and ranges, its two scroll bars (shown,
// hidden, narrowing the list), click selection, the wheel, painting; and
// the progress bar.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "fw/GdiObjects.h"
#include "skin/SkinDlg.h"
#include "skin/SkinList.h"
#include "skin/SkinProgress.h"
#include "tests/gui/skin_dialogs.h"
#include "tests/support/WindowPixels.h"

namespace {

using testing_support::PumpMessages;
using testing_support::WindowPixels;

class ListDlg : public vek_SkinDlg {
 public:
  ListDlg() : vek_SkinDlg(IDD_SKIN_LIST, nullptr) {}
  vek_SkinList list;

 protected:
  void DoDataExchange(fw::CDataExchange* dx) override { fw::DDX_Control(dx, IDC_SK_LIST, list); }
};

class SkinListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dlg.Create(IDD_SKIN_LIST, nullptr));
    dlg.SetWindowPos(nullptr, 0, 0, 400, 300, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    list.SetWindowPos(nullptr, 10, 10, 217, 167, SWP_NOZORDER | SWP_NOACTIVATE);
    dlg.ShowWindow(SW_SHOWNOACTIVATE);
    before = Rect();
    list.InitSkinList(nullptr);
  }
  void TearDown() override { dlg.DestroyWindow(); }

  RECT Rect() const {
    RECT rc = list.GetWindowRect();
    MapWindowPoints(nullptr, dlg.m_hWnd, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
  }
  int ClientWidth() const { return list.GetClientRect().right; }
  void AddRows(int n) {
    for (int i = 0; i < n; ++i) {
      int row =
          list.InsertItem(list.GetItemCount(), (L"文件" + std::to_wstring(i) + L".txt").c_str());
      list.SetItemText(row, 1, L"12 KB");
    }
  }
  // Adds rows until the vertical range is about to become positive.
  int FillToTheBrim() {
    AddRows(1);
    while (list.QueryRange(1) == 0) AddRows(1);
    list.DeleteItem(list.GetItemCount() - 1);
    PumpMessages();
    return list.GetItemCount();
  }

  ListDlg dlg;
  vek_SkinList& list = dlg.list;
  RECT before{};
};

TEST_F(SkinListTest, InitMakesRoomForTheBarsAndPlacesThem) {
  RECT now = Rect();
  EXPECT_EQ(now.right - now.left, (before.right - before.left) - 17);
  EXPECT_EQ(now.bottom - now.top, (before.bottom - before.top) - 17);
  EXPECT_EQ(list.GetExtendedStyle(),
            static_cast<DWORD>(LVS_EX_FULLROWSELECT | LVS_EX_HEADERDRAGDROP));
  ASSERT_NE(list.vBar.m_hWnd, nullptr);
  ASSERT_NE(list.hBar.m_hWnd, nullptr);
  EXPECT_EQ(::GetParent(list.vBar.m_hWnd), dlg.m_hWnd);
  EXPECT_EQ(list.vBar.target, &list);

  RECT v = list.vBar.GetWindowRect(), h = list.hBar.GetWindowRect();
  RECT l = list.GetWindowRect();
  EXPECT_EQ(v.left, l.right);
  EXPECT_EQ(v.top, l.top);
  EXPECT_EQ(v.bottom - v.top, (l.bottom - l.top) + 17);
  EXPECT_EQ(h.top, l.bottom);
  EXPECT_EQ(h.right - h.left, (l.right - l.left) + 1);
  // Nothing to scroll yet.
  EXPECT_FALSE(list.vBar.IsWindowVisible());
  EXPECT_FALSE(list.hBar.IsWindowVisible());
}

TEST_F(SkinListTest, ColumnsThreePixelsTooWideGiveOneStep) {
  int visible = ClientWidth() - 12;
  list.InsertColumn(0, L"文件名", LVCFMT_LEFT, visible - 50);
  list.InsertColumn(1, L"文件大小", LVCFMT_LEFT, 50);
  EXPECT_EQ(list.QueryRange(0), 0);
  EXPECT_FALSE(list.hBar.IsWindowVisible());
  ListView_SetColumnWidth(list.m_hWnd, 1, 53);
  PumpMessages();
  EXPECT_EQ(list.QueryRange(0), 1);
  EXPECT_EQ(list.QueryPage(0), visible / 5);
  EXPECT_DOUBLE_EQ(list.QueryRatio(0), static_cast<double>(visible) / (visible + 3));
  EXPECT_TRUE(list.hBar.IsWindowVisible());  // the header change updated the bar
  ListView_SetColumnWidth(list.m_hWnd, 1, 40);
  PumpMessages();
  EXPECT_FALSE(list.hBar.IsWindowVisible());
}

TEST_F(SkinListTest, UnknownExtentsGiveZero) {
  EXPECT_EQ(list.QueryRange(0), 0);
  EXPECT_EQ(list.QueryRange(1), 0);
  EXPECT_EQ(list.QueryPage(1), 0);
  EXPECT_DOUBLE_EQ(list.QueryRatio(0), 0.0);
  EXPECT_DOUBLE_EQ(list.QueryRatio(1), 0.0);
  EXPECT_EQ(list.QueryRange(7), 0);
}

TEST_F(SkinListTest, OverflowingRowShowsTheBarAndNarrowsTheList) {
  list.InsertColumn(0, L"文件名", LVCFMT_LEFT, 100);
  list.InsertColumn(1, L"文件大小", LVCFMT_LEFT, 60);
  int brim = FillToTheBrim();
  EXPECT_FALSE(list.vBar.IsWindowVisible());
  int width = Rect().right - Rect().left;

  AddRows(1);
  EXPECT_EQ(list.QueryRange(1), 1);
  EXPECT_TRUE(list.vBar.IsWindowVisible());
  EXPECT_TRUE(list.vBarShown);
  EXPECT_EQ(Rect().right - Rect().left, width - 16);
  RECT v = list.vBar.GetWindowRect(), l = list.GetWindowRect();
  EXPECT_EQ(v.left, l.right);  // the bar followed

  list.DeleteItem(brim);
  PumpMessages();
  EXPECT_FALSE(list.vBar.IsWindowVisible());
  EXPECT_FALSE(list.vBarShown);
  EXPECT_EQ(Rect().right - Rect().left, width);
}

TEST_F(SkinListTest, WheelAndBarScrollTheRows) {
  list.InsertColumn(0, L"文件名", LVCFMT_LEFT, 100);
  AddRows(30);
  ASSERT_GT(list.QueryRange(1), 2);
  list.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, -120), 0);
  EXPECT_EQ(list.vBar.pos, 1);
  EXPECT_EQ(list.GetTopIndex(), 1);
  list.vBar.ScrollBy(2);
  EXPECT_EQ(list.GetTopIndex(), 3);
  list.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, 120), 0);
  EXPECT_EQ(list.GetTopIndex(), 2);
  EXPECT_EQ(list.QueryPos(1), 2);
}

TEST_F(SkinListTest, ClicksSelectOneRowAndNothingElse) {
  list.InsertColumn(0, L"文件名", LVCFMT_LEFT, 100);
  AddRows(3);
  RECT r1{};
  list.GetItemRect(1, &r1, LVIR_BOUNDS);
  list.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(r1.left + 5, r1.top + 2));
  EXPECT_EQ(list.GetNextSelected(-1), 1);
  EXPECT_EQ(list.GetNextSelected(1), -1);
  EXPECT_TRUE(list.GetItemState(1, LVIS_FOCUSED) & LVIS_FOCUSED);

  // Again on the same row, and below the rows: nothing changes.
  list.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(r1.left + 5, r1.top + 2));
  list.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 140));
  EXPECT_EQ(list.GetNextSelected(-1), 1);
  EXPECT_EQ(list.GetNextSelected(1), -1);

  RECT r2{};
  list.GetItemRect(2, &r2, LVIR_BOUNDS);
  list.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(r2.left + 5, r2.top + 2));
  EXPECT_EQ(list.GetNextSelected(-1), 2);
  EXPECT_EQ(list.GetNextSelected(2), -1);
}

TEST_F(SkinListTest, PaintsHeaderRowsSelectionAndBorder) {
  list.InsertColumn(0, L"文件名", LVCFMT_LEFT, 100);
  list.InsertColumn(1, L"状态", LVCFMT_LEFT, 60);
  AddRows(3);
  list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
  // A small image list puts each row's picture before its name.
  fw::CImageList icons;
  ASSERT_TRUE(icons.Create(16, 16, ILC_COLOR32 | ILC_MASK, 1, 0));
  HBITMAP pic = testing_support::MakeBitmap(16, 16, [](int, int) { return RGB(200, 30, 90); });
  icons.Add(pic, RGB(255, 0, 255));
  DeleteObject(pic);
  list.SetImageList(icons, LVSIL_SMALL);
  for (int i = 0; i < 3; ++i) {
    LVITEMW item{};
    item.mask = LVIF_IMAGE;
    item.iItem = i;
    item.iImage = 0;
    ListView_SetItem(list.m_hWnd, &item);
  }
  WindowPixels px(list.m_hWnd);
  RECT hr = list.header->GetClientRect();
  EXPECT_EQ(px.at(150, hr.bottom / 2 - 6), list.header->backColor);
  RECT r1{}, r2{};
  list.GetItemRect(1, &r1, LVIR_BOUNDS);
  list.GetItemRect(2, &r2, LVIR_BOUNDS);
  EXPECT_EQ(px.at(ClientWidth() - 3, (r1.top + r1.bottom) / 2), list.selectionColor);
  EXPECT_EQ(px.at(ClientWidth() - 3, (r2.top + r2.bottom) / 2), list.backColor);
  EXPECT_GT(px.Count(list.textColor, 0, r2.top, ClientWidth(), r2.bottom), 0);
  RECT icon{};
  list.GetItemRect(2, &icon, LVIR_ICON);
  EXPECT_EQ(px.at(icon.left + 8, icon.top + 8), RGB(200, 30, 90));
  list.SetImageList(nullptr, LVSIL_SMALL);

  WindowPixels frame(list.m_hWnd, WindowPixels::kWindow);
  EXPECT_EQ(frame.at(20, 0), list.borderColor);
  EXPECT_EQ(frame.at(0, 20), list.borderColor);
}

TEST(SkinProgress, FillIsClampedToTheInnerWidth) {
  vek_SkinProgress bar;
  bar.maxPos = 10;
  bar.pos = 5;
  EXPECT_EQ(bar.BarWidth(98), 49);
  bar.pos = 25;
  EXPECT_EQ(bar.BarWidth(98), 98);
  bar.pos = -3;
  EXPECT_EQ(bar.BarWidth(98), 0);
  bar.maxPos = 1000;
  bar.pos = 500;
  EXPECT_EQ(bar.BarWidth(98), 49);  // not lost to integer division
  bar.maxPos = 0;
  EXPECT_EQ(bar.BarWidth(98), 0);

  fw::CStatic host;
  ASSERT_TRUE(host.Create(L"", WS_POPUP, RECT{0, 0, 200, 50}, HWND{}));
  ASSERT_TRUE(bar.CreateEx(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, RECT{0, 0, 100, 12},
                           host.m_hWnd, 0xFFFF));
  host.ShowWindow(SW_SHOWNOACTIVATE);
  bar.backBrush.reset(CreateSolidBrush(RGB(239, 239, 239)));
  bar.barBrush.reset(CreateSolidBrush(RGB(75, 145, 180)));
  bar.maxPos = 1;
  bar.pos = 3;
  WindowPixels full(bar.m_hWnd);
  EXPECT_EQ(full.at(0, 5), bar.borderColor);
  EXPECT_EQ(full.at(99, 5), bar.borderColor);
  EXPECT_EQ(full.Count(RGB(75, 145, 180), 0, 0, 100, 12), 98 * 10);
  bar.pos = 0;
  WindowPixels empty(bar.m_hWnd);
  EXPECT_EQ(empty.Count(RGB(75, 145, 180), 0, 0, 100, 12), 0);
  EXPECT_EQ(empty.at(50, 5), RGB(239, 239, 239));
  host.DestroyWindow();
}

}  // namespace
