// Decoding the intro picture, a JPEG, with the IJG library interface. No window code:
// the result is a plain Surface.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "shp/surface.h"
#include "shp/work_state.h"

namespace pelgrin {

// Decodes a baseline or progressive JPEG (grey or colour) held in memory; nothing when
// the data is not a picture the library can read or is larger than max_pixels.
std::optional<Surface> DecodeJpeg(std::span<const std::uint8_t> data,
                                  std::int64_t max_pixels = 4096 * 4096);

}  // namespace pelgrin
