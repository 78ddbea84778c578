// A drawing surface: width x height packed colours (red in the low byte). Every
// picture of the program is drawn here; a window shows its surface.
#pragma once

#include <cstdint>
#include <vector>

namespace pelgrin {

class Surface {
 public:
  Surface(int width, int height, std::uint32_t fill = 0);

  int Width() const { return width_; }
  int Height() const { return height_; }

  // Pixels outside the surface are ignored by the setters and read as 0.
  void SetPixel(int x, int y, std::uint32_t color) {
    if (Inside(x, y)) pixels_[Offset(x, y)] = color | kOpaque;
  }
  std::uint32_t GetPixel(int x, int y) const {
    return Inside(x, y) ? pixels_[Offset(x, y)] & 0xFFFFFFu : 0;
  }
  // Fills [left, right) x [top, bottom), clipped to the surface.
  void FillRect(int left, int top, int right, int bottom, std::uint32_t color);
  void Fill(std::uint32_t color) { FillRect(0, 0, width_, height_, color); }
  // A one-pixel line from (x0, y0) to (x1, y1), both ends included.
  void Line(int x0, int y0, int x1, int y1, std::uint32_t color);
  // Copies one pixel onto another (used to erase a guide line).
  void CopyPixel(int from_x, int from_y, int to_x, int to_y) {
    if (Inside(from_x, from_y) && Inside(to_x, to_y))
      pixels_[Offset(to_x, to_y)] = pixels_[Offset(from_x, from_y)];
  }

  // Rows of 32-bit pixels, bytes R, G, B, 255 in memory order on little-endian machines.
  const std::uint32_t* Data() const { return pixels_.data(); }

 private:
  static constexpr std::uint32_t kOpaque = 0xFF000000u;
  bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
  std::size_t Offset(int x, int y) const {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
           static_cast<std::size_t>(x);
  }

  int width_;
  int height_;
  std::vector<std::uint32_t> pixels_;
};

}  // namespace pelgrin
