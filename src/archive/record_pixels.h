// An image record's picture as colours, its digest, and the record built back from the
// colours: what lets pack tell an untouched picture from an edited one and give back the
// untouched one's record exactly.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "shp/work_state.h"

namespace pelgrin {

// A frame's colours, row by row from the top, R, G, B a pixel; transparent is BackColor.
struct FrameColours {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::vector<std::uint8_t> rgb;
};

// A frame's palette indices, row by row from the top; 255 is transparent.
struct FrameIndices {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::vector<std::uint8_t> index;
};

// The frame a picture of header h shows: MaxX + 1 by MaxY + 1, clipped to the raster.
std::int32_t PictureWidth(const ImageHeader& h);
std::int32_t PictureHeight(const ImageHeader& h);

// The raster's first width x height cells.
FrameIndices IndicesOfRaster(const WorkState& ws, std::int32_t width, std::int32_t height);
// The indices as Show draws them with palette (255 in BackColor).
FrameColours ColoursOfIndices(const FrameIndices& frame, const Palette& palette);
// Each colour taken back to the lowest index of palette showing it (BackColor to 255).
FrameIndices IndicesOfColours(const FrameColours& frame, const Palette& palette);

// The loaded bitmap (BmpPixels, BmpHeader's size) as read by ReadPictureFile, and an
// indexed picture's indices (BmpIndices; valid while BmpIndexInfo.indexed).
FrameColours ColoursOfBitmap(const WorkState& ws);
FrameIndices IndicesOfBitmap(const WorkState& ws);

// 16 hex digits: XXH3 of the size and the colours, or of the size and the indices.
std::string PixelDigest(const FrameColours& frame);
std::string PixelDigest(const FrameIndices& frame);

// The palette an own palette record gives (the record's count and entries), as Show
// builds it: entries the record does not name are black, channels are 4 times the
// stored 6-bit values.
Palette PaletteOfRecord(std::span<const std::uint8_t> record);

// The record of header h (its X/Y offsets word included) whose lines encode the frame's
// indices (transparent beyond the frame). False, with nothing appended, when the box lies
// outside the raster, where no picture reaches. scratch's raster is overwritten.
bool RecordFromIndices(WorkState& scratch, const FrameIndices& frame, const ImageHeader& h,
                       std::vector<std::uint8_t>& record);

}  // namespace pelgrin
