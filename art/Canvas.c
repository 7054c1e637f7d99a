#include "Canvas.h"

#include <math.h>
#include <pango/pangocairo.h>
#include <stdio.h>
#include <stdlib.h>

Rgb RgbOf(int r, int g, int b) {
  Rgb c = {r / 255.0, g / 255.0, b / 255.0};
  return c;
}

Rgb Mix(Rgb a, Rgb b, double t) {
  Rgb c = {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
  return c;
}

Rgb Lighten(Rgb c, double t) { return Mix(c, RgbOf(255, 255, 255), t); }
Rgb Darken(Rgb c, double t) { return Mix(c, RgbOf(0, 0, 0), t); }

Rgb Grey(Rgb c) {
  double l = 0.30 * c.r + 0.59 * c.g + 0.11 * c.b;
  Rgb g = {l, l, l};
  return g;
}

void SetColor(cairo_t* cr, Rgb c) { cairo_set_source_rgb(cr, c.r, c.g, c.b); }
void SetColorA(cairo_t* cr, Rgb c, double alpha) {
  cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha);
}

const Rgb kText = {64 / 255.0, 64 / 255.0, 64 / 255.0};
const Rgb kTextSoft = {128 / 255.0, 134 / 255.0, 140 / 255.0};
const Rgb kBody = {241 / 255.0, 241 / 255.0, 241 / 255.0};
const Rgb kPanel = {238 / 255.0, 247 / 255.0, 246 / 255.0};
const Rgb kWhite = {1, 1, 1};
const Rgb kBlue = {20 / 255.0, 142 / 255.0, 195 / 255.0};
const Rgb kBlueSoft = {91 / 255.0, 147 / 255.0, 209 / 255.0};
const Rgb kTeal = {75 / 255.0, 145 / 255.0, 180 / 255.0};
const Rgb kLine = {206 / 255.0, 212 / 255.0, 218 / 255.0};
const Rgb kRed = {214 / 255.0, 78 / 255.0, 66 / 255.0};
const Rgb kKey = {1, 0, 1};

static int g_dpi = 96;

void SetArtDpi(int dpi) { g_dpi = dpi > 0 ? dpi : 96; }
int ArtDpi(void) { return g_dpi; }
int Px(int v) { return (int)(((long)v * g_dpi + 48) / 96); }
double BandRow(int row) { return (row + 0.5) * 96.0 / g_dpi - 0.5; }

cairo_surface_t* NewScaledSurface(int w, int h) {
  return cairo_image_surface_create(CAIRO_FORMAT_ARGB32, Px(w), Px(h));
}

cairo_t* BeginScaled(cairo_surface_t* s, int w, int h) {
  cairo_t* cr = cairo_create(s);
  cairo_scale(cr, (double)cairo_image_surface_get_width(s) / w,
              (double)cairo_image_surface_get_height(s) / h);
  return cr;
}

// The device pixel index that the 100% pixel index `k` becomes along one axis
// with scale `f` and offset `o` (the pixel whose span holds k's scaled start).
static double DevicePixel(double k, double f, double o) { return floor(k * f + o + 0.5); }

double HairX(cairo_t* cr, double x) {
  cairo_matrix_t m;
  cairo_get_matrix(cr, &m);
  return (DevicePixel(floor(x), m.xx, m.x0) + 0.5 - m.x0) / m.xx;
}

double HairY(cairo_t* cr, double y) {
  cairo_matrix_t m;
  cairo_get_matrix(cr, &m);
  return (DevicePixel(floor(y), m.yy, m.y0) + 0.5 - m.y0) / m.yy;
}

void StrokeHair(cairo_t* cr) {
  cairo_save(cr);
  cairo_identity_matrix(cr);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  cairo_restore(cr);
}

void FillRow(cairo_t* cr, double x, double y, double w, Rgb c) {
  cairo_matrix_t m;
  cairo_get_matrix(cr, &m);
  double row = DevicePixel(floor(y), m.yy, m.y0);
  double x0 = floor(x * m.xx + m.x0 + 0.5), x1 = floor((x + w) * m.xx + m.x0 + 0.5);
  cairo_save(cr);
  cairo_identity_matrix(cr);
  SetColor(cr, c);
  cairo_rectangle(cr, x0, row, x1 - x0, 1);
  cairo_fill(cr);
  cairo_restore(cr);
}

