// A decoded picture as every reader hands it over, before it becomes the loaded bitmap.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "shp/work_state.h"

namespace pelgrin {

// Alpha below this is transparent.
inline constexpr std::uint8_t kOpaqueAlpha = 128;

struct Picture {
  std::int32_t width = 0;
  std::int32_t height = 0;
  // R, G, B, A a pixel, row by row, row 0 on top.
  std::vector<std::uint8_t> rgba;
  // A palette-indexed picture also keeps its indices (one a pixel, in the same order; 255
  // and alpha 0 where the file stored no pixel), its palette and each entry's alpha.
  bool indexed = false;
  std::vector<std::uint8_t> indices;
  std::int32_t entries = 0;
  Palette palette{};
  std::array<std::uint8_t, 256> alpha = Opaque();

  // Sizes the pixel buffers for width x height (at most the raster), every pixel
  // transparent black and index 255.
  void Resize(std::int32_t w, std::int32_t h, bool with_indices);
  std::uint8_t* Pixel(std::int32_t x, std::int32_t y) {
    return &rgba[4 * (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(x))];
  }
  // Sets pixel (x, y) to palette entry index, with that entry's alpha.
  void PutIndex(std::int32_t x, std::int32_t y, std::uint8_t index);

 private:
  static std::array<std::uint8_t, 256> Opaque() {
    std::array<std::uint8_t, 256> a;
    a.fill(255);
    return a;
  }
};

// Makes the picture the loaded bitmap: BmpPixels (transparent pixels in BackColor, so the
// matching road and the Bmp Image window treat them as today's background), BmpIndices
// and BmpIndexInfo, and the width and height in BmpHeader.
void CommitPicture(WorkState& ws, const Picture& picture);

}  // namespace pelgrin
