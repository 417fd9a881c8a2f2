// Monochrome rasters held by the platform layer where the operating system
// has no screen (POSIX): the memory device context that holds a drawn
// illustration, and a window whose client area is a raster. They answer the
// device-context calls the library makes (GetDC, ReleaseDC, and BitBlt with
// the two raster operations it uses) as Windows does, so the drawing code
// runs unchanged and tests and tools can read the pixels back. On Win32 the
// calls go to GDI instead.
//
// Pixels: rows of (width + 7) / 8 bytes, the most significant bit leftmost,
// 1 black and 0 white, as the illustration decoder delivers them.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/platform.h"

namespace zk::platform {

class Raster {
 public:
  // An all-white raster; a width or height below 0 counts as 0.
  Raster(int width, int height);
  ~Raster();
  Raster(const Raster&) = delete;
  Raster& operator=(const Raster&) = delete;

  // The handle the library is given for this raster as a memory device
  // context.
  DeviceContext dc() { return this; }

  int width() const { return width_; }
  int height() const { return height_; }
  int row_bytes() const { return (width_ + 7) / 8; }
  // White (false) outside the raster.
  bool pixel(int x, int y) const;
  // Ignored outside the raster.
  void set_pixel(int x, int y, bool black);
  std::vector<uint8_t>& bits() { return bits_; }
  const std::vector<uint8_t>& bits() const { return bits_; }

  // BitBlt onto this raster of the width x height rectangle at (x, y):
  // kRopDstInvert inverts it, kRopSrcCopy copies the rectangle of `source`
  // at (source_x, source_y) into it (the same raster may be both). Only
  // pixels inside this raster and, for a copy, taken from inside the source
  // are touched; an empty or negative extent touches nothing. False for any
  // other raster operation, and for a copy without a source.
  bool blt(int x, int y, int width, int height, const Raster* source, int source_x, int source_y, uint32_t rop);

  // The live raster behind a device context, or null when it names none.
  static Raster* from_dc(DeviceContext dc);

 private:
  int width_;
  int height_;
  std::vector<uint8_t> bits_;
};

// A window of the platform layer: its client area is a raster, and it hands
// out device contexts for it and counts them until they are released.
class RasterWindow {
 public:
  RasterWindow(int width, int height);
  ~RasterWindow();
  RasterWindow(const RasterWindow&) = delete;
  RasterWindow& operator=(const RasterWindow&) = delete;

  // The handle the library is given for this window.
  WindowHandle handle() { return this; }
  Raster& client() { return *client_; }

  // GetDC: the client area's device context.
  DeviceContext get_dc();
  // ReleaseDC: 1 when `dc` is a context this window handed out and has not
  // had back, 0 otherwise (nothing changes then).
  int release_dc(DeviceContext dc);
  // Device contexts handed out and not yet released.
  int contexts_held() const { return held_; }

  // The live window behind a handle, or null when the handle names none.
  static RasterWindow* from_handle(WindowHandle h);

 private:
  // Kept apart from the window, so a window's handle never names its
  // client area's device context.
  std::unique_ptr<Raster> client_;
  int held_ = 0;
};

// GetDC, ReleaseDC and BitBlt of a platform whose windows are its own
// (POSIX, the in-memory platform): a handle or device context that names
// none of its windows or rasters gets 0, as Windows answers.
DeviceContext raster_window_get_dc(WindowHandle window);
int raster_window_release_dc(WindowHandle window, DeviceContext dc);
bool raster_bit_blt(DeviceContext dest, int x, int y, int width, int height, DeviceContext source, int source_x,
                    int source_y, uint32_t rop);

}  // namespace zk::platform
