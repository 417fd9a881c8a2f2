// Drawing on a bitmap for the generated illustrations: lines and outlines of
// any thickness, circles and ellipses, hatching, and text in a 5 x 7 dot
// font (digits, capital letters and a little punctuation) at any scale.
// Everything is clipped to the bitmap.
#pragma once

#include <random>
#include <string>

#include "tools/imaging/bitmap.h"

namespace zk::imaging {

class Canvas {
 public:
  explicit Canvas(Bitmap& b) : b_(b) {}

  void dot(int x, int y, bool black = true);
  // A square pen of side t centred on (x, y).
  void brush(int x, int y, int t);
  void line(int x0, int y0, int x1, int y1, int t = 1);
  // A line drawn `dash` pixels on, `gap` off (a centre line or a hidden edge).
  void dashed_line(int x0, int y0, int x1, int y1, int dash, int gap);
  void rect(int x0, int y0, int x1, int y1, int t = 1);
  void fill(int x0, int y0, int x1, int y1, bool black = true);
  void circle(int cx, int cy, int r, int t = 1);
  void ellipse(int cx, int cy, int rx, int ry, int t = 1);
  // Diagonal hatching inside a rectangle, lines `gap` pixels apart.
  void hatch(int x0, int y0, int x1, int y1, int gap);

  // Text in the dot font, each dot a scale x scale square, 6 * scale pixels
  // a character; characters the font lacks are left blank.
  void text(int x, int y, const std::string& s, int scale);
  static int text_width(const std::string& s, int scale) { return static_cast<int>(s.size()) * 6 * scale - scale; }
  static int text_height(int scale) { return 7 * scale; }
  void number(int x, int y, int value, int scale) { text(x, y, std::to_string(value), scale); }
  // A glyph of random strokes in a 5 x 7 cell, like a letter at a glance.
  void glyph(int x, int y, int scale, std::mt19937& rng);
  // `count` words of 2 to 9 such glyphs.
  void words(int x, int y, int count, int scale, std::mt19937& rng);

 private:
  Bitmap& b_;
};

}  // namespace zk::imaging
