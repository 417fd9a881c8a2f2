// Deterministic test bitmaps (see bitmaps.h).
#include "image/bitmaps.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <cstdlib>
#include <random>

namespace zk::test {

namespace {

// Digits 0..9 in a 5 x 7 font, one row per byte, bit 4 leftmost.
constexpr uint8_t kDigits[10][7] = {
    {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}, {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E},
    {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}, {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E},
    {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}, {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E},
    {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}, {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08},
    {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}, {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C},
};

class Canvas {
 public:
  explicit Canvas(Bitmap& b) : b_(b) {}
  void dot(int x, int y) {
    if (x >= 0 && y >= 0 && x < b_.width && y < b_.height) b_.set(x, y);
  }
  void brush(int x, int y, int t) {
    for (int dy = 0; dy < t; ++dy)
      for (int dx = 0; dx < t; ++dx) dot(x + dx - t / 2, y + dy - t / 2);
  }
  void line(int x0, int y0, int x1, int y1, int t = 1) {
    const int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
    const int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
      brush(x0, y0, t);
      if (x0 == x1 && y0 == y1) break;
      const int e2 = 2 * err;
      if (e2 >= dy) err += dy, x0 += sx;
      if (e2 <= dx) err += dx, y0 += sy;
    }
  }
  void rect(int x0, int y0, int x1, int y1, int t = 1) {
    line(x0, y0, x1, y0, t);
    line(x1, y0, x1, y1, t);
    line(x1, y1, x0, y1, t);
    line(x0, y1, x0, y0, t);
  }
  void fill(int x0, int y0, int x1, int y1) {
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x) dot(x, y);
  }
  void circle(int cx, int cy, int r, int t = 1) {
    const int steps = std::max(16, 8 * r);
    for (int i = 0; i < steps; ++i) {
      const double a = 2 * std::numbers::pi * i / steps;
      brush(cx + static_cast<int>(std::lround(r * std::cos(a))), cy + static_cast<int>(std::lround(r * std::sin(a))), t);
    }
  }
  // Diagonal hatching inside a rectangle, lines `gap` pixels apart.
  void hatch(int x0, int y0, int x1, int y1, int gap) {
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x)
        if ((x + y) % gap == 0) dot(x, y);
  }
  void digit(int x, int y, int d, int scale) {
    for (int r = 0; r < 7; ++r)
      for (int c = 0; c < 5; ++c)
        if (kDigits[d][r] & (0x10 >> c)) fill(x + c * scale, y + r * scale, x + c * scale + scale - 1, y + r * scale + scale - 1);
  }
  // A glyph of random strokes in a 5 x 7 cell, like a letter at a glance.
  void glyph(int x, int y, int scale, std::mt19937& rng) {
    std::uniform_int_distribution<int> bit(0, 2);
    for (int r = 0; r < 7; ++r)
      for (int c = 0; c < 5; ++c)
        if (bit(rng) == 0) fill(x + c * scale, y + r * scale, x + c * scale + scale - 1, y + r * scale + scale - 1);
  }
  void number(int x, int y, int value, int scale) {
    const std::string s = std::to_string(value);
    for (size_t i = 0; i < s.size(); ++i) digit(x + static_cast<int>(i) * 6 * scale, y, s[i] - '0', scale);
  }
  void words(int x, int y, int count, int scale, std::mt19937& rng) {
    std::uniform_int_distribution<int> len(2, 9);
    for (int w = 0; w < count; ++w) {
      const int n = len(rng);
      for (int i = 0; i < n; ++i, x += 6 * scale) glyph(x, y, scale, rng);
      x += 4 * scale;
    }
  }

 private:
  Bitmap& b_;
};

}  // namespace

Bitmap all_white(int width, int height) { return Bitmap(width, height); }

Bitmap all_black(int width, int height) {
  Bitmap b(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) b.set(x, y);
  return b;
}

