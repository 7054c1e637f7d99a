#include "Pictures.h"

#include <math.h>
#include <stdio.h>

#include "Canvas.h"

typedef void (*FrameFn)(cairo_t* cr, int w, int h, int state, const void* arg);

// A horizontal strip of five equal frames drawn by `fn` in 100% units (a
// frame of width / 5 by height); at another scale each frame is its scaled
// size, so the strip stays five equal frames.
static cairo_surface_t* MakeStrip(int width, int height, FrameFn fn, const void* arg) {
  int fw = width / kFrames;
  int dfw = Px(fw), dh = Px(height);
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, dfw * kFrames, dh);
  cairo_t* cr = cairo_create(s);
  for (int i = 0; i < kFrames; ++i) {
    cairo_save(cr);
    cairo_translate(cr, i * dfw, 0);
    cairo_scale(cr, (double)dfw / fw, (double)dh / height);
    cairo_rectangle(cr, 0, 0, fw, height);
    cairo_clip(cr);
    fn(cr, fw, height, i == kFrames - 1 ? kNormal : i, arg);
    cairo_restore(cr);
  }
  cairo_destroy(cr);
  AvoidKey(s);
  return s;
}

static void FillRect(cairo_t* cr, double x, double y, double w, double h, Rgb c) {
  SetColor(cr, c);
  cairo_rectangle(cr, x, y, w, h);
  cairo_fill(cr);
}

// ---- frames of the faces ----

static Rgb FrameColor(int row, int band) {
  return row < Px(band) ? Darken(BandColor(BandRow(row), band), 0.22) : RgbOf(176, 186, 196);
}
static Rgb MainFrameColor(int row) { return FrameColor(row, kMainBand); }
static Rgb DialogFrameColor(int row) { return FrameColor(row, kDialogBand); }
static Rgb AboutFrameColor(int row) { return FrameColor(row, kAboutBand); }

// The product mark: two overlapping tiles, 简 behind and 繁 in front.
static void DrawMark(cairo_t* cr, double x, double y, double size, Rgb ink) {
  double tile = size * 0.72, r = size * 0.16;
  SetColorA(cr, kWhite, 0.45);
  RoundRect(cr, x, y, tile, tile, r);
  cairo_fill(cr);
  SetColor(cr, kWhite);
  RoundRect(cr, x + size - tile, y + size - tile, tile, tile, r);
  cairo_fill(cr);
  double px = tile * 0.66;
  double cx = x + size - tile / 2, cy = y + size - tile / 2;
  DrawText(cr, "繁", px, 1, cx - tile / 2, TextTopFor(cr, cy, px), tile, 1, ink);
}

// A small mark for the dialogs' band: one white tile with 繁.
static void DrawSmallMark(cairo_t* cr, double x, double y, double size) {
  SetColor(cr, kWhite);
  RoundRect(cr, x, y, size, size, 3.5);
  cairo_fill(cr);
  double px = size * 0.7;
  DrawText(cr, "繁", px, 1, x, TextTopFor(cr, y + size / 2, px), size, 1, kBlue);
}

static void BandBottomLine(cairo_t* cr, int width, int band) {
  FillRow(cr, 0, band - 1, width, Darken(BandColor(band - 1, band), 0.12));
}

cairo_surface_t* DrawMainWindow(void) {
  const int w = 780, h = 520;
  cairo_surface_t* s = NewScaledSurface(w, h);
  cairo_t* cr = BeginScaled(s, w, h);
  FillRect(cr, 0, 0, w, h, kBody);
  FillBand(cr, 0, 0, w, kMainBand, kMainBand);
  BandBottomLine(cr, w, kMainBand);
  DrawMark(cr, 20, 16, 34, kBlue);
  DrawText(cr, "Quorvane 简体繁体字转换器", 19, 1, 66, TextTopFor(cr, 25, 19), 400, 0, kWhite);
  DrawText(cr, "简体与繁体中文  ·  文本即时转换  ·  文件批量转换", 12, 0, 67,
           TextTopFor(cr, 47, 12), 400, 0, Lighten(BandColor(47, kMainBand), 0.72));
  // A hairline around the page area, where the pages sit at (7, 66).
  SetColor(cr, RgbOf(222, 226, 230));
  double x0 = HairX(cr, 6.5), y0 = HairY(cr, kMainBand - 0.5);
  cairo_rectangle(cr, x0, y0, HairX(cr, 6.5 + 767) - x0, HairY(cr, kMainBand - 0.5 + 444) - y0);
  StrokeHair(cr);
  cairo_destroy(cr);
  AvoidKey(s);
  KeyRoundedCorners(s, 8, MainFrameColor);
  return s;
}

