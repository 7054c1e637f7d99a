// The generated skin bitmaps, read back from the loose files beside the
// programs: format, sizes, five-frame strips and the colour key exactly
// where transparency is meant.
#include <gtest/gtest.h>
#include <windows.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "tests/support/TempDir.h"
#include "tests/support/TestText.h"
#include "tests/unit/skeldon_client.h"

using skeldon_test::kBitmaps;

namespace {

struct Pixel {
  uint8_t r, g, b;
  bool operator==(const Pixel& o) const { return r == o.r && g == o.g && b == o.b; }
  bool IsKey() const { return r == 255 && g == 0 && b == 255; }
};

// A 24-bit DIB read top-down.
struct Picture {
  int width = 0, height = 0;
  std::vector<Pixel> pixels;
  const Pixel& at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

template <typename T>
T Read(const std::string& bytes, size_t offset) {
  T v;
  std::memcpy(&v, bytes.data() + offset, sizeof(T));
  return v;
}

// Parses the file and checks its headers on the way.
Picture Load(const std::wstring& file) {
  Picture pic;
  std::string bytes = testing_support::ReadFileBytes(testing_support::ExeFolder() + L"\\" + file);
  EXPECT_GE(bytes.size(), 54u);
  if (bytes.size() < 54) return pic;
  EXPECT_EQ("BM", bytes.substr(0, 2));
  EXPECT_EQ(bytes.size(), Read<uint32_t>(bytes, 2));
  const uint32_t dataOffset = Read<uint32_t>(bytes, 10);
  EXPECT_EQ(40u, Read<uint32_t>(bytes, 14));  // BITMAPINFOHEADER
  const int32_t width = Read<int32_t>(bytes, 18), height = Read<int32_t>(bytes, 22);
  EXPECT_EQ(24, Read<uint16_t>(bytes, 28));
  EXPECT_EQ(static_cast<uint32_t>(BI_RGB), Read<uint32_t>(bytes, 30));
  const bool bottomUp = height > 0;
  pic.width = width;
  pic.height = std::abs(height);
  const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
  EXPECT_EQ(dataOffset + stride * pic.height, bytes.size());
  if (dataOffset + stride * pic.height > bytes.size()) return Picture{};
  pic.pixels.resize(static_cast<size_t>(pic.width) * pic.height);
  for (int y = 0; y < pic.height; ++y) {
    const size_t row = dataOffset + stride * (bottomUp ? pic.height - 1 - y : y);
    for (int x = 0; x < pic.width; ++x) {
      const auto* p = reinterpret_cast<const uint8_t*>(bytes.data() + row + x * 3);
      pic.pixels[static_cast<size_t>(y) * pic.width + x] = Pixel{p[2], p[1], p[0]};
    }
  }
  return pic;
}

bool FramesEqual(const Picture& pic, int fw, int a, int b) {
  for (int y = 0; y < pic.height; ++y) {
    for (int x = 0; x < fw; ++x) {
      if (!(pic.at(a * fw + x, y) == pic.at(b * fw + x, y))) return false;
    }
  }
  return true;
}

int KeyCount(const Picture& pic) {
  int n = 0;
  for (const Pixel& p : pic.pixels) n += p.IsKey();
  return n;
}

TEST(Art, EveryBitmapHasItsSizeAsAnUncompressed24BitDib) {
  for (const auto& row : kBitmaps) {
    SCOPED_TRACE(testing_support::Utf8(row.file));
    Picture pic = Load(row.file);
    EXPECT_EQ(row.width, pic.width);
    EXPECT_EQ(row.height, pic.height);
  }
}

TEST(Art, ButtonStripsHoldFiveDistinctStatesAndAFifthLikeTheFirst) {
  for (const auto& row : kBitmaps) {
    const std::wstring name = row.file;
    const bool strip = name.find(L"btn") != std::wstring::npos;
    if (!strip) continue;
    SCOPED_TRACE(testing_support::Utf8(name));
    Picture pic = Load(name);
    ASSERT_EQ(0, pic.width % 5);
    const int fw = pic.width / 5;
    for (int a = 0; a < 4; ++a) {
      for (int b = a + 1; b < 4; ++b) {
        EXPECT_FALSE(FramesEqual(pic, fw, a, b)) << "frames " << a << " and " << b;
      }
    }
    EXPECT_TRUE(FramesEqual(pic, fw, 0, 4));
    // Buttons are rectangles: no key anywhere.
    EXPECT_EQ(0, KeyCount(pic));
  }
}

// Window faces: the key only in the four corners, inside the corner's
// radius, nowhere else; the corner pixels themselves are keyed.
TEST(Art, WindowFacesKeyOnlyTheirRoundedCorners) {
  struct Face {
    const wchar_t* file;
    int radius;
  };
  for (Face face : {Face{L"mwnd.bmp", 8}, Face{L"dlg_sz520x260.bmp", 6}, Face{L"dlg_sz520x515.bmp", 6}, Face{L"dlg-about.bmp", 6}}) {
    SCOPED_TRACE(testing_support::Utf8(face.file));
    Picture pic = Load(face.file);
    ASSERT_GT(pic.width, 0);
    const int w = pic.width, h = pic.height, r = face.radius;
    EXPECT_TRUE(pic.at(0, 0).IsKey());
    EXPECT_TRUE(pic.at(w - 1, 0).IsKey());
    EXPECT_TRUE(pic.at(0, h - 1).IsKey());
    EXPECT_TRUE(pic.at(w - 1, h - 1).IsKey());
    int keyed = 0;
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        if (!pic.at(x, y).IsKey()) continue;
        ++keyed;
        const bool inCorner = (x < r || x >= w - r) && (y < r || y >= h - r);
        EXPECT_TRUE(inCorner) << x << "," << y;
        if (!inCorner) return;
      }
    }
    // Four corners of the same curve, each only partly keyed.
    EXPECT_EQ(0, keyed % 4);
    EXPECT_GT(keyed, 4);
    EXPECT_LT(keyed, 4 * r * r / 2);
  }
}

