// Deterministic sample bitmaps (see bitmaps.h).
#include "tools/imaging/bitmaps.h"

#include <algorithm>
#include <random>

#include "tools/imaging/canvas.h"

namespace zk::imaging {

Bitmap all_white(int width, int height) { return Bitmap(width, height); }

Bitmap all_black(int width, int height) {
  Bitmap b(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) b.set(x, y);
  return b;
}

Bitmap noise(int width, int height, uint32_t number, double black) {
  Bitmap b(width, height);
  std::mt19937 rng(number);
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

Bitmap text_page(int width, int height, uint32_t number) {
  Bitmap b(width, height);
  Canvas c(b);
  std::mt19937 rng(number);
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

Bitmap line_drawing(int width, int height, uint32_t number) {
  Bitmap b(width, height);
  Canvas c(b);
  std::mt19937 rng(number);
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

}  // namespace zk::imaging
