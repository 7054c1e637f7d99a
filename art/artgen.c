// Skin art generator: draws the resource pack's 28 bitmaps at 100% into a
// folder and at 125%, 150%, 175% and 200% into its subfolders 125, 150, 175
// and 200, as 24-bit DIBs, and writes one contact sheet (100%) for review.
//
//   artgen OUTPUT_FOLDER CONTACT_SHEET.png
#include <cairo.h>
#include <errno.h>
#include <stdio.h>
#include <sys/stat.h>
#include <string.h>

#include "Canvas.h"
#include "Pictures.h"

typedef struct {
  const char* file;
  int width, height;
  cairo_surface_t* picture;
} Entry;

enum { kCount = 28 };

static void DrawAll(Entry* e) {
  const Entry table[kCount] = {
      {"mwnd.bmp", 780, 520, DrawMainWindow()},
      {"sbtn_help.bmp", 150, 18, DrawSysButton(kGlyphMenu, 30)},
      {"sbtn_min.bmp", 150, 18, DrawSysButton(kGlyphMinimise, 30)},
      {"sbtn_close.bmp", 175, 18, DrawSysButton(kGlyphClose, 35)},
      {"sbtn_dlgclose.bmp", 175, 18, DrawDialogClose()},
      {"ibtn_back.bmp", 220, 26, DrawBandButton(0)},
      {"ibtn_setting.bmp", 220, 26, DrawBandButton(1)},
      {"ibtn_s2t.bmp", 1800, 160, DrawCard(kCardS2T)},
      {"ibtn_t2s.bmp", 1800, 160, DrawCard(kCardT2S)},
      {"ibtn_fs2t.bmp", 1800, 160, DrawCard(kCardFS2T)},
      {"ibtn_ft2s.bmp", 1800, 160, DrawCard(kCardFT2S)},
      {"ibtn_openfolder.bmp", 130, 24, DrawBrowseButton()},
      {"btn_startconv.bmp", 500, 30, DrawActionButton("开始转换", kActionPrimary)},
      {"btn_addfile.bmp", 500, 30, DrawActionButton("添加文件", kActionSecondary)},
      {"btn_remove.bmp", 500, 30, DrawActionButton("移除文件", kActionSecondary)},
      {"btn_clear.bmp", 500, 30, DrawActionButton("清空列表", kActionSecondary)},
      {"btn_stop.bmp", 500, 30, DrawActionButton("停止转换", kActionStop)},
      {"btn_openfolder.bmp", 500, 30, DrawActionButton("打开文件夹", kActionSecondary)},
      {"btn_ok.bmp", 500, 30, DrawActionButton("确定", kActionPrimary)},
      {"btn_cancel.bmp", 500, 30, DrawActionButton("取消", kActionNeutral)},
      {"dlg_sz520x260.bmp", 520, 260, DrawDialog()},
      {"img_rotates.bmp", 2304, 128, DrawRotates()},
      {"img_viewbkgndblank.bmp", 766, 443, DrawEntrancePage()},
      {"img_viewbkgndtconv.bmp", 766, 443, DrawTextPage()},
      {"img_viewbkgndfconv.bmp", 766, 443, DrawFilePage()},
      {"xbtn-dlgclose.bmp", 125, 17, DrawAboutClose()},
      {"dlg-about.bmp", 430, 240, DrawAboutBox()},
      {"dlg_sz520x515.bmp", 520, 515, DrawDialogOfHeight(515)},
  };
  memcpy(e, table, sizeof(table));
}

static cairo_surface_t* Find(Entry* e, const char* file) {
  for (int i = 0; i < kCount; ++i) {
    if (strcmp(e[i].file, file) == 0) return e[i].picture;
  }
  return NULL;
}

// ---- contact sheet ----

static const Rgb kSheet = {52 / 255.0, 58 / 255.0, 66 / 255.0};

