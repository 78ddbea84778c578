// The header fix window's measuring decoder: the pixel codes of one image placed at the
// raster's corner, read up to the next image's record rather than up to the header's
// last line, so that the header's box can be recomputed from what the data holds.
#pragma once

#include <cstdint>

#include "io/files.h"
#include "shp/work_state.h"

namespace pelgrin {

struct CornerDecode {
  // The widest line: the largest column count reached after any code but end of line.
  std::int32_t DecodedWidth = 0;
  // The number of end-of-line codes read.
  std::int32_t DecodedRows = 0;
};

// Decodes entry i from its pixel data on, every line starting at column 0 and the first
// line at row 0, until the end of the file or, for all but the last image, until a code
// byte would end past the next entry's image offset. Pixels outside the raster are
// counted but not stored. Does not clear the raster or reset UsedCols and UsedRows.
CornerDecode DecodeFromCorner(InFile& file, WorkState& ws, std::int32_t i);

}  // namespace pelgrin