cairo_surface_t* DrawDialog(void) {
  const int w = 520, h = 260;
  cairo_surface_t* s = NewScaledSurface(w, h);
  cairo_t* cr = BeginScaled(s, w, h);
  FillRect(cr, 0, 0, w, h, kBody);
  FillBand(cr, 0, 0, w, kDialogBand, kDialogBand);
  BandBottomLine(cr, w, kDialogBand);
  DrawSmallMark(cr, 30, 5, 16);
  cairo_destroy(cr);
  AvoidKey(s);
  KeyRoundedCorners(s, 6, DialogFrameColor);
  return s;
}

cairo_surface_t* DrawAboutBox(void) {
  const int w = 430, h = 240;
  cairo_surface_t* s = NewScaledSurface(w, h);
  cairo_t* cr = BeginScaled(s, w, h);
  FillRect(cr, 0, 0, w, h, kBody);
  FillBand(cr, 0, 0, w, kAboutBand, kAboutBand);
  BandBottomLine(cr, w, kAboutBand);
  // The version text paints itself at (9, 7) - (159, 26) in amber.
  SetColor(cr, kBlue);
  RoundRect(cr, 36, 66, 64, 64, 14);
  cairo_fill(cr);
  DrawMark(cr, 46, 76, 44, kBlue);
  DrawText(cr, "Quorvane 简体繁体字转换器", 19, 1, 118, TextTopFor(cr, 84, 19), 300, 0, kText);
  DrawText(cr, "简体与繁体中文的双向转换工具", 13, 0, 118, TextTopFor(cr, 112, 13), 300, 0,
           kTextSoft);
  FillRow(cr, 36, 164, w - 72, RgbOf(220, 224, 228));
  DrawText(cr, "文本即时转换 · 文件批量转换为 UTF-8", 12, 0, 36, TextTopFor(cr, 186, 12),
           w - 72, 0, kTextSoft);
  DrawText(cr, "词典: OpenCC", 12, 0, 36, TextTopFor(cr, 208, 12), w - 72, 0, kTextSoft);
  DrawText(cr, "© Quorvane", 12, 0, 36, TextTopFor(cr, 208, 12), w - 72, 2, kTextSoft);
  cairo_destroy(cr);
  AvoidKey(s);
  KeyRoundedCorners(s, 6, AboutFrameColor);
  return s;
}

// ---- page faces (766 x 443, placed at (7, 66) of the main window) ----

static cairo_surface_t* NewPage(cairo_t** cr) {
  cairo_surface_t* s = NewScaledSurface(766, 443);
  *cr = BeginScaled(s, 766, 443);
  FillRect(*cr, 0, 0, 766, 443, kBody);
  cairo_set_line_width(*cr, 1);
  return s;
}

static cairo_surface_t* FinishPage(cairo_surface_t* s, cairo_t* cr) {
  cairo_destroy(cr);
  AvoidKey(s);
  return s;
}

cairo_surface_t* DrawEntrancePage(void) {
  cairo_t* cr;
  cairo_surface_t* s = NewPage(&cr);
  // The cards sit at (15, 54), (391, 54), (15, 229) and (391, 229).
  FillRect(cr, 15, 22, 3, 17, kBlue);
  DrawText(cr, "选择一项转换任务", 16, 1, 26, TextTopFor(cr, 30.5, 16), 400, 0, kText);
  FillRow(cr, 15, 412, 736, RgbOf(224, 228, 232));
  DrawText(cr, "简体 ⇄ 繁体  ·  词语级转换,兼顾用字习惯", 12, 0, 0, TextTopFor(cr, 426, 12),
           766, 1, kTextSoft);
  return FinishPage(s, cr);
}