// Copies a picture with its key pixels showing the sheet behind, as the
// window region would.
static void Blit(cairo_t* cr, cairo_surface_t* pic, double x, double y, double scale) {
  int w = cairo_image_surface_get_width(pic), h = cairo_image_surface_get_height(pic);
  cairo_surface_t* copy = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
  cairo_surface_flush(pic);
  const unsigned char* src = cairo_image_surface_get_data(pic);
  unsigned char* dst = cairo_image_surface_get_data(copy);
  int stride = cairo_image_surface_get_stride(pic);
  for (int i = 0; i < h; ++i) {
    for (int j = 0; j < w; ++j) {
      const unsigned char* p = src + i * stride + j * 4;
      unsigned char* q = dst + i * stride + j * 4;
      if (IsKey(p)) {
        q[0] = q[1] = q[2] = q[3] = 0;
      } else {
        memcpy(q, p, 3);
        q[3] = 255;
      }
    }
  }
  cairo_surface_mark_dirty(copy);
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_scale(cr, scale, scale);
  cairo_set_source_surface(cr, copy, 0, 0);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
  cairo_paint(cr);
  cairo_restore(cr);
  cairo_surface_destroy(copy);
}

// One frame of a strip, as a button shows it.
static void BlitFrame(cairo_t* cr, cairo_surface_t* strip, int frame, double x, double y) {
  int fw = cairo_image_surface_get_width(strip) / 5;
  int h = cairo_image_surface_get_height(strip);
  cairo_save(cr);
  cairo_rectangle(cr, x, y, fw, h);
  cairo_clip(cr);
  cairo_set_source_surface(cr, strip, x - frame * fw, y);
  cairo_paint(cr);
  cairo_restore(cr);
}

static void Label(cairo_t* cr, const char* text, double x, double y) {
  DrawText(cr, text, 13, 0, x, y, 1000, 0, RgbOf(210, 216, 222));
}

// The main window with one page and its controls placed as the layouts
// place them, some buttons in their hover or disabled frames.
static void MockMain(cairo_t* cr, Entry* e, const char* page, double x, double y) {
  cairo_surface_t* main = Find(e, "mwnd.bmp");
  cairo_surface_t* face = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 780, 520);
  cairo_t* m = cairo_create(face);
  cairo_set_source_surface(m, main, 0, 0);
  cairo_paint(m);
  cairo_set_source_surface(m, Find(e, page), 7, 66);
  cairo_paint(m);
  BlitFrame(m, Find(e, "sbtn_help.bmp"), 0, 780 - 97, 0);
  BlitFrame(m, Find(e, "sbtn_min.bmp"), 1, 780 - 67, 0);
  BlitFrame(m, Find(e, "sbtn_close.bmp"), 0, 780 - 37, 0);
  int entrance = strcmp(page, "img_viewbkgndblank.bmp") == 0;
  if (!entrance) BlitFrame(m, Find(e, "ibtn_back.bmp"), 0, 686, 34);
  BlitFrame(m, Find(e, "ibtn_setting.bmp"), entrance ? 1 : 0, 730, 34);
  if (entrance) {
    BlitFrame(m, Find(e, "ibtn_s2t.bmp"), 1, 7 + 15, 66 + 54);
    BlitFrame(m, Find(e, "ibtn_t2s.bmp"), 0, 7 + 391, 66 + 54);
    BlitFrame(m, Find(e, "ibtn_fs2t.bmp"), 0, 7 + 15, 66 + 229);
    BlitFrame(m, Find(e, "ibtn_ft2s.bmp"), 3, 7 + 391, 66 + 229);
  } else if (strcmp(page, "img_viewbkgndtconv.bmp") == 0) {
    BlitFrame(m, Find(e, "btn_startconv.bmp"), 0, 7 + 333, 66 + 404);
  } else {
    const char* buttons[] = {"btn_addfile.bmp", "btn_remove.bmp", "btn_clear.bmp",
                             "btn_openfolder.bmp", "btn_startconv.bmp"};
    for (int i = 0; i < 5; ++i) {
      BlitFrame(m, Find(e, buttons[i]), i == 1 ? 3 : (i == 0 ? 1 : 0), 7 + 218 + 110 * i,
                66 + 400);
    }
  }
  cairo_destroy(m);
  // Copy the key back in so that the corners show the sheet.
  cairo_surface_flush(face);
  cairo_surface_flush(main);
  unsigned char* f = cairo_image_surface_get_data(face);
  const unsigned char* k = cairo_image_surface_get_data(main);
  int stride = cairo_image_surface_get_stride(face);
  for (int i = 0; i < 520 * stride; i += 4) {
    if (IsKey(k + i)) memcpy(f + i, k + i, 4);
  }
  cairo_surface_mark_dirty(face);
  Blit(cr, face, x, y, 1);
  cairo_surface_destroy(face);
}

