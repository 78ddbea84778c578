// 24-bit Windows bitmap files: writing the raster or a surface, reading a bitmap into
// BmpPixels, and drawing the loaded bitmap.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "shp/reporter.h"
#include "shp/surface.h"
#include "shp/work_state.h"

namespace pelgrin {

// Bytes of one pixel row in the file: width * 3 rounded up to a multiple of 4.
constexpr std::int64_t BmpRowStride(std::int64_t width) {
  return (width * 3 + 3) / 4 * 4;
}

// Fills one picture row (row 0 on top) as width B, G, R triples.
using BmpRowFiller = std::function<void(std::int64_t row, std::uint8_t* bgr)>;

// Writes a width x height 24-bit bottom-up bitmap through a temporary file. The header
// fields come from header with the sizes filled in; header takes them only when the file
// was written. Reports failures with the given open-failure pattern ("%s" is the path) or
// "Could not write file %s.".
bool WriteBmp24(const std::string& path, std::int64_t width, std::int64_t height,
                BmpHeaderRecord& header, const BmpRowFiller& fill_row,
                std::string_view open_failure, Reporter& reporter);

// Write BMP: the frame of the raster (columns 0..MaxX, rows 0..MaxY) with ActivePalette,
// index 255 (and cells outside the raster) in BackColor. Updates BmpHeader's sizes when
// the file was written.
bool WriteRasterBmp(WorkState& ws, const std::string& path, Reporter& reporter);

// Saves the whole surface as a 24-bit bitmap.
bool SaveSurfaceBmp(const Surface& surface, const std::string& path, Reporter& reporter);

enum class BmpReadResult { kOk, kOpenFailed, kNotBitmap, kUnsupported, kTooLarge, kTruncated };

// Reads an uncompressed 24-bit bitmap (bottom-up or top-down, any header size) of at most
// RasterCols x RasterRows pixels into BmpPixels and sets BmpHeader's biWidth, biHeight
// (positive) and bfOffBits. Anything else is refused and changes nothing.
BmpReadResult ReadBmpFile(WorkState& ws, const std::string& path);

// The message for a refused read ("Could not open %s." when it cannot be opened).
std::string BmpReadMessage(BmpReadResult result, const std::string& path);

// Paints BmpPixels (BmpHeader's width x height, clipped to the buffer) at 1:1, repainting
// every 10 rows.
void DrawBmpPixels(const WorkState& ws, Surface& bmp_view, Reporter& reporter);

// The loaded bitmap's pixel (x, y) as R, G, B.
inline Rgb BmpPixel(const WorkState& ws, int x, int y) {
  const std::size_t at =
      3 * (static_cast<std::size_t>(x) * RasterRows + static_cast<std::size_t>(y));
  return {ws.BmpPixels[at], ws.BmpPixels[at + 1], ws.BmpPixels[at + 2]};
}

}  // namespace pelgrin