// A framed panel behind a control: the control covers the inside, the
// frame stays visible around it.
static void Panel(cairo_t* cr, double x, double y, double w, double h, Rgb fill) {
  SetColor(cr, fill);
  cairo_rectangle(cr, x, y, w, h);
  cairo_fill(cr);
  SetColor(cr, RgbOf(196, 208, 216));
  double x0 = HairX(cr, x - 0.5), y0 = HairY(cr, y - 0.5);
  cairo_rectangle(cr, x0, y0, HairX(cr, x + w + 0.5) - x0, HairY(cr, y + h + 0.5) - y0);
  StrokeHair(cr);
}

cairo_surface_t* DrawTextPage(void) {
  cairo_t* cr;
  cairo_surface_t* s = NewPage(&cr);
  // Edit boxes at (12, 12) and (12, 224), 743 x 166; Convert at (333, 404).
  Panel(cr, 12, 12, 743, 166, kPanel);
  Panel(cr, 12, 224, 743, 166, kPanel);
  // Between the panels: an arrow from the source down to the result.
  double cx = 383.5, cy = 201;
  SetColor(cr, kBlue);
  cairo_arc(cr, cx, cy, 11, 0, 2 * M_PI);
  cairo_fill(cr);
  SetColor(cr, kWhite);
  cairo_set_line_width(cr, 2);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_move_to(cr, cx, cy - 5);
  cairo_line_to(cr, cx, cy + 5);
  cairo_move_to(cr, cx - 4.5, cy + 0.5);
  cairo_line_to(cr, cx, cy + 5);
  cairo_line_to(cr, cx + 4.5, cy + 0.5);
  cairo_stroke(cr);
  DrawText(cr, "上方输入或粘贴原文", 12, 0, 0, TextTopFor(cr, cy, 12), cx - 20, 2, kTextSoft);
  DrawText(cr, "下方显示转换结果", 12, 0, cx + 20, TextTopFor(cr, cy, 12), 300, 0, kTextSoft);
  return FinishPage(s, cr);
}

cairo_surface_t* DrawFilePage(void) {
  cairo_t* cr;
  cairo_surface_t* s = NewPage(&cr);
  // The list at (8, 8), 766 x 388, runs past the page's right edge; the
  // buttons sit at y 400 from x 218. Left of them: the hint, and below it
  // the page's standard (a control at y 417).
  Panel(cr, 8, 8, 766, 388, kWhite);
  DrawText(cr, "添加 .txt 文件,可一次选择多个", 12, 0, 12, TextTopFor(cr, 406, 12), 200, 0,
           kTextSoft);
  return FinishPage(s, cr);
}

// ---- caption buttons ----

typedef struct {
  int band;           // height of the band the button sits on
  int top;            // its top edge within the band
  enum SysGlyph glyph;
  int frameRow;       // 1: row 0 is the window's frame line
} SysArgs;

static void SysFrame(cairo_t* cr, int w, int h, int state, const void* arg) {
  const SysArgs* a = arg;
  FillBand(cr, 0, 0, w, h, a->band);
  if (a->top > 0) {
    cairo_save(cr);
    cairo_translate(cr, 0, -a->top);
    FillBand(cr, 0, a->top, w, a->top + h, a->band);
    cairo_restore(cr);
  }
  int isClose = a->glyph == kGlyphClose;
  if (state == kHover || state == kPressed) {
    if (isClose) {
      SetColor(cr, state == kPressed ? Darken(kRed, 0.18) : kRed);
    } else {
      SetColorA(cr, state == kPressed ? RgbOf(0, 0, 0) : kWhite, state == kPressed ? 0.14 : 0.2);
    }
    cairo_rectangle(cr, 0, 0, w, h);
    cairo_fill(cr);
  }
  if (a->frameRow) {
    FillRow(cr, 0, 0, w, Darken(BandColor(0, a->band), 0.22));
  }
  double alpha = state == kDisabled ? 0.4 : 1.0;
  SetColorA(cr, kWhite, alpha);
  cairo_set_line_width(cr, 1.3);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  double cx = w / 2.0, cy = h / 2.0 + 0.5, d = state == kPressed ? 0.5 : 0;
  cx += d;
  cy += d;
  switch (a->glyph) {
    case kGlyphMenu:
      for (int i = -1; i <= 1; ++i) {
        cairo_move_to(cr, cx - 5.5, cy + i * 3.5);
        cairo_line_to(cr, cx + 5.5, cy + i * 3.5);
      }
      break;
    case kGlyphMinimise:
      cairo_move_to(cr, cx - 5.5, cy + 0.5);
      cairo_line_to(cr, cx + 5.5, cy + 0.5);
      break;
    case kGlyphClose:
      cairo_move_to(cr, cx - 4.5, cy - 4.5);
      cairo_line_to(cr, cx + 4.5, cy + 4.5);
      cairo_move_to(cr, cx + 4.5, cy - 4.5);
      cairo_line_to(cr, cx - 4.5, cy + 4.5);
      break;
  }
  cairo_stroke(cr);
}

