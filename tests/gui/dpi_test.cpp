// The program's windows at the display scale of the Wine prefix the test runs
// in (TARNWELL_LOGPIXELS: 96, 120, 144 or 192; CMake runs this program once
// per DPI, each in a prefix of its own): the pictures the pack serves for
// each scale, each window's size and region, the caption band, the file
// list's columns and scroll bars, a button's pixels against the art drawn
// for the scale, and a move to a monitor of another scale.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/AboutDlg.h"
#include "app/TarnwellDlg.h"
#include "app/resource.h"
#include "config/CfgStore.h"
#include "pages/DlgFileEditor.h"
#include "pages/DlgProgress.h"
#include "pages/DlgSetting.h"
#include "pages/FConvView.h"
#include "pages/FilePagesIds.h"
#include "skeldon/ResIds.h"
#include "skin/DialogPlace.h"
#include "skin/DpiScale.h"
#include "skin/SkinRes.h"
#include "tests/gui/app_env.h"
#include "tests/support/GuiPump.h"
#include "tests/support/TempDir.h"
#include "tests/support/WindowPixels.h"

using testing_support::PumpFor;
using testing_support::WindowPixels;

namespace {

// The DPI the prefix was made with.
int PrefixDpi() {
  const char* value = std::getenv("TARNWELL_LOGPIXELS");
  return value != nullptr && *value != '\0' ? std::atoi(value) : 96;
}

const DpiScale kScale(PrefixDpi());

// The 100% sizes of the pack's pictures.
struct Picture {
  long id;
  int width, height;
  const wchar_t* file;
};
const Picture kPictures[] = {
    {BMP_MAINWND, 780, 520, L"mwnd.bmp"},
    {BMP_SYSBTN_MENU, 150, 18, L"sbtn_help.bmp"},
    {BMP_SYSBTN_MIN, 150, 18, L"sbtn_min.bmp"},
    {BMP_SYSBTN_CLOSE, 175, 18, L"sbtn_close.bmp"},
    {BMP_SYSBTN_DLGCLOSE, 175, 18, L"sbtn_dlgclose.bmp"},
    {BMP_BTN_BACK, 220, 26, L"ibtn_back.bmp"},
    {BMP_BTN_SETTING, 220, 26, L"ibtn_setting.bmp"},
    {BMP_BTN_S2T, 1800, 160, L"ibtn_s2t.bmp"},
    {BMP_BTN_T2S, 1800, 160, L"ibtn_t2s.bmp"},
    {BMP_BTN_FS2T, 1800, 160, L"ibtn_fs2t.bmp"},
    {BMP_BTN_FT2S, 1800, 160, L"ibtn_ft2s.bmp"},
    {BMP_BTN_BROWSE, 130, 24, L"ibtn_openfolder.bmp"},
    {BMP_BTN_STARTCONV, 500, 30, L"btn_startconv.bmp"},
    {BMP_BTN_ADDFILE, 500, 30, L"btn_addfile.bmp"},
    {BMP_BTN_REMOVE, 500, 30, L"btn_remove.bmp"},
    {BMP_BTN_CLEAR, 500, 30, L"btn_clear.bmp"},
    {BMP_BTN_STOP, 500, 30, L"btn_stop.bmp"},
    {BMP_BTN_OPENFOLDER, 500, 30, L"btn_openfolder.bmp"},
    {BMP_BTN_OK, 500, 30, L"btn_ok.bmp"},
    {BMP_BTN_CANCEL, 500, 30, L"btn_cancel.bmp"},
    {BMP_DLG_520X260, 520, 260, L"dlg_sz520x260.bmp"},
    {BMP_ROTATES, 2304, 128, L"img_rotates.bmp"},
    {BMP_VIEW_BLANK, 766, 443, L"img_viewbkgndblank.bmp"},
    {BMP_VIEW_TCONV, 766, 443, L"img_viewbkgndtconv.bmp"},
    {BMP_VIEW_FCONV, 766, 443, L"img_viewbkgndfconv.bmp"},
    {BMP_XBTN_DLGCLOSE, 125, 17, L"xbtn-dlgclose.bmp"},
    {BMP_DLG_ABOUT, 430, 240, L"dlg-about.bmp"},
    {BMP_DLG_520X515, 520, 515, L"dlg_sz520x515.bmp"},
};

SIZE BitmapSize(HBITMAP bitmap) {
  BITMAP info{};
  if (bitmap == nullptr || GetObjectW(bitmap, sizeof(info), &info) != sizeof(info)) return {};
  return SIZE{info.bmWidth, info.bmHeight};
}

// A picture's size at a scale: each frame scaled on its own.
SIZE ScaledSize(const Picture& p, const DpiScale& s) {
  const int frames = SkinFrameCount(p.id);
  return SIZE{s.Scale(p.width / frames) * frames, s.Scale(p.height)};
}

SIZE WindowSize(HWND wnd) {
  RECT r{};
  GetWindowRect(wnd, &r);
  return SIZE{r.right - r.left, r.bottom - r.top};
}

// The child's rectangle in its parent's client coordinates.
RECT RectInParent(HWND child) {
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// The window's region: its corners keyed away at the scale, the edges and
// the middle in. A window of w x h with corners of 100% radius `radius`.
void ExpectRoundedRegion(HWND wnd, const DpiScale& s, int radius) {
  fw::UniqueRgn rgn(CreateRectRgn(0, 0, 0, 0));
  ASSERT_NE(GetWindowRgn(wnd, rgn.get()), ERROR);
  const SIZE size = WindowSize(wnd);
  RECT box{};
  GetRgnBox(rgn.get(), &box);
  EXPECT_EQ(box.left, 0);
  EXPECT_EQ(box.top, 0);
  EXPECT_EQ(box.right, size.cx);
  EXPECT_EQ(box.bottom, size.cy);
  // Along the corner's diagonal, pixels lie outside up to 0.29 of the radius
  // (less the half pixel to their centre).
  const int out = std::max(0, s.Scale(radius) * 29 / 100 - 1);
  for (POINT p : {POINT{out, out}, POINT{size.cx - 1 - out, out}, POINT{out, size.cy - 1 - out},
                  POINT{size.cx - 1 - out, size.cy - 1 - out}}) {
    EXPECT_FALSE(PtInRegion(rgn.get(), p.x, p.y)) << p.x << "," << p.y;
  }
  const int r = s.Scale(radius);
  for (POINT p : {POINT{r, 0}, POINT{0, r}, POINT{size.cx - 1, size.cy - 1 - r},
                  POINT{size.cx / 2, size.cy / 2}}) {
    EXPECT_TRUE(PtInRegion(rgn.get(), p.x, p.y)) << p.x << "," << p.y;
  }
}

// The main window, recording the moves its caption band asks for.
class MainWindow : public CTarnwellDlg {
 public:
  std::vector<LPARAM> moves;

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == WM_NCLBUTTONDOWN && wp == HTCAPTION) {
      moves.push_back(lp);  // instead of the system's move loop
      return 0;
    }
    return CTarnwellDlg::WindowProc(msg, wp, lp);
  }
};

class DpiTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    EnableDpiAwareness();
    // The pointer away from every window: no button shows its hover frame.
    SetCursorPos(0, 0);
  }
  void SetUp() override {
    store = std::make_unique<CfgStore>((dir / L"Tarnwell.cfg").c_str());
    store->EnsureCurrent((dir / L"输出").c_str());
  }
  void OpenMain() {
    ASSERT_TRUE(main.Create(IDD_TARNWELL_DIALOG, nullptr));
    app_test::App().m_pMainWnd = &main;
    main.SetWindowPos(nullptr, 10, 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
    PumpFor(50);
  }
  void TearDown() override {
    if (IsWindow(main.m_hWnd)) main.DestroyWindow();
    app_test::App().m_pMainWnd = nullptr;
  }

  testing_support::TempDir dir{L"缩放测试"};
  std::unique_ptr<CfgStore> store;
  MainWindow main;
};

TEST_F(DpiTest, TheProcessRunsAtThePrefixDpi) {
  EXPECT_EQ(DpiScale::ForSystem().Dpi(), PrefixDpi());
  EXPECT_EQ(DpiScale::ForWindow(nullptr).Dpi(), PrefixDpi());
}

TEST_F(DpiTest, ThePackServesEverySetAtItsScaledSize) {
  vek_IResMgr* res = AppResMgr();
  ASSERT_NE(res, nullptr);
  for (int percent : DpiScale::kDrawnPercents) {
    const DpiScale s(DpiScale::kBase * percent / 100);
    for (const Picture& p : kPictures) {
      HANDLE handle = nullptr;
      ASSERT_HRESULT_SUCCEEDED(res->LoadRes(SkinSetId(p.id, percent), 1, &handle));
      const SIZE got = BitmapSize(static_cast<HBITMAP>(handle));
      const SIZE want = ScaledSize(p, s);
      EXPECT_EQ(got.cx, want.cx) << percent << "% " << p.id;
      EXPECT_EQ(got.cy, want.cy) << percent << "% " << p.id;
      res->FreeRes(handle);
    }
  }
  // Between the drawn scales: the next smaller set made exactly as large as
  // the layout, strip frames each their scaled size.
  for (int dpi : {108, 132, 200}) {
    const DpiScale s(dpi);
    for (const Picture& p : {kPictures[0], kPictures[3], kPictures[7], kPictures[21]}) {
      HBITMAP bitmap = LoadSkinBitmapFor(res, p.id, s);
      const SIZE got = BitmapSize(bitmap);
      const SIZE want = ScaledSize(p, s);
      EXPECT_EQ(got.cx, want.cx) << dpi << " " << p.id;
      EXPECT_EQ(got.cy, want.cy) << dpi << " " << p.id;
      res->FreeRes(bitmap);
    }
  }
}