// The 520 x 260 dialog face as the settings dialog, or as the progress
// dialog in its animation mode.
static void MockDialog(cairo_t* cr, Entry* e, int progress, double x, double y) {
  cairo_surface_t* face = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 520, 260);
  cairo_surface_t* dlg = Find(e, "dlg_sz520x260.bmp");
  cairo_t* m = cairo_create(face);
  cairo_set_source_surface(m, dlg, 0, 0);
  cairo_paint(m);
  DrawText(m, progress ? "正在转换..." : "设置", 11, 1, 55, 9, 300, 0, RgbOf(255, 255, 255));
  BlitFrame(m, Find(e, "sbtn_dlgclose.bmp"), progress ? 0 : 1, 520 - 37, 0);
  if (progress) {
    cairo_surface_t* rot = Find(e, "img_rotates.bmp");
    cairo_surface_t* frame = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 128, 128);
    cairo_t* fc = cairo_create(frame);
    cairo_set_source_surface(fc, rot, -128 * 3, 0);
    cairo_paint(fc);
    cairo_destroy(fc);
    // Key pixels of the frame are transparent in the image list.
    cairo_save(m);
    Blit(m, frame, 196, 66, 1);
    cairo_restore(m);
    cairo_surface_destroy(frame);
    DrawText(m, "正在转换,请稍候...", 12, 0, 103, 207, 350, 1, kText);
  } else {
    DrawText(m, "输出目录", 12, 0, 26, 44, 60, 0, kText);
    SetColor(m, kWhite);
    cairo_rectangle(m, 96, 41, 360, 23);
    cairo_fill(m);
    SetColor(m, kBlueSoft);
    cairo_rectangle(m, 96.5, 41.5, 359, 22);
    cairo_set_line_width(m, 1);
    cairo_stroke(m);
    BlitFrame(m, Find(e, "ibtn_openfolder.bmp"), 0, 470, 40);
    BlitFrame(m, Find(e, "btn_ok.bmp"), 0, 285, 206);
    BlitFrame(m, Find(e, "btn_cancel.bmp"), 1, 395, 206);
  }
  cairo_destroy(m);
  cairo_surface_flush(face);
  unsigned char* f = cairo_image_surface_get_data(face);
  const unsigned char* k = cairo_image_surface_get_data(dlg);
  int stride = cairo_image_surface_get_stride(face);
  for (int i = 0; i < 260 * stride; i += 4) {
    if (IsKey(k + i)) memcpy(f + i, k + i, 4);
  }
  cairo_surface_mark_dirty(face);
  Blit(cr, face, x, y, 1);
  cairo_surface_destroy(face);
}

static void MockAbout(cairo_t* cr, Entry* e, double x, double y) {
  cairo_surface_t* about = Find(e, "dlg-about.bmp");
  Blit(cr, about, x, y, 1);
  SetColor(cr, RgbOf(243, 186, 31));
  cairo_rectangle(cr, x + 9, y + 7, 150, 19);
  cairo_fill(cr);
  DrawText(cr, "软件版本号: 1.0.1", 12, 0, x + 11, y + 9, 150, 0, kWhite);
  BlitFrame(cr, Find(e, "xbtn-dlgclose.bmp"), 0, x + 430 - 27, y + 2);
}

// Places the 28 pictures in rows at half or full size; returns the height
// used below `top`. With a null `cr` it only measures.
static double LayOutPictures(cairo_t* cr, cairo_t* measure, Entry* e, double top, int width) {
  double x = 20, y = top, rowHeight = 0;
  for (int i = 0; i < kCount; ++i) {
    int w = e[i].width, h = e[i].height;
    double scale = w > 700 ? 0.5 : 1.0;
    double sw = w * scale, sh = h * scale;
    char label[128];
    snprintf(label, sizeof(label), "%s  %d×%d", e[i].file, w, h);
    double lw = TextWidth(measure, label, 13, 0);
    double cell = sw > lw ? sw : lw;
    if (x + cell > width - 20) {
      x = 20;
      y += rowHeight + 16;
      rowHeight = 0;
    }
    if (cr) {
      Label(cr, label, x, y);
      cairo_save(cr);
      cairo_translate(cr, x, y + 20);
      cairo_scale(cr, scale, scale);
      cairo_set_source_surface(cr, e[i].picture, 0, 0);
      cairo_paint(cr);
      cairo_restore(cr);
    }
    x += cell + 24;
    if (sh + 20 > rowHeight) rowHeight = sh + 20;
  }
  return y + rowHeight - top;
}

