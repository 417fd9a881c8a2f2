// reverse_image on the platform's rasters: the rectangle inverted in the
// memory picture and shown in the window, clipped at the edges, undone by a
// second call, and handles or rectangles that name nothing refused without
// harm.
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

// Pixels of `now` that differ from `before` (same size): inside and outside
// the rectangle [x0, x1) x [y0, y1).
std::pair<int, int> changes(const Raster& now, const Raster& before, int x0, int y0, int x1, int y1) {
  std::pair<int, int> c;
  for (int y = 0; y < now.height(); ++y)
    for (int x = 0; x < now.width(); ++x)
      if (now.pixel(x, y) != before.pixel(x, y)) ++(x >= x0 && x < x1 && y >= y0 && y < y1 ? c.first : c.second);
  return c;
}

// The window shows the memory picture inside [x0, x1) x [y0, y1) and stays
// white elsewhere.
bool shows(RasterWindow& w, const Raster& memory, int x0, int y0, int x1, int y1) {
  for (int y = 0; y < w.client().height(); ++y)
    for (int x = 0; x < w.client().width(); ++x)
      if (w.client().pixel(x, y) != (x >= x0 && x < x1 && y >= y0 && y < y1 && memory.pixel(x, y))) return false;
  return true;
}

// Each rectangle with the part of the 40 x 30 picture it covers; a second
// call restores the picture, and the window shows it again.
TEST(ReverseImage, TheClippedRectangleIsInvertedAndShownAndASecondCallRestoresIt) {
  const struct { int16_t l, t, r, b; int x0, y0, x1, y1;
  } cases[] = {{5, 4, 21, 12, 5, 4, 21, 12},    {-5, -3, 4, 2, 0, 0, 4, 2},   {35, 25, 32000, 32000, 35, 25, 40, 30},
               {10, 10, 10, 20, 0, 0, 0, 0},    {10, 10, 20, 10, 0, 0, 0, 0}, {20, 20, 10, 10, 0, 0, 0, 0}};
  Raster original(40, 30);
  draw(original);
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.l) + "," + std::to_string(c.t) + "," + std::to_string(c.r) + "," + std::to_string(c.b));
    Raster memory(40, 30);
    draw(memory);
    RasterWindow window(40, 30);
    const zkall_image_rect rect{c.l, c.t, c.r, c.b};
    EXPECT_EQ(reverse_image(memory.dc(), window.handle(), &rect), 1);
    EXPECT_EQ(changes(memory, original, c.x0, c.y0, c.x1, c.y1), std::make_pair((c.x1 - c.x0) * (c.y1 - c.y0), 0));
    EXPECT_TRUE(shows(window, memory, c.x0, c.y0, c.x1, c.y1));
    EXPECT_EQ(reverse_image(memory.dc(), window.handle(), &rect), 1);
    EXPECT_TRUE(memory.bits() == original.bits());
    EXPECT_TRUE(shows(window, original, c.x0, c.y0, c.x1, c.y1));
    EXPECT_EQ(reverse_image(memory.dc(), window.handle(), nullptr), 1);  // no rectangle: nothing drawn
    EXPECT_TRUE(memory.bits() == original.bits());
    EXPECT_EQ(window.contexts_held(), 0);
  }
}

TEST(ReverseImage, HandlesThatNameNothing) {
  Raster memory(40, 30), original(40, 30);
  draw(memory);
  draw(original);
  RasterWindow window(40, 30);
  const zkall_image_rect rect{0, 0, 10, 10};
  // No window: no context to draw into or release (0); the memory picture
  // is inverted all the same, as the call's first step.
  platform::ListBox box;
  int not_a_window = 0;
  for (void* w : {static_cast<void*>(nullptr), box.handle(), static_cast<void*>(&not_a_window)}) {
    EXPECT_EQ(reverse_image(memory.dc(), w, &rect), 0);
    EXPECT_EQ(changes(memory, original, 0, 0, 10, 10).first, 100);
    EXPECT_EQ(reverse_image(memory.dc(), w, &rect), 0);
    EXPECT_TRUE(memory.bits() == original.bits());
  }
  // No memory picture: nothing to invert or copy; the window's context is
  // taken and released.
  for (void* dc : {static_cast<void*>(nullptr), static_cast<void*>(&not_a_window), window.handle()}) {
    EXPECT_EQ(reverse_image(dc, window.handle(), &rect), 1);
    EXPECT_TRUE(shows(window, memory, 0, 0, 0, 0));
  }
  EXPECT_EQ(window.contexts_held(), 0);
}

}  // namespace
}  // namespace zk::test