TEST_F(DpiTest, TheMainWindowItsPagesAndCaptionBandFollowTheScale) {
  ASSERT_NO_FATAL_FAILURE(OpenMain());
  const DpiScale& s = kScale;
  EXPECT_EQ(main.Dpi(), s);
  const SIZE size = WindowSize(main.m_hWnd);
  EXPECT_EQ(size.cx, s.Scale(780));
  EXPECT_EQ(size.cy, s.Scale(520));
  ExpectRoundedRegion(main.m_hWnd, s, 8);

  const RECT close = RectInParent(main.GetDlgItem(IDC_CLOSE_BTN));
  EXPECT_EQ(close.left, size.cx - s.Scale(37));
  EXPECT_EQ(close.top, 0);
  EXPECT_EQ(close.right - close.left, s.Scale(35));
  EXPECT_EQ(close.bottom - close.top, s.Scale(18));
  const RECT setting = RectInParent(main.GetDlgItem(IDC_SETTING_BTN));
  EXPECT_EQ(setting.left, s.Scale(730));
  EXPECT_EQ(setting.top, s.Scale(34));
  EXPECT_EQ(setting.right - setting.left, s.Scale(44));

  for (int i = 0; i < PAGE_COUNT; ++i) {
    ASSERT_NE(main.Page(i), nullptr);
    const RECT page = RectInParent(main.Page(i)->m_hWnd);
    EXPECT_EQ(page.left, s.Scale(7));
    EXPECT_EQ(page.top, s.Scale(66));
    // As large as the main face (it runs past the window's edge).
    EXPECT_EQ(page.right - page.left, s.Scale(780));
    EXPECT_EQ(page.bottom - page.top, s.Scale(520));
  }
  const RECT card = RectInParent(main.Page(0)->GetDlgItem(IDC_ENTRANCE_S2T));
  EXPECT_EQ(card.left, s.Scale(15));
  EXPECT_EQ(card.top, s.Scale(54));
  EXPECT_EQ(card.right - card.left, s.Scale(360));

  // The caption band is 25 pixels at 100%: its last row starts a move, the
  // row below does not.
  const int band = s.Scale(25);
  main.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(s.Scale(300), band));
  main.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(s.Scale(300), band + 1));
  PumpFor(20);
  ASSERT_EQ(main.moves.size(), 1u);
  EXPECT_EQ(main.moves[0], MAKELPARAM(s.Scale(300), band));
}

