#pragma once
// The skinned dialog the toolkit's tests drive: the pattern every dialog
// of the program follows (load, place and release its skin from a layout
// table), over a fake resource manager.
#include <functional>
#include <vector>

#include "skin/CtrlTables.h"
#include "skin/SkinBtn.h"
#include "skin/SkinDlg.h"
#include "tests/gui/skin_dialogs.h"
#include "tests/support/FakeResMgr.h"

namespace skin_test {

constexpr long kBackgroundId = 0x10000015;
constexpr long kStripId = 0x1000000D;
constexpr long kStrip203Id = 0x1000000E;
constexpr long kSysStripId = 0x10000005;
constexpr COLORREF kBody = RGB(241, 241, 241);
constexpr COLORREF kBand = RGB(20, 142, 195);
// Colours of the five frames of the test strips.
constexpr COLORREF kFrame[5] = {RGB(10, 10, 200), RGB(10, 200, 10), RGB(200, 10, 10),
                                RGB(128, 128, 128), RGB(250, 250, 0)};
constexpr COLORREF kBeyondFrames = RGB(0, 255, 255);

// The face: 300 by 200, a blue caption band, magenta corners (x + y < 3
// from each corner), a fully magenta row 100, and one almost-magenta pixel.
inline COLORREF BackgroundPixel(int x, int y) {
  const int w = 300, h = 200;
  auto corner = [](int dx, int dy) { return dx + dy < 3; };
  if (corner(x, y) || corner(w - 1 - x, y) || corner(x, h - 1 - y) ||
      corner(w - 1 - x, h - 1 - y) || y == 100) {
    return RGB(255, 0, 255);
  }
  if (x == 0 && y == 150) return RGB(255, 0, 254);
  return y < 25 ? kBand : kBody;
}

inline COLORREF StripPixel(int x, int y) { return x >= 200 ? kBeyondFrames : kFrame[x / 40]; }

inline void AddTestArt(testing_support::FakeResMgr& res) {
  res.AddBitmap(kBackgroundId, 300, 200, BackgroundPixel);
  res.AddBitmap(kStripId, 200, 20, StripPixel);
  res.AddBitmap(kStrip203Id, 203, 20, StripPixel);
  res.AddBitmap(kSysStripId, 175, 18, [](int x, int) { return kFrame[x / 35]; });
}

class TestSkinDlg : public vek_SkinDlg {
 public:
  TestSkinDlg(testing_support::FakeResMgr& res, UINT id = IDD_SKIN_TOP, fw::CWnd* parent = nullptr)
      : vek_SkinDlg(id, parent), res_(res) {}

  vek_SkinBtn button;
  vek_SkinBtn button2;
  vek_SkinSysBtn sysButton;
  fw::CButton plainOk;
  std::function<CtrlSkinTable()> extraLayout;  // more records from a test
  long backgroundId = kBackgroundId;
  std::vector<MSG> recorded;  // messages the test watches
  std::vector<SkinBtnHoverNotify> hovers;
  std::vector<WPARAM> commands;

  CtrlSkinTable LayoutTable() {
    CtrlSkinTable table = {
        {&button, kStripId, 10, 40, 0, 0, 0, 0, CTRLSKIN_IMAGE | CTRLSKIN_POS},
        {&button2, kStrip203Id, 60, 40, 0, 0, 0, 0, CTRLSKIN_IMAGE | CTRLSKIN_POS},
        {&sysButton, kSysStripId, -40, 2, 0, 0, 0, 0, CTRLSKIN_IMAGE | CTRLSKIN_POS},
    };
    if (extraLayout) {
      for (const CtrlSkinItem& item : extraLayout()) table.push_back(item);
    }
    table.push_back({nullptr, 0, 0, 0, 0, 0, 0, 0, CTRLSKIN_END});
    return table;
  }

 protected:
  void DoDataExchange(fw::CDataExchange* dx) override {
    fw::DDX_Control(dx, IDC_SK_BTN, button);
    fw::DDX_Control(dx, IDC_SK_BTN2, button2);
    fw::DDX_Control(dx, IDC_SK_SYS, sysButton);
  }
  int OnLoadSkin() override {
    HANDLE bmp = nullptr;
    res_.LoadRes(backgroundId, backgroundId >> 28, &bmp);
    background.Attach(static_cast<HBITMAP>(bmp));
    ApplyCtrlImages(LayoutTable(), &res_);
    return 0;
  }
  int OnLayout() override {
    ApplyCtrlLayout(m_hWnd, LayoutTable());
    return 1;
  }
  int OnFreeSkin() override {
    res_.FreeRes(background.Detach());
    ReleaseCtrlImages(LayoutTable(), &res_);
    return 0;
  }
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == WM_NCLBUTTONDOWN) {
      // Record the move request instead of starting the system's move loop.
      recorded.push_back(MSG{m_hWnd, msg, wp, lp, 0, {}});
      return 0;
    }
    return vek_SkinDlg::WindowProc(msg, wp, lp);
  }
  BOOL OnNotify(WPARAM wp, LPARAM lp, LRESULT* result) override {
    auto* hdr = reinterpret_cast<NMHDR*>(lp);
    if (hdr->code == SKINBTN_HOVER) {
      hovers.push_back(*reinterpret_cast<SkinBtnHoverNotify*>(lp));
      return TRUE;
    }
    return FALSE;
  }
  BOOL OnCommand(WPARAM wp, LPARAM lp) override {
    commands.push_back(wp);
    return vek_SkinDlg::OnCommand(wp, lp);
  }

 private:
  testing_support::FakeResMgr& res_;
};

}  // namespace skin_test
