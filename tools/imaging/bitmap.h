// A one-bit bitmap as the illustration decoder delivers it and the imaging
// tools make, code and write it: rows of (width + 7) / 8 bytes, the most
// significant bit leftmost, 1 black and 0 white, unused bits at the end of
// a row 0, the top row first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zk::imaging {

struct Bitmap {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> bytes;

  Bitmap() = default;
  // An all-white bitmap.
  Bitmap(int w, int h) : width(w), height(h), bytes(static_cast<size_t>(row_bytes()) * static_cast<size_t>(h), 0) {}
  int row_bytes() const { return (width + 7) / 8; }
  // Both take a pixel inside the bitmap.
  void set(int x, int y, bool black = true);
  bool get(int x, int y) const;

  bool operator==(const Bitmap&) const = default;
};

}  // namespace zk::imaging
