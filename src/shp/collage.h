// The collage: images of the open file side by side in bands on the view surface,
// each at 1:1 scale.
#pragma once

#include <cstdint>
#include <functional>

#include "shp/reporter.h"
#include "shp/surface.h"
#include "shp/work_state.h"

namespace pelgrin {

enum class CollageResult {
  kDone,        // logged "Last #"; the view can be saved
  kNoImage,     // the first number is not an image of the open file; nothing drawn
  kCancelled,   // stopped by CancelRequested; no summary line
  kOpenFailed,  // the file could not be opened (reported with ShowError)
};

// Lays out images from number (counting from 1) onwards in the raster-sized area of
// RasterCols x RasterRows: each cell is a whole frame, one free column between cells
// and one free row between bands. A band is as tall as its tallest frame; the first
// image of a new band that would reach past the area ends the collage (decoded, not
// drawn). Images carry their own palette unless full_pal() says otherwise, asked afresh
// for each image (the option can change while events run); LoadedPalette is taken once,
// for the first cell. A header outside the plausible range is logged as "No image #"
// and takes no cell. Events run once per image, and the collage stops when
// CancelRequested is then set.
CollageResult Collage(WorkState& ws, std::int32_t number, const std::function<bool()>& full_pal,
                      Surface& view, Reporter& reporter);
// The same with the option fixed for the whole collage.
CollageResult Collage(WorkState& ws, std::int32_t number, bool full_pal, Surface& view,
                      Reporter& reporter);

}  // namespace pelgrin
