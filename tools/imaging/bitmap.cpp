// Pixels of a one-bit bitmap.
#include "tools/imaging/bitmap.h"

namespace zk::imaging {

void Bitmap::set(int x, int y, bool black) {
  uint8_t& b = bytes[static_cast<size_t>(y) * static_cast<size_t>(row_bytes()) + static_cast<size_t>(x / 8)];
  const auto bit = static_cast<uint8_t>(0x80 >> (x % 8));
  b = black ? static_cast<uint8_t>(b | bit) : static_cast<uint8_t>(b & ~bit);
}

bool Bitmap::get(int x, int y) const {
  return (bytes[static_cast<size_t>(y) * static_cast<size_t>(row_bytes()) + static_cast<size_t>(x / 8)] &
          (0x80 >> (x % 8))) != 0;
}

}  // namespace zk::imaging