TEST_F(DpiTest, EveryDialogTakesItsScaledSizeAndRegion) {
  const DpiScale& s = kScale;
  CDlgSetting settings(*store);
  ASSERT_TRUE(settings.Create(IDD_SETTINGS_DLG, nullptr));
  CDlgProgress progress;  // the text pages' kind, which turns the busy indicator
  ASSERT_TRUE(progress.Create(static_cast<CConvView*>(nullptr), PROGRESS_MODE_ANIM));
  CAboutDlg about;
  ASSERT_TRUE(about.Create(IDD_ABOUTBOX, nullptr));
  FileEntry entry;
  MakeFileEntry(L"C:\\文档\\测试.txt", EncUtf8, entry);
  CDlgFileEditor editor(&entry);
  ASSERT_TRUE(editor.Create(IDD_ENCODING_DLG, nullptr));
  struct Expect {
    vek_SkinDlg* dlg;
    int width, height, radius;
  };
  for (const Expect& e : {Expect{&settings, 520, 515, 6}, Expect{&progress, 520, 260, 6},
                          Expect{&about, 430, 240, 6}, Expect{&editor, 520, 260, 6}}) {
    SCOPED_TRACE(e.width);
    EXPECT_EQ(e.dlg->Dpi(), s);
    const SIZE size = WindowSize(e.dlg->m_hWnd);
    EXPECT_EQ(size.cx, s.Scale(e.width));
    EXPECT_EQ(size.cy, s.Scale(e.height));
    ExpectRoundedRegion(e.dlg->m_hWnd, s, e.radius);
  }
  // Controls of the tables at their scaled places and sizes.
  const RECT ok = RectInParent(settings.GetDlgItem(IDOK));
  EXPECT_EQ(ok.left, s.Scale(285));
  EXPECT_EQ(ok.top, s.Scale(470));
  EXPECT_EQ(ok.right - ok.left, s.Scale(100));
  EXPECT_EQ(ok.bottom - ok.top, s.Scale(30));
  const RECT folder = RectInParent(settings.folderEdit.m_hWnd);
  EXPECT_EQ(folder.left, s.Scale(96));
  EXPECT_EQ(folder.right - folder.left, s.Scale(360));
  // The busy indicator's frames are drawn at the scale.
  int cx = 0, cy = 0;
  ImageList_GetIconSize(progress.animation.frames.GetSafeHandle(), &cx, &cy);
  EXPECT_EQ(cx, s.Scale(128));
  EXPECT_EQ(cy, s.Scale(128));
  for (vek_SkinDlg* d : std::initializer_list<vek_SkinDlg*>{&settings, &progress, &about, &editor})
    d->DestroyWindow();
}