Rgb BandColor(double y, int height) {
  // Lighter at the top, settling on the accent blue at the bottom.
  Rgb top = RgbOf(58, 160, 214);
  Rgb bottom = RgbOf(22, 134, 188);
  double t = height > 1 ? y / (height - 1) : 0;
  if (t < 0) t = 0;
  if (t > 1) t = 1;
  return Mix(top, bottom, t);
}

void FillBand(cairo_t* cr, int x, int y0, int width, int y1, int height) {
  cairo_matrix_t m;
  cairo_get_matrix(cr, &m);
  double d0 = floor(y0 * m.yy + m.y0 + 0.5), d1 = floor(y1 * m.yy + m.y0 + 0.5);
  double x0 = floor(x * m.xx + m.x0 + 0.5), x1 = floor((x + width) * m.xx + m.x0 + 0.5);
  cairo_save(cr);
  cairo_identity_matrix(cr);
  for (double row = d0; row < d1; ++row) {
    // The 100% row this device row shows, fractions between rows: at 100%
    // exactly the row itself.
    double y = (row + 0.5 - m.y0) / m.yy - 0.5;
    SetColor(cr, BandColor(y, height));
    cairo_rectangle(cr, x0, row, x1 - x0, 1);
    cairo_fill(cr);
  }
  cairo_restore(cr);
}

void RoundRect(cairo_t* cr, double x, double y, double w, double h, double r) {
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
  cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
  cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
  cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
  cairo_close_path(cr);
}

static PangoLayout* MakeLayout(cairo_t* cr, const char* utf8, double px, int bold) {
  PangoLayout* layout = pango_cairo_create_layout(cr);
  PangoFontDescription* font = pango_font_description_from_string("WenQuanYi Micro Hei");
  pango_font_description_set_absolute_size(font, px * PANGO_SCALE);
  pango_font_description_set_weight(font, bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
  pango_layout_set_font_description(layout, font);
  pango_font_description_free(font);
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
  pango_cairo_context_set_font_options(pango_layout_get_context(layout), options);
  cairo_font_options_destroy(options);
  pango_layout_context_changed(layout);
  pango_layout_set_text(layout, utf8, -1);
  return layout;
}

double TextWidth(cairo_t* cr, const char* utf8, double px, int bold) {
  PangoLayout* layout = MakeLayout(cr, utf8, px, bold);
  PangoRectangle ink, logical;
  pango_layout_get_pixel_extents(layout, &ink, &logical);
  g_object_unref(layout);
  return logical.width;
}

double TextTopFor(cairo_t* cr, double cy, double px) {
  // Centre the glyphs' ink (a CJK ideograph fills most of the em box), not
  // the line box with its leading.
  PangoLayout* layout = MakeLayout(cr, "繁", px, 0);
  PangoRectangle ink, logical;
  pango_layout_get_pixel_extents(layout, &ink, &logical);
  g_object_unref(layout);
  return cy - (ink.y + ink.height / 2.0);
}

double DrawText(cairo_t* cr, const char* utf8, double px, int bold, double x, double y,
                double w, int align, Rgb color) {
  PangoLayout* layout = MakeLayout(cr, utf8, px, bold);
  PangoRectangle ink, logical;
  pango_layout_get_pixel_extents(layout, &ink, &logical);
  double left = x;
  if (align == 1) left = x + (w - logical.width) / 2.0;
  if (align == 2) left = x + w - logical.width;
  cairo_save(cr);
  SetColor(cr, color);
  // The line box starts on a whole device pixel.
  double dx = left, dy = y;
  cairo_user_to_device(cr, &dx, &dy);
  dx = floor(dx + 0.5);
  dy = floor(dy + 0.5);
  cairo_device_to_user(cr, &dx, &dy);
  cairo_move_to(cr, dx, dy);
  pango_cairo_show_layout(cr, layout);
  cairo_restore(cr);
  g_object_unref(layout);
  return logical.width;
}

int IsKey(const uint8_t* bgra) { return bgra[0] == 255 && bgra[1] == 0 && bgra[2] == 255; }

static void PutPixel(uint8_t* p, Rgb c) {
  p[0] = (uint8_t)lround(c.b * 255);
  p[1] = (uint8_t)lround(c.g * 255);
  p[2] = (uint8_t)lround(c.r * 255);
  p[3] = 255;
}

static Rgb GetPixel(const uint8_t* p) {
  Rgb c = {p[2] / 255.0, p[1] / 255.0, p[0] / 255.0};
  return c;
}

// Signed distance from the pixel centre to the edge of a rounded rectangle
// covering [0, w) x [0, h): negative inside.
static double RoundRectDistance(double px, double py, double w, double h, double r) {
  double qx = fabs(px - w / 2) - (w / 2 - r);
  double qy = fabs(py - h / 2) - (h / 2 - r);
  double ox = qx > 0 ? qx : 0, oy = qy > 0 ? qy : 0;
  double outside = sqrt(ox * ox + oy * oy);
  double inside = qx > qy ? qx : qy;
  if (inside > 0) inside = 0;
  return outside + inside - r;
}

void KeyRoundedCorners(cairo_surface_t* s, double radius, FrameColorFn frame_at) {
  cairo_surface_flush(s);
  int w = cairo_image_surface_get_width(s), h = cairo_image_surface_get_height(s);
  int stride = cairo_image_surface_get_stride(s);
  uint8_t* data = cairo_image_surface_get_data(s);
  const double f = ArtDpi() / 96.0;
  const double r = radius * f;
  for (int y = 0; y < h; ++y) {
    const Rgb frame = frame_at(y);
    for (int x = 0; x < w; ++x) {
      uint8_t* p = data + y * stride + x * 4;
      double d = RoundRectDistance(x + 0.5, y + 0.5, w, h, r);
      if (d > 0) {
        PutPixel(p, kKey);  // outside: transparent
      } else if (d > -1) {
        PutPixel(p, frame);
      } else if (d > -2 && (x < r || x >= w - r) && (y < r || y >= h - r)) {
        // One pixel of blend keeps the curved frame smooth; the straight
        // edges stay one pixel wide, as the buttons laid over them expect.
        PutPixel(p, Mix(frame, GetPixel(p), -d - 1));
      }
    }
  }
  cairo_surface_mark_dirty(s);
}

void AvoidKey(cairo_surface_t* s) {
  cairo_surface_flush(s);
  int w = cairo_image_surface_get_width(s), h = cairo_image_surface_get_height(s);
  int stride = cairo_image_surface_get_stride(s);
  uint8_t* data = cairo_image_surface_get_data(s);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      uint8_t* p = data + y * stride + x * 4;
      if (IsKey(p)) p[0] = 254;
    }
  }
  cairo_surface_mark_dirty(s);
}

