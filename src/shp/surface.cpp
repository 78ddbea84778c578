#include "shp/surface.h"

#include <algorithm>
#include <cstdlib>

namespace pelgrin {

Surface::Surface(int width, int height, std::uint32_t fill)
    : width_(std::max(0, width)),
      height_(std::max(0, height)),
      pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_),
              fill | kOpaque) {}

void Surface::FillRect(int left, int top, int right, int bottom, std::uint32_t color) {
  left = std::max(left, 0);
  top = std::max(top, 0);
  right = std::min(right, width_);
  bottom = std::min(bottom, height_);
  for (int y = top; y < bottom; ++y) {
    std::fill_n(pixels_.begin() + static_cast<std::ptrdiff_t>(Offset(left, y)),
                std::max(0, right - left), color | kOpaque);
  }
}

void Surface::Line(int x0, int y0, int x1, int y1, std::uint32_t color) {
  const int dx = std::abs(x1 - x0);
  const int dy = -std::abs(y1 - y0);
  const int sx = x0 < x1 ? 1 : -1;
  const int sy = y0 < y1 ? 1 : -1;
  int err = dx + dy;
  for (;;) {
    SetPixel(x0, y0, color);
    if (x0 == x1 && y0 == y1) break;
    const int e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x0 += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y0 += sy;
    }
  }
}

}  // namespace pelgrin