Bitmap noise(int width, int height, uint32_t seed, double black) {
  Bitmap b(width, height);
  std::mt19937 rng(seed);
  std::bernoulli_distribution d(black);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      if (d(rng)) b.set(x, y);
  return b;
}

Bitmap vertical_stripes(int width, int height) {
  Bitmap b(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 1; x < width; x += 2) b.set(x, y);
  return b;
}

Bitmap horizontal_stripes(int width, int height) {
  Bitmap b(width, height);
  for (int y = 1; y < height; y += 2)
    for (int x = 0; x < width; ++x) b.set(x, y);
  return b;
}

Bitmap text_page(int width, int height, uint32_t seed) {
  Bitmap b(width, height);
  Canvas c(b);
  std::mt19937 rng(seed);
  const int scale = width >= 800 ? 2 : 1;
  const int line_height = 11 * scale;
  std::uniform_int_distribution<int> words(3, 14);
  std::uniform_int_distribution<int> para(0, 7);
  for (int y = 4 * scale; y + 7 * scale < height; y += line_height) {
    if (para(rng) == 0) y += line_height;  // paragraph gap
    c.words(6 * scale, y, words(rng), scale, rng);
  }
  std::uniform_int_distribution<int> px(0, width - 1), py(0, height - 1);
  for (int i = 0; i < width * height / 4000; ++i) c.dot(px(rng), py(rng));  // speckle
  return b;
}

Bitmap line_drawing(int width, int height, uint32_t seed) {
  Bitmap b(width, height);
  Canvas c(b);
  std::mt19937 rng(seed);
  auto uni = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, std::max(lo, hi))(rng); };
  const int w = width, h = height;
  c.rect(2, 2, w - 3, h - 3, 3);  // frame
  // Parts: outlines with bolt holes, some sections hatched.
  const int parts = std::max(1, w * h / 90000);
  for (int i = 0; i < parts; ++i) {
    const int x0 = uni(20, w - 200), y0 = uni(20, h - 160);
    const int x1 = x0 + uni(40, 180), y1 = y0 + uni(30, 140);
    c.rect(x0, y0, std::min(x1, w - 20), std::min(y1, h - 20), uni(1, 3));
    if (uni(0, 2) == 0) c.hatch(x0 + 4, y0 + 4, std::min(x1, w - 20) - 4, std::min(y1, h - 20) - 4, uni(5, 9));
    for (int k = 0; k < uni(0, 4); ++k) c.circle(uni(x0 + 10, x1 - 10), uni(y0 + 10, y1 - 10), uni(3, 12), 2);
    c.line(x0, y0, uni(20, w - 20), uni(20, h - 20), 1);  // a shaft or a centre line
  }
  // Callout numbers in circles with leader lines to the parts.
  const int callouts = std::max(1, w * h / 60000);
  for (int i = 0; i < callouts; ++i) {
    const int cx = uni(30, w - 30), cy = uni(30, h - 30);
    c.circle(cx, cy, 16, 2);
    c.number(cx - 11, cy - 7, uni(1, 99), 2);
    c.line(cx + 16, cy, uni(20, w - 20), uni(20, h - 20), 1);
  }
  // Caption block in the corner.
  if (w > 400 && h > 120) {
    c.rect(w - 380, h - 100, w - 10, h - 10, 2);
    for (int y = h - 90; y < h - 20; y += 22) c.words(w - 370, y, 4, 2, rng);
  }
  return b;
}

std::vector<NamedBitmap> illustration_set() {
  constexpr int kW = 1616, kH = 1158;
  std::vector<NamedBitmap> set;
  set.push_back({"drawing_a", line_drawing(kW, kH, 1)});
  set.push_back({"drawing_b", line_drawing(kW, kH, 2)});
  set.push_back({"drawing_c", line_drawing(kW, kH, 3)});
  set.push_back({"text_page", text_page(kW, kH, 4)});
  set.push_back({"noise", noise(kW, kH, 5)});
  return set;
}

}  // namespace zk::test