static void Put16(FILE* f, unsigned v) {
  fputc(v & 0xFF, f);
  fputc((v >> 8) & 0xFF, f);
}
static void Put32(FILE* f, unsigned long v) {
  Put16(f, v & 0xFFFF);
  Put16(f, (v >> 16) & 0xFFFF);
}

int WriteBmp(cairo_surface_t* s, const char* path) {
  cairo_surface_flush(s);
  int w = cairo_image_surface_get_width(s), h = cairo_image_surface_get_height(s);
  int stride = cairo_image_surface_get_stride(s);
  const uint8_t* data = cairo_image_surface_get_data(s);
  unsigned long row = ((unsigned long)w * 3 + 3) & ~3UL;
  unsigned long image = row * h;
  FILE* f = fopen(path, "wb");
  if (!f) return -1;
  // BITMAPFILEHEADER
  fputc('B', f);
  fputc('M', f);
  Put32(f, 14 + 40 + image);
  Put32(f, 0);
  Put32(f, 14 + 40);
  // BITMAPINFOHEADER: bottom-up, 24 bits, BI_RGB
  Put32(f, 40);
  Put32(f, w);
  Put32(f, h);
  Put16(f, 1);
  Put16(f, 24);
  Put32(f, 0);
  Put32(f, image);
  Put32(f, 2835);
  Put32(f, 2835);
  Put32(f, 0);
  Put32(f, 0);
  for (int y = h - 1; y >= 0; --y) {
    const uint8_t* p = data + y * stride;
    for (int x = 0; x < w; ++x) {
      fputc(p[x * 4 + 0], f);
      fputc(p[x * 4 + 1], f);
      fputc(p[x * 4 + 2], f);
    }
    for (unsigned long pad = (unsigned long)w * 3; pad < row; ++pad) fputc(0, f);
  }
  return fclose(f) == 0 ? 0 : -1;
}
