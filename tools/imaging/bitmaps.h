// Sample bitmaps for the decoder's tests, benchmark and fuzz corpus: noise,
// scanned-page-like text, line drawings of the kind the catalog's
// illustrations are (parts outlines, hatching, callout numbers with leader
// lines, labels), plain and striped images. Every generator is
// deterministic for a given number.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/imaging/bitmap.h"

namespace zk::imaging {

Bitmap all_white(int width, int height);
Bitmap all_black(int width, int height);
// Black pixels with the given probability, independently.
Bitmap noise(int width, int height, uint32_t number, double black = 0.5);
// One-pixel stripes: alternating columns, or alternating rows.
Bitmap vertical_stripes(int width, int height);
Bitmap horizontal_stripes(int width, int height);
// Lines of small glyphs with paragraph gaps and a little scanner speckle.
Bitmap text_page(int width, int height, uint32_t number);
// Outlines, circles, hatched sections, callout numbers in circles with
// leader lines, and a caption block.
Bitmap line_drawing(int width, int height, uint32_t number);

struct NamedBitmap {
  std::string name;
  Bitmap bitmap;
};

// The full-size illustrations of the benchmark (1616 x 1158).
std::vector<NamedBitmap> illustration_set();

}  // namespace zk::imaging
