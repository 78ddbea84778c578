// Convert's road for an indexed picture. When every palette entry the picture uses (other
// than 255 and the entries alpha makes transparent) holds the loaded palette's colour at
// that index, the picture's indices are taken as they are: no matching, no "KV-No Flash"
// exclusion, since the artist chose them. Otherwise its colours are matched as those of
// any other picture.
#pragma once

#include <cstdint>
#include <string>

#include "convert/convert.h"
#include "shp/work_state.h"

namespace pelgrin {

struct IndexRoad {
  bool keep = false;
  int first_changed = -1;  // the lowest used index whose colour differs, when !keep
};

// Looks at the indexed picture's first width x height pixels (clamped to the buffer).
IndexRoad ChooseIndexRoad(const WorkState& ws, std::int32_t width, std::int32_t height);

// Fills the raster and CurHeader from BmpIndices as ConvertBitmap does from colours: the
// box of the pixels whose index is neither 255 nor a transparent entry, each holding its
// index. kept is the number of those pixels. A picture without one is refused.
ConvertResult KeepIndices(WorkState& ws, std::int32_t width, std::int32_t height,
                          std::int64_t& kept);

// The log lines of the two roads.
std::string KeptIndicesLine(std::int64_t kept);
std::string MatchedColoursLine(const WorkState& ws, int index);

}  // namespace pelgrin
