// Believable catalog illustrations for the demo installation: an exploded
// view of an assembly, its parts drawn apart along a dash-dot assembly axis
// (bolts, washers, nuts, springs, brackets, bearings, gaskets, housings),
// each marked by a callout number with a leader line, and a title block
// with the figure number and the assembly's name. Deterministic from its
// drawing number on every platform (the generator draws from std::mt19937's raw
// output only).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/imaging/bitmap.h"

namespace zk::imaging {

// A callout: the number printed on the drawing, the part it stands for and
// the box around the printed number (right and bottom one past the box),
// the rectangle a coded text carries and reverse_image inverts.
struct Callout {
  int number = 0;
  std::string part;  // at most 12 characters
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

struct Illustration {
  Bitmap bitmap;
  std::string figure;  // the figure number in the title block ("12-340")
  std::string title;   // the assembly's name ("FRONT BRAKE")
  std::vector<Callout> callouts;
};

inline constexpr int kMinIllustrationWidth = 240;
inline constexpr int kMinIllustrationHeight = 160;

// std::invalid_argument below the minimum size.
Illustration catalog_illustration(int width, int height, uint32_t drawing);

}  // namespace zk::imaging
