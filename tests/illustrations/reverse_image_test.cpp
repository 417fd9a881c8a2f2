// reverse_image on the platform's rasters: the rectangle inverted in the
// memory picture and shown in the window, clipped at the edges, undone by a
// second call, and handles or rectangles that name nothing refused without
// harm; and BitBlt within one raster.
#include <gtest/gtest.h>

#include "platform/list_box.h"
#include "platform/raster.h"
#include "zkall.h"

namespace zk::test {
namespace {

using platform::Raster;
using platform::RasterWindow;

// A picture with black and white everywhere, so an inversion always shows.
void draw(Raster& r) {
  for (int y = 0; y < r.height(); ++y)
    for (int x = 0; x < r.width(); ++x) r.set_pixel(x, y, (x * 7 + y * 3) % 5 < 2);
}

// Pixels of `now` against `before` (same size): how many differ inside and
// outside the rectangle [x0, x1) x [y0, y1).
struct Changes {
  int inside = 0;
  int outside = 0;
};
Changes changes(const Raster& now, const Raster& before, int x0, int y0, int x1, int y1) {
  Changes c;
  for (int y = 0; y < now.height(); ++y)
    for (int x = 0; x < now.width(); ++x)
      if (now.pixel(x, y) != before.pixel(x, y)) ++(x >= x0 && x < x1 && y >= y0 && y < y1 ? c.inside : c.outside);
  return c;
}

class ReverseImage : public ::testing::Test {
 protected:
  void SetUp() override {
    draw(memory);
    draw(original);
  }
  int32_t reverse(int16_t l, int16_t t, int16_t r, int16_t b) {
    const zkall_image_rect rect{l, t, r, b};
    return reverse_image(memory.dc(), window.handle(), &rect);
  }
  Raster memory{40, 30};
  Raster original{40, 30};
  RasterWindow window{40, 30};
};

TEST_F(ReverseImage, TheRectangleIsInvertedAndShownAndASecondCallRestoresIt) {
  EXPECT_EQ(reverse(5, 4, 21, 12), 1);
  const Changes m = changes(memory, original, 5, 4, 21, 12);
  EXPECT_EQ(m.inside, 16 * 8);  // every pixel of the rectangle
  EXPECT_EQ(m.outside, 0);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x)
      ASSERT_EQ(window.client().pixel(x, y), x >= 5 && x < 21 && y >= 4 && y < 12 && memory.pixel(x, y)) << x << "," << y;
  EXPECT_EQ(window.contexts_held(), 0);

  EXPECT_EQ(reverse(5, 4, 21, 12), 1);
  EXPECT_TRUE(memory.bits() == original.bits());
  EXPECT_EQ(changes(window.client(), original, 5, 4, 21, 12).inside, 0);  // the window shows the picture again
}

TEST_F(ReverseImage, RectanglesAreClippedToBothPictures) {
  EXPECT_EQ(reverse(-5, -3, 4, 2), 1);
  EXPECT_EQ(changes(memory, original, 0, 0, 4, 2).inside, 8);
  EXPECT_EQ(reverse(35, 25, 32000, 32000), 1);
  const Changes m = changes(memory, original, 35, 25, 40, 30);
  EXPECT_EQ(m.inside, 25);
  EXPECT_EQ(m.outside, 8);

  // A window larger than the memory picture: only what the picture has is
  // shown; the rest of the window stays as it was.
  RasterWindow wide(60, 50);
  const zkall_image_rect rect{30, 20, 55, 45};
  EXPECT_EQ(reverse_image(memory.dc(), wide.handle(), &rect), 1);
  for (int y = 0; y < 50; ++y)
    for (int x = 0; x < 60; ++x) ASSERT_EQ(wide.client().pixel(x, y), x >= 30 && y >= 20 && memory.pixel(x, y)) << x << "," << y;
}

TEST_F(ReverseImage, AMissingOrEmptyRectangleDrawsNothing) {
  EXPECT_EQ(reverse_image(memory.dc(), window.handle(), nullptr), 1);
  EXPECT_EQ(reverse(10, 10, 10, 20), 1);
  EXPECT_EQ(reverse(10, 10, 20, 10), 1);
  EXPECT_EQ(reverse(20, 20, 10, 10), 1);
  EXPECT_TRUE(memory.bits() == original.bits());
  EXPECT_EQ(changes(window.client(), Raster(40, 30), 0, 0, 0, 0).outside, 0);
  EXPECT_EQ(window.contexts_held(), 0);
}

TEST_F(ReverseImage, HandlesThatNameNothing) {
  const zkall_image_rect rect{0, 0, 10, 10};
  // No window: no context to draw into or release (0); the memory picture
  // is inverted all the same, as the call's first step.
  platform::ListBox box;
  int not_a_window = 0;
  for (void* w : {static_cast<void*>(nullptr), box.handle(), static_cast<void*>(&not_a_window)}) {
    EXPECT_EQ(reverse_image(memory.dc(), w, &rect), 0);
    EXPECT_EQ(changes(memory, original, 0, 0, 10, 10).inside, 100);
    EXPECT_EQ(reverse_image(memory.dc(), w, &rect), 0);
    EXPECT_TRUE(memory.bits() == original.bits());
  }
  // No memory picture: nothing to invert or copy; the window's context is
  // taken and released.
  for (void* dc : {static_cast<void*>(nullptr), static_cast<void*>(&not_a_window), window.handle()}) {
    EXPECT_EQ(reverse_image(dc, window.handle(), &rect), 1);
    EXPECT_EQ(changes(window.client(), Raster(40, 30), 0, 0, 0, 0).outside, 0);
  }
  EXPECT_EQ(window.contexts_held(), 0);
}

TEST(RasterTest, DeviceContextsAndBitBltAsWindowsAnswers) {
  platform::Platform& p = platform::current();
  RasterWindow w(16, 4);
  Raster other(16, 4);
  EXPECT_EQ(p.release_dc(w.handle(), other.dc()), 0);  // not this window's
  platform::DeviceContext dc = p.get_dc(w.handle());
  ASSERT_EQ(dc, w.client().dc());
  EXPECT_EQ(p.release_dc(w.handle(), dc), 1);
  EXPECT_EQ(p.release_dc(w.handle(), dc), 0);  // already back

  // A copy within one raster reads the pixels as they were before it.
  for (int x = 0; x < 2; ++x) w.client().set_pixel(x, 0, true);
  EXPECT_TRUE(p.bit_blt(dc, 1, 0, 4, 1, dc, 0, 0, platform::kRopSrcCopy));
  const bool want[] = {true, true, true, false, false, false};
  for (int x = 0; x < 6; ++x) EXPECT_EQ(w.client().pixel(x, 0), want[x]) << x;
  // Another raster operation, or a copy from nothing, fails.
  EXPECT_FALSE(p.bit_blt(dc, 0, 0, 4, 4, other.dc(), 0, 0, 0x00EE0086));
  EXPECT_FALSE(p.bit_blt(dc, 0, 0, 4, 4, nullptr, 0, 0, platform::kRopSrcCopy));
  EXPECT_FALSE(p.bit_blt(nullptr, 0, 0, 4, 4, nullptr, 0, 0, platform::kRopDstInvert));
}

}  // namespace
}  // namespace zk::test
