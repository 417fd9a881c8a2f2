// PNG files through libpng, written into memory first.
#include "tools/imaging/png_file.h"

#include <png.h>

#include <fstream>
#include <stdexcept>

namespace zk::imaging {

namespace {

void append(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}

void no_flush(png_structp) {}

// libpng reports errors by a long jump back here, so nothing with a
// destructor lives in this function.
bool encode(const Bitmap& bitmap, std::vector<uint8_t>& out) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (png == nullptr) return false;
  png_infop info = png_create_info_struct(png);
  if (info == nullptr || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(png, &out, append, no_flush);
  png_set_IHDR(png, info, static_cast<png_uint_32>(bitmap.width), static_cast<png_uint_32>(bitmap.height), 1,
               PNG_COLOR_TYPE_GRAY, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  // A PNG grey level of 0 is black; the bitmap's 1 is.
  png_set_invert_mono(png);
  const auto row = static_cast<size_t>(bitmap.row_bytes());
  for (int y = 0; y < bitmap.height; ++y) png_write_row(png, bitmap.bytes.data() + static_cast<size_t>(y) * row);
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

std::vector<uint8_t> encode_png(const Bitmap& bitmap) {
  if (bitmap.width < 1 || bitmap.height < 1) throw std::runtime_error("a PNG file needs at least one pixel");
  std::vector<uint8_t> out;
  if (!encode(bitmap, out)) throw std::runtime_error("libpng could not encode the bitmap");
  return out;
}

void write_png(const Bitmap& bitmap, const std::string& path) {
  const std::vector<uint8_t> bytes = encode_png(bitmap);
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!file) throw std::runtime_error("cannot write " + path);
}

}  // namespace zk::imaging
