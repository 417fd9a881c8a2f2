// The drawing primitives and the dot font of the generated illustrations.
#include "tools/imaging/canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

namespace zk::imaging {

namespace {

// The dot font: 7 rows of 5 dots per character, bit 4 leftmost.
using Glyph = uint8_t[7];
constexpr Glyph kDigits[10] = {
    {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}, {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E},
    {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}, {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E},
    {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}, {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E},
    {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}, {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08},
    {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}, {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C},
};
constexpr Glyph kLetters[26] = {
    {0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}, {0x1E, 0x11, 0x11, 0x1E, 0x11, 0x11, 0x1E},  // A B
    {0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E}, {0x1C, 0x12, 0x11, 0x11, 0x11, 0x12, 0x1C},  // C D
    {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F}, {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10},  // E F
    {0x0E, 0x11, 0x10, 0x17, 0x11, 0x11, 0x0F}, {0x11, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11},  // G H
    {0x0E, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E}, {0x07, 0x02, 0x02, 0x02, 0x02, 0x12, 0x0C},  // I J
    {0x11, 0x12, 0x14, 0x18, 0x14, 0x12, 0x11}, {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F},  // K L
    {0x11, 0x1B, 0x15, 0x15, 0x11, 0x11, 0x11}, {0x11, 0x11, 0x19, 0x15, 0x13, 0x11, 0x11},  // M N
    {0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}, {0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10},  // O P
    {0x0E, 0x11, 0x11, 0x11, 0x15, 0x12, 0x0D}, {0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11},  // Q R
    {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E}, {0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04},  // S T
    {0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}, {0x11, 0x11, 0x11, 0x11, 0x11, 0x0A, 0x04},  // U V
    {0x11, 0x11, 0x11, 0x15, 0x15, 0x15, 0x0A}, {0x11, 0x11, 0x0A, 0x04, 0x0A, 0x11, 0x11},  // W X
    {0x11, 0x11, 0x11, 0x0A, 0x04, 0x04, 0x04}, {0x1F, 0x01, 0x02, 0x04, 0x08, 0x10, 0x1F},  // Y Z
};
constexpr Glyph kHyphen = {0x00, 0x00, 0x00, 0x1F, 0x00, 0x00, 0x00};
constexpr Glyph kPeriod = {0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C};
constexpr Glyph kSlash = {0x00, 0x01, 0x02, 0x04, 0x08, 0x10, 0x00};

const uint8_t* glyph_of(char c) {
  if (c >= '0' && c <= '9') return kDigits[c - '0'];
  if (c >= 'A' && c <= 'Z') return kLetters[c - 'A'];
  if (c >= 'a' && c <= 'z') return kLetters[c - 'a'];
  if (c == '-') return kHyphen;
  if (c == '.') return kPeriod;
  if (c == '/') return kSlash;
  return nullptr;
}

// Bresenham's walk from (x0, y0) to (x1, y1): at(x, y, step) for every point.
template <typename At>
void walk(int x0, int y0, int x1, int y1, At&& at) {
  const int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
  const int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
  int err = dx + dy;
  for (int step = 0;; ++step) {
    at(x0, y0, step);
    if (x0 == x1 && y0 == y1) break;
    const int e2 = 2 * err;
    if (e2 >= dy) err += dy, x0 += sx;
    if (e2 <= dx) err += dx, y0 += sy;
  }
}

}  // namespace

void Canvas::dot(int x, int y, bool black) {
  if (x >= 0 && y >= 0 && x < b_.width && y < b_.height) b_.set(x, y, black);
}

void Canvas::brush(int x, int y, int t) {
  for (int dy = 0; dy < t; ++dy)
    for (int dx = 0; dx < t; ++dx) dot(x + dx - t / 2, y + dy - t / 2);
}

void Canvas::line(int x0, int y0, int x1, int y1, int t) {
  walk(x0, y0, x1, y1, [&](int x, int y, int) { brush(x, y, t); });
}

void Canvas::dashed_line(int x0, int y0, int x1, int y1, int dash, int gap) {
  const int period = std::max(dash, 1) + std::max(gap, 0);
  walk(x0, y0, x1, y1, [&](int x, int y, int step) {
    if (step % period < dash) dot(x, y);
  });
}

void Canvas::rect(int x0, int y0, int x1, int y1, int t) {
  line(x0, y0, x1, y0, t);
  line(x1, y0, x1, y1, t);
  line(x1, y1, x0, y1, t);
  line(x0, y1, x0, y0, t);
}

void Canvas::fill(int x0, int y0, int x1, int y1, bool black) {
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) dot(x, y, black);
}

void Canvas::circle(int cx, int cy, int r, int t) { ellipse(cx, cy, r, r, t); }

void Canvas::ellipse(int cx, int cy, int rx, int ry, int t) {
  const int steps = std::max(16, 8 * std::max(rx, ry));
  for (int i = 0; i < steps; ++i) {
    const double a = 2 * std::numbers::pi * i / steps;
    brush(cx + static_cast<int>(std::lround(rx * std::cos(a))), cy + static_cast<int>(std::lround(ry * std::sin(a))),
          t);
  }
}

void Canvas::hatch(int x0, int y0, int x1, int y1, int gap) {
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x)
      if ((x + y) % gap == 0) dot(x, y);
}

void Canvas::text(int x, int y, const std::string& s, int scale) {
  for (size_t i = 0; i < s.size(); ++i) {
    const uint8_t* g = glyph_of(s[i]);
    if (g == nullptr) continue;
    const int left = x + static_cast<int>(i) * 6 * scale;
    for (int r = 0; r < 7; ++r)
      for (int c = 0; c < 5; ++c)
        if (g[r] & (0x10 >> c)) fill(left + c * scale, y + r * scale, left + c * scale + scale - 1, y + r * scale + scale - 1);
  }
}

void Canvas::glyph(int x, int y, int scale, std::mt19937& rng) {
  std::uniform_int_distribution<int> bit(0, 2);
  for (int r = 0; r < 7; ++r)
    for (int c = 0; c < 5; ++c)
      if (bit(rng) == 0) fill(x + c * scale, y + r * scale, x + c * scale + scale - 1, y + r * scale + scale - 1);
}

void Canvas::words(int x, int y, int count, int scale, std::mt19937& rng) {
  std::uniform_int_distribution<int> len(2, 9);
  for (int w = 0; w < count; ++w) {
    const int n = len(rng);
    for (int i = 0; i < n; ++i, x += 6 * scale) glyph(x, y, scale, rng);
    x += 4 * scale;
  }
}

}  // namespace zk::imaging
