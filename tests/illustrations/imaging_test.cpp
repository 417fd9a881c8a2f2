// The imaging tools' BMP reader: files of either row order and palette.
#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "tools/imaging/bitmaps.h"
#include "tools/imaging/bmp_file.h"

namespace zk::test {
namespace {

using namespace imaging;

TEST(BmpFile, EitherRowOrderAndABlackFirstColour) {
  std::vector<uint8_t> bmp(62 + 2 * 4, 0);
  auto put = [&](size_t at, uint32_t v, int n) {
    for (int i = 0; i < n; ++i) bmp[at + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
  };
  // Pixel offset, header size, width 10, height -2 (top-down), planes, bits;
  // colour 0 black, colour 1 white.
  for (const auto& [at, v, n] : {std::tuple{0, 0x4D42u, 2}, {10, 62u, 4}, {14, 40u, 4}, {18, 10u, 4},
                                 {22, 0xFFFFFFFEu, 4}, {26, 1u, 2}, {28, 1u, 2}, {58, 0xFFFFFFu, 3}})
    put(static_cast<size_t>(at), v, n);
  bmp[62] = 0x0F;                          // row 0: pixels 0-3 black (bits past 10 are junk)
  bmp[63] = 0xFF;
  bmp[66] = 0xFF;                          // row 1: pixels 8 and 9 black
  const Bitmap b = decode_bmp(bmp);
  ASSERT_EQ(b.width, 10);
  ASSERT_EQ(b.height, 2);
  EXPECT_EQ(b.bytes, (std::vector<uint8_t>{0xF0, 0x00, 0x00, 0xC0}));
  put(18, 1, 4);  // one pixel wide and bottom-up: the first pixel of each row, the last row first
  put(22, 2, 4);
  EXPECT_EQ(decode_bmp(bmp).bytes, (std::vector<uint8_t>{0x00, 0x80}));
  put(18, 10, 4);
  bmp[28] = 8;
  EXPECT_THROW(decode_bmp(bmp), std::runtime_error);
  bmp[28] = 1;
  bmp.resize(66);
  EXPECT_THROW(decode_bmp(bmp), std::runtime_error);  // the second row is missing
}

}  // namespace
}  // namespace zk::test