cairo_surface_t* DrawSysButton(enum SysGlyph glyph, int frameWidth) {
  SysArgs a = {kMainBand, 0, glyph, 1};
  return MakeStrip(frameWidth * kFrames, 18, SysFrame, &a);
}

cairo_surface_t* DrawDialogClose(void) {
  SysArgs a = {kDialogBand, 0, kGlyphClose, 1};
  return MakeStrip(175, 18, SysFrame, &a);
}

cairo_surface_t* DrawAboutClose(void) {
  // Placed at (width - 27, 2): its rows continue the band from row 2.
  SysArgs a = {kAboutBand, 2, kGlyphClose, 0};
  return MakeStrip(125, 17, SysFrame, &a);
}

// ---- Back and settings on the main band (44 x 26 at y 34) ----

static void Gear(cairo_t* cr, double cx, double cy) {
  const int teeth = 8;
  cairo_new_path(cr);
  for (int i = 0; i < teeth * 2; ++i) {
    double a0 = (i - 0.5) * M_PI / teeth, a1 = (i + 0.5) * M_PI / teeth;
    double r = (i % 2 == 0) ? 7.6 : 5.6;
    cairo_arc(cr, cx, cy, r, a0, a1);
  }
  cairo_close_path(cr);
  cairo_new_sub_path(cr);
  cairo_arc_negative(cr, cx, cy, 2.6, 2 * M_PI, 0);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
  cairo_fill(cr);
}

static void BandButtonFrame(cairo_t* cr, int w, int h, int state, const void* arg) {
  int settings = *(const int*)arg;
  const int top = 34;
  cairo_save(cr);
  cairo_translate(cr, 0, -top);
  FillBand(cr, 0, top, w, top + h, kMainBand);
  cairo_restore(cr);
  if (state == kHover || state == kPressed) {
    SetColorA(cr, state == kPressed ? RgbOf(0, 0, 0) : kWhite, state == kPressed ? 0.12 : 0.2);
    RoundRect(cr, 3, 1, w - 6, h - 2, 5);
    cairo_fill(cr);
  }
  double d = state == kPressed ? 1 : 0;
  double cx = w / 2.0 + d, cy = h / 2.0 + d;
  SetColorA(cr, kWhite, state == kDisabled ? 0.4 : 1.0);
  if (settings) {
    Gear(cr, cx, cy);
  } else {
    cairo_set_line_width(cr, 2);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_move_to(cr, cx + 7, cy);
    cairo_line_to(cr, cx - 7, cy);
    cairo_move_to(cr, cx - 2, cy - 5);
    cairo_line_to(cr, cx - 7, cy);
    cairo_line_to(cr, cx - 2, cy + 5);
    cairo_stroke(cr);
  }
}

cairo_surface_t* DrawBandButton(int settings) {
  return MakeStrip(220, 26, BandButtonFrame, &settings);
}

// ---- entrance cards (360 x 160) ----

typedef struct {
  const char* title;
  const char* line;
  const char* tag;
  const char* from;
  const char* to;
  int files;
  Rgb color;
} CardArgs;

