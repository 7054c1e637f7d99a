// Drawing helpers of the skin art generator: colours, the shared band
// gradient, text in the CJK font, rounded shapes and the colour key.
#pragma once
#include <cairo.h>

#include <stdint.h>

typedef struct {
  double r, g, b;  // 0..1
} Rgb;

Rgb RgbOf(int r, int g, int b);
Rgb Mix(Rgb a, Rgb b, double t);  // t = 0 gives a, 1 gives b
Rgb Lighten(Rgb c, double t);     // towards white
Rgb Darken(Rgb c, double t);      // towards black
Rgb Grey(Rgb c);                  // the same lightness without hue
void SetColor(cairo_t* cr, Rgb c);
void SetColorA(cairo_t* cr, Rgb c, double alpha);

// The palette every picture is built from.
extern const Rgb kText;        // body text RGB(64,64,64)
extern const Rgb kTextSoft;    // secondary lines
extern const Rgb kBody;        // window and page body RGB(241,241,241)
extern const Rgb kPanel;       // edit panels RGB(238,247,246)
extern const Rgb kWhite;
extern const Rgb kBlue;        // accent RGB(20,142,195)
extern const Rgb kBlueSoft;    // RGB(91,147,209)
extern const Rgb kTeal;        // RGB(75,145,180)
extern const Rgb kLine;        // 1 px frames on the body
extern const Rgb kRed;         // close-on-hover, stop

// The scale the pictures are drawn at, as a DPI (96 is 100%). Every picture
// is designed in 100% units; its surface is the 100% size scaled and
// rounded to whole pixels, and its drawing is scaled to fill that surface.
void SetArtDpi(int dpi);
int ArtDpi(void);
int Px(int v);  // a 100% length in pixels at the scale, rounded half up
double BandRow(int row);  // the 100% row (with fraction) a device row shows
// A surface for a picture of w x h at 100% and a context drawing in 100%
// units on it.
cairo_surface_t* NewScaledSurface(int w, int h);
cairo_t* BeginScaled(cairo_surface_t* s, int w, int h);

// One-pixel lines stay one device pixel at every scale, on the device pixel
// their 100% pixel becomes. HairX/HairY turn a 100% line centre (n + 0.5)
// into the user coordinate of that device pixel's centre; StrokeHair strokes
// the current path one device pixel wide; FillRow and FillCol fill the one
// device row or column that 100% row y or column x becomes.
double HairX(cairo_t* cr, double x);
double HairY(cairo_t* cr, double y);
void StrokeHair(cairo_t* cr);
void FillRow(cairo_t* cr, double x, double y, double w, Rgb c);

// Title bands: a soft vertical gradient; `height` is the band's height.
// `y` is a row of the band in 100% units (fractions between rows).
Rgb BandColor(double y, int height);
// Fills rows [y0, y1) (100% units) with the band of `height`, one colour per
// device row.
void FillBand(cairo_t* cr, int x, int y0, int width, int y1, int height);

// Rounded rectangle path.
void RoundRect(cairo_t* cr, double x, double y, double w, double h, double r);

// Text in WenQuanYi Micro Hei, `px` pixels high. `align` 0 left, 1 centre,
// 2 right within [x, x + w); `y` is the top of the line box. Returns the
// drawn width.
double DrawText(cairo_t* cr, const char* utf8, double px, int bold, double x, double y,
                double w, int align, Rgb color);
double TextWidth(cairo_t* cr, const char* utf8, double px, int bold);
// Vertical centre of a line of `px` pixels placed so that it is centred on
// `cy`: the `y` to give DrawText.
double TextTopFor(cairo_t* cr, double cy, double px);

// The colour key: RGB(255,0,255) marks transparent pixels.
extern const Rgb kKey;
int IsKey(const uint8_t* bgra);

// Window faces: keys every pixel outside a rounded rectangle of radius r
// (100% units) covering the whole surface, and draws a one-device-pixel
// frame inside its edge (frame colour per device row from `frame_at`).
typedef Rgb (*FrameColorFn)(int row);
void KeyRoundedCorners(cairo_surface_t* s, double radius, FrameColorFn frame_at);

// Makes sure no pixel is the key by accident: (255,0,255) becomes
// (255,0,254). For pictures that carry no transparency.
void AvoidKey(cairo_surface_t* s);

// Writes the surface as an uncompressed 24-bit bottom-up DIB. 0 on success.
int WriteBmp(cairo_surface_t* s, const char* path);