TEST_F(DpiTest, TheFileListScalesItsColumnsTextAndScrollBars) {
  ASSERT_NO_FATAL_FAILURE(OpenMain());
  const DpiScale& s = kScale;
  auto* page = dynamic_cast<CFConvView*>(main.Page(3));
  ASSERT_NE(page, nullptr);
  ASSERT_NE(page->list, nullptr);
  vek_SkinList& list = *page->list;
  main.Page(0)->ShowWindow(SW_HIDE);
  page->ShowWindow(SW_SHOW);
  EXPECT_EQ(list.GetColumnWidth(0), s.Scale(270));
  EXPECT_EQ(list.GetColumnWidth(3), s.Scale(250));
  // Sixty rows, queued as Add queues them.
  ASSERT_TRUE(testing_support::WriteFileBytes(dir / L"简体样本.txt", "x\r\n"));
  page->AddChosenFiles(std::vector<fw::CString>(60, dir / L"简体样本.txt"));
  ASSERT_EQ(list.GetItemCount(), 60);
  PumpFor(50);

  // The vertical bar stands right of the list, its arrows scaled: the
  // pointer one pixel above the arrow's lower edge is on the arrow, one
  // pixel below it on the track.
  ASSERT_TRUE(list.vBar.IsWindowVisible());
  const RECT bar = list.vBar.GetClientRect();
  EXPECT_EQ(bar.right, s.Scale(17));
  const int arrow = s.Scale(17);
  EXPECT_EQ(list.vBar.HitTest(POINT{bar.right / 2, arrow - 1}), SBPART_ARROW1);
  EXPECT_NE(list.vBar.HitTest(POINT{bar.right / 2, arrow + 1}), SBPART_ARROW1);
  EXPECT_EQ(list.vBar.HitTest(POINT{bar.right / 2, bar.bottom - arrow + 1}), SBPART_ARROW2);
  EXPECT_NE(list.vBar.HitTest(POINT{bar.right / 2, bar.bottom - arrow - 1}), SBPART_ARROW2);
  // The thumb is hit inside, the track after it below.
  const RECT thumb = list.vBar.PartRect(SBPART_THUMB);
  EXPECT_GE(thumb.bottom - thumb.top, s.Scale(16));
  EXPECT_EQ(list.vBar.HitTest(POINT{bar.right / 2, (thumb.top + thumb.bottom) / 2}),
            SBPART_THUMB);
  EXPECT_EQ(list.vBar.HitTest(POINT{bar.right / 2, thumb.bottom + 2}), SBPART_TRACK_AFTER);

  // The rows' text: the list's 8-point face (11 pixels at 96 DPI) at the
  // scale; at 96 DPI the face itself.
  LOGFONTW lf{};
  ASSERT_EQ(GetObjectW(ScaledFont(list.font, s), sizeof(lf), &lf), static_cast<int>(sizeof(lf)));
  if (s.IsBase()) {
    LOGFONTW own{};
    GetObjectW(list.font, sizeof(own), &own);
    EXPECT_EQ(lf.lfHeight, own.lfHeight);
  } else {
    EXPECT_EQ(lf.lfHeight, s.Scale(-11));
  }
  // Rows are tall enough for it.
  RECT row{};
  ASSERT_TRUE(list.GetItemRect(0, &row, LVIR_BOUNDS));
  EXPECT_GE(row.bottom - row.top, s.Scale(11));
}

