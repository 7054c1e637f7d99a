/* Draws the program's icon at build time: a blue rounded square in the
 * skin's title band colours with two white arrows, one each way, for the
 * two directions of conversion. Writes a .ico with 16, 24, 32, 48 and 256
 * pixel images (32-bit with alpha).
 *
 *   icongen OUT.ico
 */
#include <math.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

typedef struct { double x, y; } Pt;

static int InRoundRect(double x, double y, double l, double t, double r, double b, double rad) {
  if (x < l || x > r || y < t || y > b) return 0;
  double cx = x < l + rad ? l + rad : (x > r - rad ? r - rad : x);
  double cy = y < t + rad ? t + rad : (y > b - rad ? b - rad : y);
  return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= rad * rad;
}

static double Cross(Pt a, Pt b, Pt p) { return (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x); }

static int InTriangle(double x, double y, Pt a, Pt b, Pt c) {
  Pt p = {x, y};
  double d1 = Cross(a, b, p), d2 = Cross(b, c, p), d3 = Cross(c, a, p);
  int neg = d1 < 0 || d2 < 0 || d3 < 0, pos = d1 > 0 || d2 > 0 || d3 > 0;
  return !(neg && pos);
}

static int InRect(double x, double y, double l, double t, double r, double b) {
  return x >= l && x <= r && y >= t && y <= b;
}

/* White marks: an arrow to the right above, one to the left below. */
static int InMark(double x, double y) {
  if (InRect(x, y, 0.20, 0.305, 0.64, 0.395)) return 1;
  if (InTriangle(x, y, (Pt){0.60, 0.19}, (Pt){0.83, 0.35}, (Pt){0.60, 0.51})) return 1;
  if (InRect(x, y, 0.36, 0.605, 0.80, 0.695)) return 1;
  if (InTriangle(x, y, (Pt){0.40, 0.49}, (Pt){0.17, 0.65}, (Pt){0.40, 0.81})) return 1;
  return 0;
}

/* One pixel as premultiplied-free BGRA, 4x4 supersampled. */
static void Shade(int size, int px, int py, uint8_t out[4]) {
  const int n = 4;
  double a = 0, r = 0, g = 0, b = 0;
  for (int sy = 0; sy < n; ++sy) {
    for (int sx = 0; sx < n; ++sx) {
      double x = (px + (sx + 0.5) / n) / size, y = (py + (sy + 0.5) / n) / size;
      if (!InRoundRect(x, y, 0.03, 0.03, 0.97, 0.97, 0.20)) continue;
      a += 1;
      if (InMark(x, y)) {
        r += 255; g += 255; b += 255;
      } else {
        /* The band's gradient: RGB(91,147,209) at the top to RGB(20,142,195). */
        r += 91 + (20 - 91) * y;
        g += 147 + (142 - 147) * y;
        b += 209 + (195 - 209) * y;
      }
    }
  }
  if (a == 0) {
    memset(out, 0, 4);
    return;
  }
  out[0] = (uint8_t)lround(b / a);
  out[1] = (uint8_t)lround(g / a);
  out[2] = (uint8_t)lround(r / a);
  out[3] = (uint8_t)lround(255.0 * a / (n * n));
}

static void Put16(FILE* f, unsigned v) { fputc(v & 255, f); fputc((v >> 8) & 255, f); }
static void Put32(FILE* f, unsigned v) { Put16(f, v & 0xFFFF); Put16(f, v >> 16); }

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: icongen OUT.ico\n");
    return 2;
  }
  static const int sizes[] = {16, 24, 32, 48, 256};
  const int count = sizeof sizes / sizeof sizes[0];
  unsigned offset = 6 + 16 * count;
  unsigned bytes[5];
  for (int i = 0; i < count; ++i) {
    int s = sizes[i], maskRow = ((s + 31) / 32) * 4;
    bytes[i] = 40 + s * s * 4 + maskRow * s;
  }
  FILE* f = fopen(argv[1], "wb");
  if (!f) {
    perror(argv[1]);
    return 1;
  }
  Put16(f, 0); Put16(f, 1); Put16(f, (unsigned)count);
  for (int i = 0; i < count; ++i) {
    int s = sizes[i];
    fputc(s >= 256 ? 0 : s, f); fputc(s >= 256 ? 0 : s, f); fputc(0, f); fputc(0, f);
    Put16(f, 1); Put16(f, 32); Put32(f, bytes[i]); Put32(f, offset);
    offset += bytes[i];
  }
  for (int i = 0; i < count; ++i) {
    int s = sizes[i], maskRow = ((s + 31) / 32) * 4;
    Put32(f, 40); Put32(f, (unsigned)s); Put32(f, (unsigned)(2 * s)); Put16(f, 1); Put16(f, 32);
    Put32(f, 0); Put32(f, (unsigned)(s * s * 4)); Put32(f, 0); Put32(f, 0); Put32(f, 0); Put32(f, 0);
    for (int y = s - 1; y >= 0; --y) {  /* bottom-up */
      for (int x = 0; x < s; ++x) {
        uint8_t px[4];
        Shade(s, x, y, px);
        fwrite(px, 1, 4, f);
      }
    }
    /* The AND mask: transparent where alpha is zero. */
    for (int y = s - 1; y >= 0; --y) {
      uint8_t row[64] = {0};
      for (int x = 0; x < s; ++x) {
        uint8_t px[4];
        Shade(s, x, y, px);
        if (px[3] == 0) row[x / 8] |= (uint8_t)(0x80 >> (x % 8));
      }
      fwrite(row, 1, (size_t)maskRow, f);
    }
  }
  if (fclose(f) != 0) {
    perror(argv[1]);
    return 1;
  }
  return 0;
}