TEST(Art, PageFacesAreOpaque) {
  for (const wchar_t* file :
       {L"img_viewbkgndblank.bmp", L"img_viewbkgndtconv.bmp", L"img_viewbkgndfconv.bmp"}) {
    EXPECT_EQ(0, KeyCount(Load(file))) << testing_support::Utf8(file);
  }
}

// Buttons are copied over their window's face as they are: where a button
// sits, the edge of its frames must continue the face around it.
TEST(Art, ButtonsContinueTheFaceTheySitOn) {
  struct Placement {
    const wchar_t* button;
    const wchar_t* face;
    int x, y;
    bool onBand;  // flat on a title band: the whole left column continues it
  };
  const Placement placements[] = {
      {L"sbtn_help.bmp", L"mwnd.bmp", 780 - 97, 0, true},
      {L"sbtn_min.bmp", L"mwnd.bmp", 780 - 67, 0, true},
      {L"sbtn_close.bmp", L"mwnd.bmp", 780 - 37, 0, true},
      {L"ibtn_back.bmp", L"mwnd.bmp", 686, 34, true},
      {L"ibtn_setting.bmp", L"mwnd.bmp", 730, 34, true},
      {L"sbtn_dlgclose.bmp", L"dlg_sz520x260.bmp", 520 - 37, 0, true},
      {L"xbtn-dlgclose.bmp", L"dlg-about.bmp", 430 - 27, 2, true},
      {L"btn_ok.bmp", L"dlg_sz520x260.bmp", 285, 206, false},
      {L"btn_cancel.bmp", L"dlg_sz520x260.bmp", 395, 206, false},
      {L"btn_stop.bmp", L"dlg_sz520x260.bmp", 210, 177, false},
      {L"ibtn_openfolder.bmp", L"dlg_sz520x260.bmp", 470, 40, false},
      {L"btn_startconv.bmp", L"img_viewbkgndtconv.bmp", 333, 404, false},
      {L"btn_addfile.bmp", L"img_viewbkgndfconv.bmp", 218, 400, false},
      {L"btn_openfolder.bmp", L"img_viewbkgndfconv.bmp", 548, 400, false},
      {L"ibtn_s2t.bmp", L"img_viewbkgndblank.bmp", 15, 54, false},
      {L"ibtn_ft2s.bmp", L"img_viewbkgndblank.bmp", 391, 229, false},
  };
  for (const Placement& at : placements) {
    SCOPED_TRACE(testing_support::Utf8(at.button));
    Picture button = Load(at.button), face = Load(at.face);
    ASSERT_GT(button.width, 0);
    ASSERT_GT(face.width, 0);
    const int fw = button.width / 5, h = button.height;
    // The corners of the normal frame show the face beneath (except where
    // the face's own rounded corner takes over).
    const int corners[4][2] = {{0, 0}, {fw - 1, 0}, {0, h - 1}, {fw - 1, h - 1}};
    for (const auto& c : corners) {
      const int fx = at.x + c[0], fy = at.y + c[1];
      const bool inFaceCorner =
          (fx < 8 || fx >= face.width - 8) && (fy < 8 || fy >= face.height - 8);
      if (inFaceCorner) continue;
      EXPECT_TRUE(button.at(c[0], c[1]) == face.at(fx, fy)) << c[0] << "," << c[1];
    }
    if (!at.onBand) continue;
    for (int y = 0; y < h; ++y) {
      EXPECT_TRUE(button.at(0, y) == face.at(at.x, at.y + y)) << "row " << y;
    }
  }
}

