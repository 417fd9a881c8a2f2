// Reading monochrome BMP files back into bitmaps: the bitmap files the
// library's decord_img writes (and any other one-bit, uncompressed BMP),
// for the tool that turns a decoded illustration into a PNG file and for
// tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/imaging/bitmap.h"

namespace zk::imaging {

// The bitmap of a BMP file's bytes: rows bottom-up (positive height) or
// top-down (negative), padded to 4 bytes; the colour table decides which
// bit is black (the darker entry). std::runtime_error for anything but a
// one-bit, uncompressed BMP whose pixel data is all there.
Bitmap decode_bmp(const std::vector<uint8_t>& bytes);
Bitmap read_bmp(const std::string& path);

}  // namespace zk::imaging
