// The image decoder: pixel codes of one image into the working raster.
#pragma once

#include <cstdint>

#include "io/files.h"
#include "shp/work_state.h"

namespace pelgrin {

// Decodes entry i (0-based) into Raster, placed by CurHeader's Left and Top (a negative
// Left or Top moves the image right or down to the raster's edge). Expects CurHeader to
// hold entry i's header; neither clears the raster nor resets UsedCols and UsedRows.
// Decoding ends after the last line, or at the end of the file (the rest of the image
// is then transparent).
void DecodeImage(InFile& file, WorkState& ws, std::int32_t i);

// A literal run of n index bytes read from file into row: the bytes of pixels that land
// outside the raster are skipped unread (a byte past the end of the file stores 255).
void PutLiteralRun(InFile& file, WorkState& ws, std::int32_t row, int n);

}  // namespace pelgrin
