// Pictures shared by the benchmarks.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "shp/work_state.h"

namespace pelgrin {

// The pictures of bench/convert_floor.sh, each a colour per pixel of 839 x 649 (y counted
// from the top), built alike by make_peer_inputs (bitmaps) and convert_bench (in memory).

// One colour: the floor, a conversion that searches for one colour.
inline Rgb OneColourPixel(int, int) {
  return Rgb{90, 140, 60};
}

// Every pixel a colour of its own (544,511 colours): nothing repeats, no cache can help.
inline Rgb DistinctPixel(int x, int y) {
  return UnpackRGB((static_cast<std::uint32_t>(x * RasterRows + y) * 29u) & 0xFFFFFFu);
}

// 64 colours that change from one pixel to the next, so no stretch repeats a colour.
inline Rgb SixtyFourPixel(int x, int y) {
  const auto k = static_cast<std::uint32_t>((x * 7 + y * 13) % 64);
  return UnpackRGB((k * 4) | ((255 - k * 3) << 8) | (((k * 37) % 256) << 16));
}

// A lit ellipsoid of two materials in bands, with a soft texture and a tint that follows
// the position, on the background colour: what a rendered unit looks like. 22,677
// colours over 839 x 649 pixels (y counted from the top).
inline Rgb ShadedSprite(int x, int y) {
  const double u = (x - RasterCols / 2.0) / (RasterCols * 0.45);
  const double v = (y - RasterRows / 2.0) / (RasterRows * 0.45);
  const double rr = u * u + v * v;
  if (rr >= 1) return BackColor;
  const double light = std::clamp(0.15 + 0.85 * (0.5 * (-u - v) + std::sqrt(1 - rr)), 0.0, 1.0);
  const bool metal = (x / 60 + y / 45) % 3 == 0;
  const double grain = 0.9 + 0.1 * std::sin(x * 0.37) * std::cos(y * 0.29);
  const double k = light * grain;
  const auto byte = [](double value) { return static_cast<std::uint8_t>(value); };
  return metal ? Rgb{byte(90 * k + 40 + 12 * u), byte(100 * k + 40 + 12 * v), byte(120 * k + 50)}
               : Rgb{byte(180 * k + 30 + 16 * u), byte(120 * k + 20 + 16 * v), byte(60 * k + 10)};
}

}  // namespace pelgrin