// One document with a folded corner and a character on it.
static void Document(cairo_t* cr, double x, double y, double w, double h, const char* ch,
                     Rgb paper, Rgb ink, double px) {
  double fold = w * 0.28;
  SetColor(cr, paper);
  cairo_new_path(cr);
  cairo_move_to(cr, x + 3, y);
  cairo_line_to(cr, x + w - fold, y);
  cairo_line_to(cr, x + w, y + fold);
  cairo_line_to(cr, x + w, y + h - 3);
  cairo_arc(cr, x + w - 3, y + h - 3, 3, 0, M_PI / 2);
  cairo_line_to(cr, x + 3, y + h);
  cairo_arc(cr, x + 3, y + h - 3, 3, M_PI / 2, M_PI);
  cairo_line_to(cr, x, y + 3);
  cairo_arc(cr, x + 3, y + 3, 3, M_PI, 3 * M_PI / 2);
  cairo_close_path(cr);
  cairo_fill(cr);
  SetColorA(cr, ink, 0.35);
  cairo_move_to(cr, x + w - fold, y);
  cairo_line_to(cr, x + w - fold, y + fold);
  cairo_line_to(cr, x + w, y + fold);
  cairo_close_path(cr);
  cairo_fill(cr);
  DrawText(cr, ch, px, 1, x, TextTopFor(cr, y + h * 0.58, px), w, 1, ink);
}

static void CurvedArrow(cairo_t* cr, double x0, double y0, double x1, double y1, Rgb c,
                        double alpha) {
  SetColorA(cr, c, alpha);
  cairo_set_line_width(cr, 2.4);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  // A quarter turn from (x0, y0) heading right to (x1, y1) heading down.
  cairo_move_to(cr, x0, y0);
  cairo_curve_to(cr, x0 + (x1 - x0) * 0.55, y0, x1, y0 + (y1 - y0) * 0.45, x1, y1);
  cairo_stroke(cr);
  cairo_move_to(cr, x1 - 4.5, y1 - 5);
  cairo_line_to(cr, x1, y1);
  cairo_line_to(cr, x1 + 4.5, y1 - 5);
  cairo_stroke(cr);
}

static void CardSign(cairo_t* cr, const CardArgs* a, double tx, double ty, double size,
                     Rgb color) {
  // Tile with a soft top light.
  cairo_pattern_t* g = cairo_pattern_create_linear(0, ty, 0, ty + size);
  Rgb top = Lighten(color, 0.12);
  cairo_pattern_add_color_stop_rgb(g, 0, top.r, top.g, top.b);
  cairo_pattern_add_color_stop_rgb(g, 1, color.r, color.g, color.b);
  cairo_set_source(cr, g);
  RoundRect(cr, tx, ty, size, size, 16);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
  if (!a->files) {
    DrawText(cr, a->from, 26, 1, tx + 8, TextTopFor(cr, ty + 29, 26), 40, 1,
             Lighten(color, 0.55));
    DrawText(cr, a->to, 40, 1, tx + 38, TextTopFor(cr, ty + 66, 40), 50, 1, kWhite);
    CurvedArrow(cr, tx + 50, ty + 27, tx + 75, ty + 42, kWhite, 0.9);
  } else {
    Document(cr, tx + 12, ty + 12, 38, 48, a->from, Lighten(color, 0.45), color, 20);
    Document(cr, tx + 42, ty + 38, 42, 52, a->to, kWhite, color, 24);
    CurvedArrow(cr, tx + 54, ty + 22, tx + 70, ty + 33, kWhite, 0.9);
  }
}

