// Monochrome BMP files: file header (14 bytes), information header (40 or
// more), colour table, pixel rows padded to 4 bytes.
#include "tools/imaging/bmp_file.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace zk::imaging {

namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr size_t kInfoHeaderSize = 40;

uint32_t le(const std::vector<uint8_t>& b, size_t at, size_t n) {
  uint32_t v = 0;
  for (size_t i = n; i-- > 0;) v = (v << 8) | b[at + i];
  return v;
}

void fail(const std::string& what) { throw std::runtime_error("not a monochrome BMP file: " + what); }

}  // namespace

Bitmap decode_bmp(const std::vector<uint8_t>& bytes) {
  if (bytes.size() < kFileHeaderSize + kInfoHeaderSize || bytes[0] != 'B' || bytes[1] != 'M') fail("no BMP header");
  const uint32_t pixel_offset = le(bytes, 10, 4);
  const uint32_t info_size = le(bytes, 14, 4);
  const auto width = static_cast<int32_t>(le(bytes, 18, 4));
  const auto height = static_cast<int32_t>(le(bytes, 22, 4));
  if (info_size < kInfoHeaderSize || le(bytes, 28, 2) != 1 || le(bytes, 30, 4) != 0) fail("not one bit, uncompressed");
  if (width < 1 || height == 0 || width > 0xFFFF || std::abs(height) > 0xFFFF) fail("size");
  const size_t table = kFileHeaderSize + info_size;
  if (table + 8 > bytes.size()) fail("no colour table");
  // The darker of the two colours is black.
  const uint32_t grey0 = bytes[table] + bytes[table + 1] + bytes[table + 2];
  const uint32_t grey1 = bytes[table + 4] + bytes[table + 5] + bytes[table + 6];
  const bool invert = grey0 < grey1;

  Bitmap b(width, std::abs(height));
  const auto row = static_cast<size_t>(b.row_bytes());
  const size_t stride = (row + 3) & ~size_t{3};
  if (pixel_offset > bytes.size() || (bytes.size() - pixel_offset) / stride < static_cast<size_t>(b.height))
    fail("pixel data cut short");
  const auto unused = static_cast<uint8_t>(0xFF << (row * 8 - static_cast<size_t>(width)));
  for (size_t y = 0; y < static_cast<size_t>(b.height); ++y) {
    const size_t from = pixel_offset + (height > 0 ? static_cast<size_t>(b.height) - 1 - y : y) * stride;
    for (size_t i = 0; i < row; ++i) {
      uint8_t v = invert ? static_cast<uint8_t>(~bytes[from + i]) : bytes[from + i];
      if (i + 1 == row) v &= unused;
      b.bytes[y * row + i] = v;
    }
  }
  return b;
}

Bitmap read_bmp(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) throw std::runtime_error("cannot read " + path);
  const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  return decode_bmp(bytes);
}

}  // namespace zk::imaging
