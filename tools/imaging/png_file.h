// Bitmaps as PNG files, for a user to look at a decoded illustration: one
// bit per pixel, greyscale, black where the bitmap has 1.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/imaging/bitmap.h"

namespace zk::imaging {

// The bytes of the PNG file; std::runtime_error when libpng fails (an empty
// bitmap among other things).
std::vector<uint8_t> encode_png(const Bitmap& bitmap);
// Writes the PNG file; std::runtime_error when it cannot be written.
void write_png(const Bitmap& bitmap, const std::string& path);

}  // namespace zk::imaging
