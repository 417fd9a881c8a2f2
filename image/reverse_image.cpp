// reverse_image through the platform's device contexts.
#include "image/reverse_image.h"

#include <cstddef>

namespace zk::image {

// The rectangle callers pass: four 16-bit signed numbers, as a coded text's
// numbers lie.
static_assert(sizeof(zkall_image_rect) == 8);
static_assert(offsetof(zkall_image_rect, left) == 0);
static_assert(offsetof(zkall_image_rect, top) == 2);
static_assert(offsetof(zkall_image_rect, right) == 4);
static_assert(offsetof(zkall_image_rect, bottom) == 6);

int32_t reverse_image(platform::DeviceContext memory_dc, platform::WindowHandle window, const zkall_image_rect* rect) {
  auto& p = platform::current();
  // The rectangle's fields are read by value: the record may sit misaligned.
  int left = 0, top = 0, width = 0, height = 0;
  if (rect != nullptr) {
    left = rect->left;
    top = rect->top;
    width = rect->right - left;
    height = rect->bottom - top;
  }
  const bool draw = width > 0 && height > 0;
  if (draw) p.bit_blt(memory_dc, left, top, width, height, nullptr, 0, 0, platform::kRopDstInvert);
  platform::DeviceContext screen = p.get_dc(window);
  if (draw && screen != nullptr)
    p.bit_blt(screen, left, top, width, height, memory_dc, left, top, platform::kRopSrcCopy);
  return p.release_dc(window, screen);
}

}  // namespace zk::image