static int WriteContactSheet(Entry* e, const char* path) {
  const int width = 1810, picturesTop = 1164;
  cairo_surface_t* probe = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
  cairo_t* measure = cairo_create(probe);
  int height = picturesTop + (int)LayOutPictures(NULL, measure, e, picturesTop, width) + 20;
  cairo_surface_t* sheet = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
  cairo_t* cr = cairo_create(sheet);
  SetColor(cr, kSheet);
  cairo_paint(cr);
  DrawText(cr, "Tarnwell skin: windows as the layouts assemble them", 18, 1, 20, 14, 1200, 0,
           kWhite);
  MockMain(cr, e, "img_viewbkgndblank.bmp", 20, 50);
  MockMain(cr, e, "img_viewbkgndtconv.bmp", 820, 50);
  MockMain(cr, e, "img_viewbkgndfconv.bmp", 20, 590);
  MockDialog(cr, e, 0, 820, 590);
  MockDialog(cr, e, 1, 820, 870);
  MockAbout(cr, e, 1360, 590);
  DrawText(cr, "The 28 bitmaps (magenta = transparent)", 18, 1, 20, 1130, 1200, 0, kWhite);
  LayOutPictures(cr, measure, e, picturesTop, width);
  cairo_destroy(measure);
  cairo_surface_destroy(probe);
  cairo_destroy(cr);
  cairo_status_t status = cairo_surface_write_to_png(sheet, path);
  cairo_surface_destroy(sheet);
  return status == CAIRO_STATUS_SUCCESS ? 0 : -1;
}

// Frames of a picture's strip: five for buttons, 18 for the busy indicator,
// one for a face. Each frame is scaled alone, so a strip stays equal frames.
static int FrameCount(const Entry* e) {
  if (strcmp(e->file, "img_rotates.bmp") == 0) return 18;
  return strstr(e->file, "btn") != NULL ? kFrames : 1;
}

static int DrawSet(const char* folder, int percent, const char* sheet) {
  SetArtDpi(96 * percent / 100);
  Entry e[kCount];
  DrawAll(e);
  int failed = 0;
  for (int i = 0; i < kCount; ++i) {
    int frames = FrameCount(&e[i]);
    int w = Px(e[i].width / frames) * frames, h = Px(e[i].height);
    if (cairo_image_surface_get_width(e[i].picture) != w ||
        cairo_image_surface_get_height(e[i].picture) != h) {
      fprintf(stderr, "artgen: %s at %d%% has the wrong size\n", e[i].file, percent);
      failed = 1;
      continue;
    }
    char path[4096];
    snprintf(path, sizeof(path), "%s/%s", folder, e[i].file);
    if (WriteBmp(e[i].picture, path) != 0) {
      fprintf(stderr, "artgen: cannot write %s\n", path);
      failed = 1;
    }
  }
  if (sheet != NULL && WriteContactSheet(e, sheet) != 0) {
    fprintf(stderr, "artgen: cannot write %s\n", sheet);
    failed = 1;
  }
  for (int i = 0; i < kCount; ++i) cairo_surface_destroy(e[i].picture);
  return failed;
}

int main(int argc, char** argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: artgen OUTPUT_FOLDER CONTACT_SHEET.png\n");
    return 2;
  }
  int failed = DrawSet(argv[1], 100, argv[2]);
  static const int larger[] = {125, 150, 175, 200};
  for (int i = 0; i < 4; ++i) {
    char folder[4096];
    snprintf(folder, sizeof(folder), "%s/%d", argv[1], larger[i]);
    if (mkdir(folder, 0777) != 0 && errno != EEXIST) {
      fprintf(stderr, "artgen: cannot make %s\n", folder);
      failed = 1;
      continue;
    }
    failed |= DrawSet(folder, larger[i], NULL);
  }
  return failed;
}
