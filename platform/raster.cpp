// Rasters and raster windows of the platform layer: pixels, the two BitBlt
// raster operations with their clipping, and the device contexts a window
// hands out.
#include "platform/raster.h"

#include <algorithm>
#include <set>

namespace zk::platform {

namespace {

template <typename T>
std::set<const T*>& live() {
  static std::set<const T*> objects;
  return objects;
}

// One axis of a rectangle clipped to [0, limit): the first and one past the
// last coordinate, as 64-bit numbers so no sum of 32-bit extents overflows.
struct Span {
  int64_t first;
  int64_t end;
};

Span clip(int64_t first, int64_t extent, int64_t limit) {
  return {std::max<int64_t>(first, 0), std::min<int64_t>(first + extent, limit)};
}

bool bit(const std::vector<uint8_t>& bits, size_t row_bytes, int64_t x, int64_t y) {
  return (bits[static_cast<size_t>(y) * row_bytes + static_cast<size_t>(x / 8)] & (0x80 >> (x % 8))) != 0;
}

}  // namespace

Raster::Raster(int width, int height)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      bits_(static_cast<size_t>(row_bytes()) * static_cast<size_t>(height_), 0) {
  live<Raster>().insert(this);
}

Raster::~Raster() { live<Raster>().erase(this); }

Raster* Raster::from_dc(DeviceContext dc) {
  auto* raster = static_cast<Raster*>(dc);
  return live<Raster>().count(raster) ? raster : nullptr;
}

bool Raster::pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return false;
  return bit(bits_, static_cast<size_t>(row_bytes()), x, y);
}

void Raster::set_pixel(int x, int y, bool black) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  uint8_t& b = bits_[static_cast<size_t>(y) * row_bytes() + static_cast<size_t>(x / 8)];
  const auto bit = static_cast<uint8_t>(0x80 >> (x % 8));
  b = black ? static_cast<uint8_t>(b | bit) : static_cast<uint8_t>(b & ~bit);
}

bool Raster::blt(int x, int y, int width, int height, const Raster* source, int source_x, int source_y,
                 uint32_t rop) {
  if (rop != kRopDstInvert && rop != kRopSrcCopy) return false;
  const bool copy = rop == kRopSrcCopy;
  if (copy && source == nullptr) return false;
  if (width <= 0 || height <= 0) return true;

  // The destination rectangle, narrowed first to where the source has
  // pixels (a copy) and then to this raster.
  int64_t dx = 0;
  int64_t dy = 0;
  Span xs{x, int64_t{x} + width};
  Span ys{y, int64_t{y} + height};
  if (copy) {
    dx = int64_t{source_x} - x;
    dy = int64_t{source_y} - y;
    const Span sx = clip(source_x, width, source->width_);
    const Span sy = clip(source_y, height, source->height_);
    xs = {std::max(xs.first, sx.first - dx), std::min(xs.end, sx.end - dx)};
    ys = {std::max(ys.first, sy.first - dy), std::min(ys.end, sy.end - dy)};
  }
  xs = clip(xs.first, xs.end - xs.first, width_);
  ys = clip(ys.first, ys.end - ys.first, height_);
  if (xs.first >= xs.end || ys.first >= ys.end) return true;

  // A copy within one raster reads the pixels as they were before it.
  std::vector<uint8_t> before;
  const std::vector<uint8_t>* from = copy ? &source->bits_ : nullptr;
  if (copy && source == this) {
    before = bits_;
    from = &before;
  }
  const size_t from_row = copy ? static_cast<size_t>(source->row_bytes()) : 0;
  for (int64_t py = ys.first; py < ys.end; ++py) {
    for (int64_t px = xs.first; px < xs.end; ++px) {
      const int ix = static_cast<int>(px);
      const int iy = static_cast<int>(py);
      set_pixel(ix, iy, copy ? bit(*from, from_row, px + dx, py + dy) : !pixel(ix, iy));
    }
  }
  return true;
}

RasterWindow::RasterWindow(int width, int height) : client_(std::make_unique<Raster>(width, height)) {
  live<RasterWindow>().insert(this);
}

RasterWindow::~RasterWindow() { live<RasterWindow>().erase(this); }

RasterWindow* RasterWindow::from_handle(WindowHandle h) {
  auto* window = static_cast<RasterWindow*>(h);
  return live<RasterWindow>().count(window) ? window : nullptr;
}

DeviceContext RasterWindow::get_dc() {
  ++held_;
  return client_->dc();
}

int RasterWindow::release_dc(DeviceContext dc) {
  if (dc != client_->dc() || held_ == 0) return 0;
  --held_;
  return 1;
}

DeviceContext raster_window_get_dc(WindowHandle window) {
  RasterWindow* w = RasterWindow::from_handle(window);
  return w ? w->get_dc() : nullptr;
}

int raster_window_release_dc(WindowHandle window, DeviceContext dc) {
  RasterWindow* w = RasterWindow::from_handle(window);
  return w ? w->release_dc(dc) : 0;
}

bool raster_bit_blt(DeviceContext dest, int x, int y, int width, int height, DeviceContext source, int source_x,
                    int source_y, uint32_t rop) {
  Raster* to = Raster::from_dc(dest);
  if (to == nullptr) return false;
  return to->blt(x, y, width, height, Raster::from_dc(source), source_x, source_y, rop);
}

}  // namespace zk::platform
