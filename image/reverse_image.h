// reverse_image: shows a rectangle of a drawn illustration inverted, the way
// the catalog marks the part a callout stands for. The illustration is kept
// drawn in a memory device context; the rectangle is inverted there and
// copied to the window, so the memory context always holds what the window
// shows and a second call restores the picture.
#pragma once

#include <cstdint>

#include "platform/platform.h"
#include "zkall.h"

namespace zk::image {

// The entry point (contract in zkall.h).
int32_t reverse_image(platform::DeviceContext memory_dc, platform::WindowHandle window, const zkall_image_rect* rect);

}  // namespace zk::image
