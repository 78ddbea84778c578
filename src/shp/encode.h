// The image encoder: the raster's bounding box as one SHP image record.
#pragma once

#include <cstdint>
#include <vector>

#include "io/files.h"
#include "shp/work_state.h"

namespace pelgrin {

// Appends the 24-byte header (MaxY, MaxX, zero offsets, Left, Top, Right, Bottom of
// CurHeader) and the encoded lines Top..Bottom of the raster, columns Left..Right, to
// record. Returns the record's length.
std::int64_t EncodeImage(const WorkState& ws, std::vector<std::uint8_t>& record);

// The same, written to a file.
std::int64_t EncodeImage(const WorkState& ws, OutFile& out);

// Encodes one line of the raster (row y, columns left..right) with its end-of-line byte.
void EncodeLine(const WorkState& ws, std::int32_t y, std::int32_t left, std::int32_t right,
                std::vector<std::uint8_t>& line);

}  // namespace pelgrin