// 18 frames of 128 x 128: keyed around a ring of dots whose head turns 20
// degrees a frame.
TEST(Art, BusyIndicatorTurnsTwentyDegreesAFrame) {
  Picture pic = Load(L"img_rotates.bmp");
  ASSERT_EQ(18 * 128, pic.width);
  std::vector<double> heads;
  for (int f = 0; f < 18; ++f) {
    const int x0 = f * 128;
    EXPECT_TRUE(pic.at(x0, 0).IsKey());
    EXPECT_TRUE(pic.at(x0 + 64, 64).IsKey());  // the ring's middle is empty
    // The head is the darkest dot: average the position of its pixels.
    int darkest = 255 * 3;
    for (int y = 0; y < 128; ++y) {
      for (int x = 0; x < 128; ++x) {
        const Pixel& p = pic.at(x0 + x, y);
        if (!p.IsKey()) darkest = std::min(darkest, p.r + p.g + p.b);
      }
    }
    double sx = 0, sy = 0;
    int n = 0;
    for (int y = 0; y < 128; ++y) {
      for (int x = 0; x < 128; ++x) {
        const Pixel& p = pic.at(x0 + x, y);
        if (!p.IsKey() && p.r + p.g + p.b <= darkest + 30) {
          sx += x - 63.5;
          sy += y - 63.5;
          ++n;
        }
      }
    }
    ASSERT_GT(n, 0);
    heads.push_back(std::atan2(sy / n, sx / n) * 180 / 3.14159265358979);
    // Every drawn pixel is blended against the dialog body, never keyed
    // half-way: no pixel is a near miss of the key.
    for (int y = 0; y < 128; ++y) {
      for (int x = 0; x < 128; ++x) {
        const Pixel& p = pic.at(x0 + x, y);
        if (!p.IsKey()) {
          EXPECT_FALSE(p.r > 200 && p.g < 60 && p.b > 200);
        }
      }
    }
  }
  for (int f = 0; f < 18; ++f) {
    double step = heads[(f + 1) % 18] - heads[f];
    while (step < -180) step += 360;
    while (step > 180) step -= 360;
    EXPECT_NEAR(20.0, step, 3.0) << "frame " << f;
  }
}

}  // namespace

// The larger sets are drawn at their scale, not enlarged: a line one pixel
// wide at 100% is one device pixel wide at every scale, on the pixel its
// 100% pixel becomes (the faces' frame, the text page's panel border).
TEST(Art, LargerSetsKeepOnePixelLinesOnePixelWide) {
  const Pixel frame{176, 186, 196}, panelLine{196, 208, 216};
  for (int percent : {125, 150, 175, 200}) {
    SCOPED_TRACE(percent);
    const std::wstring folder = std::to_wstring(percent) + L"\\";
    auto px = [&](int v) { return (v * percent + 50) / 100; };
    Picture main = Load(folder + L"mwnd.bmp");
    ASSERT_EQ(main.width, px(780));
    const int mid = main.height / 2;
    EXPECT_EQ(main.at(0, mid), frame);
    EXPECT_FALSE(main.at(1, mid) == frame);
    EXPECT_EQ(main.at(main.width - 1, mid), frame);
    EXPECT_FALSE(main.at(main.width - 2, mid) == frame);

    Picture page = Load(folder + L"img_viewbkgndtconv.bmp");
    ASSERT_EQ(page.width, px(766));
    const int x = (11 * percent + 50) / 100, y = px(100);  // the panel's left line
    EXPECT_EQ(page.at(x, y), panelLine);
    EXPECT_FALSE(page.at(x - 1, y) == panelLine);
    EXPECT_FALSE(page.at(x + 1, y) == panelLine);
  }
}
