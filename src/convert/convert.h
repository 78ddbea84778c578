// Convert: the loaded bitmap becomes one SHP image, shown on the view and written as an
// image record file and as a one-image SHP file.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "io/files.h"
#include "shp/reporter.h"
#include "shp/surface.h"
#include "shp/work_state.h"

namespace pelgrin {

enum class ConvertResult { kConverted, kNoOpaquePixel };

// Maps BmpPixels (width x height, clamped to the buffer) into the raster: the bounding box
// of the pixels that differ from BackColor becomes Left, Top, Right, Bottom of CurHeader,
// MaxX and MaxY become width - 1 and height - 1, and every pixel of the box gets its
// palette index (255 for BackColor). A bitmap without such a pixel has no image: it is
// refused and nothing of the state changes.
ConvertResult ConvertBitmap(WorkState& ws, std::int32_t width, std::int32_t height, bool no_flash);

// The same conversion, searching the palette for every pixel (the reference).
ConvertResult ConvertBitmapLinear(WorkState& ws, std::int32_t width, std::int32_t height,
                                  bool no_flash);

// The loaded picture (BmpHeader's size) into the raster as Convert takes it: an indexed
// picture by the road its palette allows (and the log says which), any other by matching
// its colours against LoadedPalette.
ConvertResult ConvertLoadedPicture(WorkState& ws, bool no_flash, Reporter& reporter);

// The palette record of a one-image file holds entries 0..239.
inline constexpr int kSingleShpPaletteEntries = 240;

// Writes a complete one-image SHP file: header word "1.10", count 1, the record at 16,
// then a palette record of entries 0..239 of palette with each channel divided by 4 (the
// file stores 6-bit channels).
void WriteSingleImageShp(std::span<const std::uint8_t> record, const Palette& palette,
                         OutFile& out);

enum class ConvertOutcome { kWritten, kRefused, kRecordNotWritten, kSingleShpNotWritten };

// Convert as the button runs it: converts the loaded bitmap (BmpHeader's size), makes
// ActivePalette the loaded palette with entry 255 = BackColor, draws the result on view,
// then writes the image record to record_path and the one-image file to single_shp_path
// (skipped when empty). Failures are reported; a failure of the one-image file leaves
// the complete record file.
ConvertOutcome ConvertLoadedBitmap(WorkState& ws, bool no_flash, Surface& view,
                                   const std::string& record_path,
                                   const std::string& single_shp_path, Reporter& reporter);
// The same without drawing, for a caller that shows nothing (the command line): the
// files and messages are the same.
ConvertOutcome ConvertLoadedBitmap(WorkState& ws, bool no_flash, const std::string& record_path,
                                   const std::string& single_shp_path, Reporter& reporter);

inline constexpr std::string_view kNoOpaquePixelMessage =
    "The bitmap has no pixel other than the background colour: there is no image to convert.";

}  // namespace pelgrin