// The settings dialog's OK button, painted, against its strip's first frame
// as the art generator drew it for this scale.
TEST_F(DpiTest, AButtonShowsThePixelsDrawnForTheScale) {
  const DpiScale& s = kScale;
  CDlgSetting settings(*store);
  ASSERT_TRUE(settings.Create(IDD_SETTINGS_DLG, nullptr));
  settings.SetWindowPos(nullptr, 20, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
  PumpFor(50);
  std::wstring file = testing_support::ExeFolder() + L"\\";
  if (!s.IsBase()) file += std::to_wstring(s.ArtPercent()) + L"\\";
  file += L"btn_ok.bmp";
  auto art = static_cast<HBITMAP>(
      LoadImageW(nullptr, file.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
  ASSERT_NE(art, nullptr) << "the art drawn for the scale sits beside the program";
  const SIZE strip = BitmapSize(art);
  const int frame = strip.cx / 5;
  ASSERT_EQ(frame, s.Scale(100));
  ASSERT_EQ(strip.cy, s.Scale(30));

  WindowPixels shown(settings.GetDlgItem(IDOK));
  ASSERT_EQ(shown.width(), frame);
  ASSERT_EQ(shown.height(), strip.cy);
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(mem, art);
  int differ = 0;
  for (int y = 0; y < strip.cy; ++y) {
    for (int x = 0; x < frame; ++x) {
      if (GetPixel(mem, x, y) != shown.at(x, y)) ++differ;
    }
  }
  SelectObject(mem, old);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  DeleteObject(art);
  EXPECT_EQ(differ, 0);
  settings.DestroyWindow();
}

// A move to a monitor of another scale: Windows sends WM_DPICHANGED with the
// new DPI and where the window should go there.
TEST_F(DpiTest, AnotherMonitorsScaleRelaysTheWindowAndItsOpenDialog) {
  ASSERT_NO_FATAL_FAILURE(OpenMain());
  const DpiScale to(PrefixDpi() == 192 ? 120 : 192);
  CDlgSetting settings(*store);
  ASSERT_TRUE(settings.Create(IDD_SETTINGS_DLG, &main));
  settings.ShowWindow(SW_SHOW);
  PumpFor(20);

  RECT suggested{40, 30, 40 + to.Scale(780), 30 + to.Scale(520)};
  main.SendMessage(WM_DPICHANGED, MAKEWPARAM(to.Dpi(), to.Dpi()),
                   reinterpret_cast<LPARAM>(&suggested));
  PumpFor(50);

  EXPECT_EQ(main.Dpi(), to);
  RECT wr = main.GetWindowRect();
  EXPECT_EQ(wr.left, 40);
  EXPECT_EQ(wr.top, 30);
  EXPECT_EQ(wr.right - wr.left, to.Scale(780));
  EXPECT_EQ(wr.bottom - wr.top, to.Scale(520));
  ExpectRoundedRegion(main.m_hWnd, to, 8);
  const RECT close = RectInParent(main.GetDlgItem(IDC_CLOSE_BTN));
  EXPECT_EQ(close.left, to.Scale(780) - to.Scale(37));
  EXPECT_EQ(close.right - close.left, to.Scale(35));
  const RECT page = RectInParent(main.Page(0)->m_hWnd);
  EXPECT_EQ(page.left, to.Scale(7));
  EXPECT_EQ(page.top, to.Scale(66));
  EXPECT_EQ(page.right - page.left, to.Scale(780));
  const RECT card = RectInParent(main.Page(0)->GetDlgItem(IDC_ENTRANCE_S2T));
  EXPECT_EQ(card.left, to.Scale(15));
  EXPECT_EQ(card.right - card.left, to.Scale(360));
  auto* files = dynamic_cast<CFConvView*>(main.Page(3));
  ASSERT_NE(files, nullptr);
  // Rescaled from the old scale's width: a pixel of rounding either way.
  EXPECT_NEAR(files->list->GetColumnWidth(0), to.Scale(270), 1);

  // The open dialog: laid out for the new scale and centred on its owner.
  EXPECT_EQ(settings.Dpi(), to);
  const SIZE dlg = WindowSize(settings.m_hWnd);
  EXPECT_EQ(dlg.cx, to.Scale(520));
  EXPECT_EQ(dlg.cy, to.Scale(515));
  const POINT at = CentredOnWorkArea(main.GetWindowRect(), dlg);
  RECT dr = settings.GetWindowRect();
  EXPECT_EQ(dr.left, at.x);
  EXPECT_EQ(dr.top, at.y);
  const RECT ok = RectInParent(settings.GetDlgItem(IDOK));
  EXPECT_EQ(ok.left, to.Scale(285));
  EXPECT_EQ(ok.right - ok.left, to.Scale(100));
  settings.DestroyWindow();
}

}  // namespace
