// The exploded-view generator of the demo's illustrations.
//
// Layout: a frame; the drawing area above a strip that holds the title block
// at its right; the assembly axis across the drawing area, slightly
// inclined; the parts spaced evenly along it, each drawn as seen a little
// from the side (round parts as upright ellipses); callout numbers above and
// below the axis in turn, each with a leader line ending in a dot on its
// part; now and then a part pulled aside from the axis.
#include "tools/imaging/illustration.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <random>
#include <stdexcept>

#include "tools/imaging/canvas.h"

namespace zk::imaging {

namespace {

// Integers from std::mt19937's raw output, the same on every platform
// (the standard distributions are not).
class Dice {
 public:
  explicit Dice(uint32_t drawing) : rng_(drawing) {}
  int between(int lo, int hi) { return hi <= lo ? lo : lo + static_cast<int>(rng_() % static_cast<uint32_t>(hi - lo + 1)); }
  template <typename T, size_t N>
  const T& pick(const std::array<T, N>& items) {
    return items[static_cast<size_t>(between(0, static_cast<int>(N) - 1))];
  }

 private:
  std::mt19937 rng_;
};

enum class Part { Bolt, Washer, Nut, Spring, Bracket, Bearing, Gasket, Housing };

constexpr std::array<Part, 8> kParts = {Part::Bolt,    Part::Washer,  Part::Nut,    Part::Spring,
                                        Part::Bracket, Part::Bearing, Part::Gasket, Part::Housing};

const char* part_name(Part p) {
  switch (p) {
    case Part::Bolt: return "BOLT";
    case Part::Washer: return "WASHER";
    case Part::Nut: return "NUT";
    case Part::Spring: return "SPRING";
    case Part::Bracket: return "BRACKET";
    case Part::Bearing: return "BEARING";
    case Part::Gasket: return "GASKET";
    case Part::Housing: return "HOUSING";
  }
  return "PART";
}

constexpr std::array<const char*, 10> kTitles = {
    "FRONT BRAKE", "REAR BRAKE",    "OIL PUMP",   "WATER PUMP",     "STARTER MOTOR",
    "ALTERNATOR",  "CLUTCH COVER",  "FUEL PUMP",  "STEERING GEAR",  "REAR AXLE HUB",
};

// A round part seen a little from the side: an upright ellipse, its far
// face shifted by the part's thickness along the axis, joined top and
// bottom.
void disc(Canvas& c, int cx, int cy, int rx, int ry, int thickness, int pen) {
  c.ellipse(cx, cy, rx, ry, pen);
  c.ellipse(cx + thickness, cy, rx, ry, pen);
  c.line(cx, cy - ry, cx + thickness, cy - ry, pen);
  c.line(cx, cy + ry, cx + thickness, cy + ry, pen);
}

// Draws the part centred at (cx, cy) with half-height r; returns the point
// on its outline, at its top or its bottom, where a leader line ends.
std::pair<int, int> draw_part(Canvas& c, Dice& dice, Part part, int cx, int cy, int r, int pen, bool top) {
  const int rx = std::max(3, r / 3);
  const int side = top ? -1 : 1;
  std::pair<int, int> anchor{cx, cy + side * r};  // the outline's top or bottom at the centre
  switch (part) {
    case Part::Washer:
      disc(c, cx, cy, rx, r, std::max(2, r / 10), pen);
      c.ellipse(cx, cy, rx / 2, r / 2, pen);
      break;
    case Part::Nut: {
      // A hexagon on the ellipse, its far face behind it, the hole inside.
      std::array<std::pair<int, int>, 6> v{};
      for (size_t i = 0; i < v.size(); ++i) {
        const double a = std::numbers::pi / 3 * static_cast<double>(i) + std::numbers::pi / 6;
        v[i] = {cx + static_cast<int>(std::lround(rx * std::cos(a))), cy + static_cast<int>(std::lround(r * std::sin(a)))};
      }
      const int t = std::max(3, r / 4);
      for (size_t i = 0; i < v.size(); ++i) {
        const auto [x0, y0] = v[i];
        const auto [x1, y1] = v[(i + 1) % v.size()];
        c.line(x0, y0, x1, y1, pen);
        c.line(x0 + t, y0, x1 + t, y1, pen);
        c.line(x0, y0, x0 + t, y0, 1);
      }
      c.ellipse(cx, cy, rx / 2, r / 2, pen);
      break;
    }
    case Part::Bolt: {
      // Head, then the shank along the axis with its thread.
      const int head = std::max(4, r / 3);
      const int shank = r / 4 + 1;
      const int x0 = cx - rx + head;
      const int x1 = cx + 2 * rx;
      disc(c, cx - rx, cy, rx / 2 + 1, r * 2 / 3, head, pen);
      c.line(x0, cy - shank, x1, cy - shank, pen);
      c.line(x0, cy + shank, x1, cy + shank, pen);
      c.line(x1, cy - shank, x1, cy + shank, pen);
      for (int x = (x0 + x1) / 2; x < x1; x += 4) c.line(x, cy - shank, x + 2, cy + shank, 1);
      anchor = {(x0 + x1) / 2, cy + side * shank};
      break;
    }
    case Part::Spring: {
      // Coils seen from the side: a zigzag between two lines along the axis.
      const int coils = dice.between(5, 9);
      const int pitch = std::max(4, 4 * rx / coils);
      const int h = r * 2 / 3;
      const int x0 = cx - coils * pitch / 2;
      for (int i = 0; i < coils; ++i) {
        const int x = x0 + i * pitch;
        c.line(x, cy - h, x + pitch / 2, cy + h, pen);
        c.line(x + pitch / 2, cy + h, x + pitch, cy - h, pen);
      }
      anchor = {x0 + coils / 2 * pitch + (top ? 0 : pitch / 2), cy + side * h};
      break;
    }
    case Part::Bracket: {
      // A plate seen slanted, with two bolt holes and a hatched web.
      const int s = rx;
      c.line(cx - s, cy - r, cx + s, cy - r + s, pen);
      c.line(cx + s, cy - r + s, cx + s, cy + r, pen);
      c.line(cx + s, cy + r, cx - s, cy + r - s, pen);
      c.line(cx - s, cy + r - s, cx - s, cy - r, pen);
      c.ellipse(cx, cy - r / 2, std::max(2, s / 3), std::max(2, r / 8), pen);
      c.ellipse(cx, cy + r / 2 - s / 2, std::max(2, s / 3), std::max(2, r / 8), pen);
      c.hatch(cx - s / 2, cy - r / 6, cx + s / 2, cy + r / 6, 5);
      anchor = {cx, cy + side * (r - s / 2)};
      break;
    }
    case Part::Bearing: {
      disc(c, cx, cy, rx, r, std::max(3, r / 5), pen);
      c.ellipse(cx, cy, rx / 2, r / 2, pen);
      const int balls = 8;
      for (int i = 0; i < balls; ++i) {
        const double a = 2 * std::numbers::pi * i / balls;
        c.circle(cx + static_cast<int>(std::lround(rx * 0.75 * std::cos(a))),
                 cy + static_cast<int>(std::lround(r * 0.75 * std::sin(a))), std::max(1, r / 10), 1);
      }
      break;
    }
    case Part::Gasket: {
      c.ellipse(cx, cy, rx, r, pen);
      c.ellipse(cx, cy, rx * 2 / 3, r * 2 / 3, 1);
      for (int i = 0; i < 4; ++i) {
        const double a = std::numbers::pi / 2 * i + std::numbers::pi / 4;
        c.circle(cx + static_cast<int>(std::lround(rx * 0.85 * std::cos(a))),
                 cy + static_cast<int>(std::lround(r * 0.85 * std::sin(a))), std::max(1, r / 12), 1);
      }
      break;
    }
    case Part::Housing: {
      // A block cut open on one quarter (hatched), with its bore.
      const int hw = rx * 2;
      c.rect(cx - hw, cy - r, cx + hw, cy + r, pen);
      c.line(cx - hw, cy - r, cx - hw + rx / 2, cy - r - rx / 2, pen);
      c.line(cx + hw, cy - r, cx + hw + rx / 2, cy - r - rx / 2, pen);
      c.line(cx - hw + rx / 2, cy - r - rx / 2, cx + hw + rx / 2, cy - r - rx / 2, pen);
      c.hatch(cx + 2, cy + 2, cx + hw - 2, cy + r - 2, 6);
      c.ellipse(cx, cy, rx * 2 / 3, r / 2, pen);
      break;
    }
  }
  return anchor;
}

}  // namespace

Illustration catalog_illustration(int width, int height, uint32_t drawing) {
  if (width < kMinIllustrationWidth || height < kMinIllustrationHeight)
    throw std::invalid_argument("an illustration needs at least 240 x 160 pixels");
  Illustration out;
  out.bitmap = Bitmap(width, height);
  Canvas c(out.bitmap);
  Dice dice(drawing);
  const int scale = width >= 800 ? 2 : 1;
  const int pen = scale;
  const int margin = 6 * scale;

  char figure[16];
  std::snprintf(figure, sizeof figure, "%02d-%03d", dice.between(10, 99), dice.between(0, 99) * 10);
  out.figure = figure;
  out.title = dice.pick(kTitles);

  // Frame and title block.
  c.rect(2, 2, width - 3, height - 3, 2 * scale);
  const int row = Canvas::text_height(scale) + 6 * scale;
  const int block_w = std::min(width / 2, Canvas::text_width("STEERING GEAR", scale) + 12 * scale);
  const int block_h = 2 * row;
  const int bx = width - margin - block_w;
  const int by = height - margin - block_h;
  c.rect(bx, by, width - margin, height - margin, pen);
  c.line(bx, by + row, width - margin, by + row, 1);
  c.text(bx + 4 * scale, by + 3 * scale, "FIG " + out.figure, scale);
  c.text(bx + 4 * scale, by + row + 3 * scale, out.title, scale);

  // The drawing area and the assembly axis across it.
  const int left = margin + 8 * scale;
  const int right = width - margin - 8 * scale;
  const int top = margin + row;
  const int bottom = by - row;
  const int mid = (top + bottom) / 2;
  const int tilt = dice.between(-(bottom - top) / 6, (bottom - top) / 6);
  const int ay0 = mid - tilt;
  const int ay1 = mid + tilt;
  c.dashed_line(left, ay0, right, ay1, 14 * scale, 4 * scale);

  const int count = std::clamp((right - left) / (60 * scale + 40), 3, 10);
  const int spacing = (right - left) / count;
  const int max_r = std::max(6, std::min((bottom - top) / 2 - row, spacing * 2 / 3));
  int number = dice.between(1, 3) * 10;
  const int th = Canvas::text_height(scale);
  for (int i = 0; i < count; ++i) {
    const int cx = left + spacing * i + spacing / 2;
    const int ay = ay0 + (ay1 - ay0) * (cx - left) / std::max(1, right - left);
    const int r = std::max(6, max_r * dice.between(55, 100) / 100);
    const Part part = dice.pick(kParts);
    const bool above = i % 2 == 0;
    const int side = above ? -1 : 1;
    // Now and then a part is pulled aside from the axis, as a sub-assembly,
    // with a dashed line back to its place; its callout stays inside the
    // drawing area beyond it.
    int cy = ay;
    const int room = above ? ay - (top + r + row + th) : bottom - (ay + r + row + th);
    if (room > 2 * r && dice.between(0, 2) == 0) {
      cy = ay + side * dice.between(2 * r, room);
      c.dashed_line(cx, ay, cx, cy - side * r, 6 * scale, 3 * scale);
    }
    const auto [ex, ey] = draw_part(c, dice, part, cx, cy, r, pen, above);

    // The callout: its number beyond the part, a leader line to the part.
    Callout callout;
    callout.number = number;
    callout.part = part_name(part);
    number += dice.between(1, 3) * 10;
    const std::string text = std::to_string(callout.number);
    const int tw = Canvas::text_width(text, scale);
    const int tx = std::clamp(cx + dice.between(-spacing / 4, spacing / 4) - tw / 2, left, right - tw);
    const int ty = above ? std::max(top - row / 2, cy - r - row - th) : std::min(bottom + row / 2 - th, cy + r + row);
    c.text(tx, ty, text, scale);
    callout.left = tx - 2 * scale;
    callout.top = ty - 2 * scale;
    callout.right = tx + tw + 2 * scale;
    callout.bottom = ty + th + 2 * scale;
    const int lx = tx + tw / 2;
    const int ly = above ? callout.bottom + scale : callout.top - scale;
    c.line(lx, ly, ex, ey, 1);
    c.fill(ex - scale, ey - scale, ex + scale, ey + scale);
    out.callouts.push_back(callout);
  }
  return out;
}

}  // namespace zk::imaging