static void CardFrame(cairo_t* cr, int w, int h, int state, const void* arg) {
  const CardArgs* a = arg;
  FillRect(cr, 0, 0, w, h, kBody);
  int disabled = state == kDisabled;
  Rgb color = disabled ? Lighten(Grey(a->color), 0.35) : a->color;
  double d = state == kPressed ? 1 : 0;
  // Shadow, then the card.
  if (state != kPressed && !disabled) {
    SetColorA(cr, RgbOf(40, 60, 80), 0.07);
    RoundRect(cr, 1, 2.5, w - 2, h - 3, 9);
    cairo_fill(cr);
  }
  Rgb fill = kWhite, border = RgbOf(220, 225, 230);
  if (state == kHover) {
    fill = Lighten(a->color, 0.93);
    border = Lighten(a->color, 0.45);
  } else if (state == kPressed) {
    fill = Lighten(a->color, 0.85);
    border = Lighten(a->color, 0.3);
  } else if (disabled) {
    fill = RgbOf(236, 236, 236);
    border = RgbOf(214, 214, 214);
  }
  SetColor(cr, fill);
  double x0 = HairX(cr, 0.5 + d), y0 = HairY(cr, 0.5 + d);
  RoundRect(cr, x0, y0, HairX(cr, 0.5 + d + w - 2) - x0, HairY(cr, 0.5 + d + h - 4) - y0, 8);
  cairo_fill_preserve(cr);
  SetColor(cr, border);
  StrokeHair(cr);

  CardSign(cr, a, 26 + d, 30 + d, 96, color);
  Rgb title = disabled ? RgbOf(160, 160, 160) : kText;
  Rgb soft = disabled ? RgbOf(176, 176, 176) : kTextSoft;
  DrawText(cr, a->title, 20, 1, 146 + d, TextTopFor(cr, 56 + d, 20), 190, 0, title);
  DrawText(cr, a->line, 13, 0, 146 + d, TextTopFor(cr, 86 + d, 13), 200, 0, soft);
  double tw = TextWidth(cr, a->tag, 12, 0);
  SetColor(cr, disabled ? RgbOf(226, 226, 226) : Lighten(a->color, 0.86));
  RoundRect(cr, 146 + d, 106 + d, tw + 18, 22, 11);
  cairo_fill(cr);
  DrawText(cr, a->tag, 12, 0, 146 + d, TextTopFor(cr, 117 + d, 12), tw + 18, 1,
           disabled ? soft : Darken(a->color, 0.1));
  // A chevron that wakes up on hover.
  SetColor(cr, state == kHover || state == kPressed ? a->color : RgbOf(196, 202, 208));
  cairo_set_line_width(cr, 2);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_move_to(cr, 334 + d, 72 + d);
  cairo_line_to(cr, 340 + d, 79 + d);
  cairo_line_to(cr, 334 + d, 86 + d);
  cairo_stroke(cr);
}

cairo_surface_t* DrawCard(enum CardKind kind) {
  static const CardArgs cards[] = {
      {"简体转繁体", "把简体中文文字转换为繁体", "文本", "简", "繁", 0, {0, 0, 0}},
      {"繁体转简体", "把繁体中文文字转换为简体", "文本", "繁", "简", 0, {0, 0, 0}},
      {"简体文件转繁体文件", "批量转换简体中文文本文件", "文件 · 批量", "简", "繁", 1, {0, 0, 0}},
      {"繁体文件转简体文件", "批量转换繁体中文文本文件", "文件 · 批量", "繁", "简", 1, {0, 0, 0}},
  };
  CardArgs a = cards[kind];
  a.color = a.files ? kTeal : kBlue;
  return MakeStrip(1800, 160, CardFrame, &a);
}

// ---- folder browse button (26 x 24 on the dialog body) ----

static void BrowseFrame(cairo_t* cr, int w, int h, int state, const void* arg) {
  (void)arg;
  FillRect(cr, 0, 0, w, h, kBody);
  double d = state == kPressed ? 1 : 0;
  if (state == kHover || state == kPressed) {
    SetColor(cr, Lighten(kBlue, state == kPressed ? 0.72 : 0.84));
    double x0 = HairX(cr, 0.5), y0 = HairY(cr, 0.5);
    RoundRect(cr, x0, y0, HairX(cr, w - 0.5) - x0, HairY(cr, h - 0.5) - y0, 4);
    cairo_fill_preserve(cr);
    SetColor(cr, Lighten(kBlue, 0.5));
    StrokeHair(cr);
  }
  Rgb c = state == kDisabled ? RgbOf(180, 180, 180) : RgbOf(230, 168, 50);
  // Folder: tab, back and a lighter front flap.
  SetColor(cr, Darken(c, 0.12));
  RoundRect(cr, 5 + d, 6 + d, 7, 4, 1.2);
  cairo_fill(cr);
  RoundRect(cr, 5 + d, 7.5 + d, 16, 11, 1.5);
  cairo_fill(cr);
  SetColor(cr, Lighten(c, 0.15));
  RoundRect(cr, 5 + d, 10 + d, 16, 8.5, 1.5);
  cairo_fill(cr);
}

cairo_surface_t* DrawBrowseButton(void) { return MakeStrip(130, 24, BrowseFrame, NULL); }

// ---- action buttons (100 x 30 on the body) ----

typedef struct {
  const char* caption;
  Rgb color;
} ActionArgs;

static void ActionFrame(cairo_t* cr, int w, int h, int state, const void* arg) {
  const ActionArgs* a = arg;
  FillRect(cr, 0, 0, w, h, kBody);
  Rgb c = a->color;
  if (state == kHover) c = Lighten(c, 0.12);
  if (state == kPressed) c = Darken(c, 0.14);
  if (state == kDisabled) c = RgbOf(204, 208, 212);
  double d = state == kPressed ? 1 : 0;
  cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 0, h);
  Rgb top = state == kPressed ? c : Lighten(c, 0.08);
  cairo_pattern_add_color_stop_rgb(g, 0, top.r, top.g, top.b);
  cairo_pattern_add_color_stop_rgb(g, 1, c.r, c.g, c.b);
  cairo_set_source(cr, g);
  double x0 = HairX(cr, 0.5), y0 = HairY(cr, 0.5);
  RoundRect(cr, x0, y0, HairX(cr, w - 0.5) - x0, HairY(cr, h - 0.5) - y0, 5);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(g);
  SetColor(cr, Darken(c, 0.1));
  StrokeHair(cr);
  Rgb ink = state == kDisabled ? RgbOf(246, 246, 246) : kWhite;
  DrawText(cr, a->caption, 13, 0, d, TextTopFor(cr, h / 2.0 + d, 13), w, 1, ink);
}

cairo_surface_t* DrawActionButton(const char* caption, enum ActionStyle style) {
  ActionArgs a = {caption, kBlue};
  if (style == kActionSecondary) a.color = kTeal;
  if (style == kActionNeutral) a.color = RgbOf(138, 148, 158);
  if (style == kActionStop) a.color = kRed;
  return MakeStrip(500, 30, ActionFrame, &a);
}

// ---- busy indicator ----

// 18 dots on a ring; each frame moves the head one dot (20 degrees) on, the
// tail fading behind it.
cairo_surface_t* DrawRotates(void) {
  const int frames = 18, size = 128;
  const int dsize = Px(size);
  cairo_surface_t* dots = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, frames * dsize, dsize);
  cairo_t* cr = cairo_create(dots);
  cairo_scale(cr, (double)dsize / size, (double)dsize / size);
  for (int f = 0; f < frames; ++f) {
    double cx = f * size + size / 2.0, cy = size / 2.0;
    for (int k = 0; k < 12; ++k) {
      double angle = (f - k) * 2 * M_PI / frames - M_PI / 2;
      double t = k / 11.0;
      double radius = 5.2 - 2.6 * t;
      Rgb c = Mix(kBlue, Lighten(kBlueSoft, 0.55), t);
      SetColorA(cr, c, 1.0 - 0.55 * t);
      cairo_arc(cr, cx + 38 * cos(angle), cy + 38 * sin(angle), radius, 0, 2 * M_PI);
      cairo_fill(cr);
    }
  }
  cairo_destroy(cr);
  // Over the dialog body where anything is drawn; the key where nothing is.
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, frames * dsize, dsize);
  cr = cairo_create(s);
  FillRect(cr, 0, 0, frames * dsize, dsize, kBody);
  cairo_set_source_surface(cr, dots, 0, 0);
  cairo_paint(cr);
  cairo_destroy(cr);
  cairo_surface_flush(dots);
  cairo_surface_flush(s);
  const unsigned char* src = cairo_image_surface_get_data(dots);
  unsigned char* dst = cairo_image_surface_get_data(s);
  int stride = cairo_image_surface_get_stride(s);
  for (int y = 0; y < dsize; ++y) {
    for (int x = 0; x < frames * dsize; ++x) {
      const unsigned char* p = src + y * stride + x * 4;
      unsigned char* q = dst + y * stride + x * 4;
      if (p[3] == 0) {
        q[0] = 255;
        q[1] = 0;
        q[2] = 255;
      }
    }
  }
  cairo_surface_mark_dirty(s);
  cairo_surface_destroy(dots);
  return s;
}
