#include "shp/collage.h"

#include <algorithm>
#include <string>

#include "io/files.h"
#include "io/text.h"
#include "shp/decode.h"
#include "shp/show.h"
#include "shp/shp_format.h"

namespace pelgrin {
namespace {

// Where the next cell goes. Values stay small (the collage ends once a band starts
// below the area), but they are kept in 64 bits so that no header can overflow them.
struct CollageLayout {
  std::int64_t x = 0;       // left column of the next cell
  std::int64_t y = 0;       // top row of the current band
  std::int64_t band = 0;    // tallest frame seen for the current band
  std::int64_t bottom = 0;  // bottom test value, changed only when a band starts
};

// Places the frame in CurHeader: returns whether it is to be drawn at (x, y), and
// moves the layout on to the next cell.
bool PlaceCell(CollageLayout& at, const ImageHeader& h, std::int64_t& cell_x) {
  const std::int64_t height = std::int64_t{h.MaxY} + 1;
  if (height > at.band) at.band = height;
  std::int64_t next = at.x + h.MaxX + 2;
  if (next >= RasterCols) {
    at.y += at.band + 1;
    at.bottom = at.y + height;
    at.x = 0;
    next = std::int64_t{h.MaxX} + 2;
    at.band = 0;
  }
  cell_x = at.x;
  at.x = next;
  return at.bottom < RasterRows;
}

enum class CellResult { kDecoded, kRejected, kOpenFailed };

// The area of the raster one decoded image wrote to, from column 0 and row 0.
struct RasterExtent {
  std::int32_t cols = 0;
  std::int32_t rows = 0;
};

// Decodes entry i with the counters measuring this image alone, then folds them back into
// the counters of the whole collage; returns the area this image wrote to.
RasterExtent DecodeMeasured(InFile& file, WorkState& ws, std::int32_t i) {
  const RasterExtent before{ws.UsedCols, ws.UsedRows};
  ws.UsedCols = 0;
  ws.UsedRows = 0;
  DecodeImage(file, ws, i);
  const RasterExtent written{ws.UsedCols, ws.UsedRows};
  ws.UsedCols = std::max(before.cols, written.cols);
  ws.UsedRows = std::max(before.rows, written.rows);
  return written;
}

// Reads and decodes entry i into the cleared raster, choosing its palette. Only the
// previous cell's area can hold pixels (the raster was cleared before the first cell), so
// only that area is cleared: many small frames no longer cost a whole raster each.
CellResult DecodeCell(WorkState& ws, std::int32_t i, bool full_pal, bool first_cell,
                      RasterExtent& dirty, Reporter& reporter) {
  ClearRasterBox(ws, dirty.cols, dirty.rows);
  dirty = {};
  InFile file;
  if (!file.Open(ws.ShpPath)) {
    reporter.ShowError(FillPattern("Could not open file %s", {ws.ShpPath}));
    return CellResult::kOpenFailed;
  }
  ReadImageHeader(file, ws, i);
  if (IsAbsentImage(ws.CurHeader)) {
    reporter.Log("No image #" + std::to_string(std::int64_t{i} + 1));
    return CellResult::kRejected;
  }
  if (ws.PaletteOffsets[static_cast<std::size_t>(i)] > 0 && !full_pal) {
    ReadImagePalette(file, ws, i);
  } else if (first_cell) {
    UseLoadedPalette(ws);
  }
  dirty = DecodeMeasured(file, ws, i);
  return CellResult::kDecoded;
}

}  // namespace

CollageResult Collage(WorkState& ws, std::int32_t number, bool full_pal, Surface& view,
                      Reporter& reporter) {
  return Collage(
      ws, number, [full_pal] { return full_pal; }, view, reporter);
}

CollageResult Collage(WorkState& ws, std::int32_t number, const std::function<bool()>& full_pal,
                      Surface& view, Reporter& reporter) {
  ws.CancelRequested = false;
  if (!IsImageNumber(ws, number)) {
    reporter.Log("No image #" + std::to_string(number));
    return CollageResult::kNoImage;
  }
  std::int32_t i = number - 1;
  ClearRaster(ws);
  ClearShpWindow(view, reporter);

  CollageLayout at;
  RasterExtent dirty;
  bool fits = true;
  do {
    const bool first_cell = at.x == 0 && at.y == 0;
    const CellResult cell = DecodeCell(ws, i, full_pal(), first_cell, dirty, reporter);
    if (cell == CellResult::kOpenFailed) return CollageResult::kOpenFailed;
    reporter.ProcessEvents();
    if (ws.CancelRequested) return CollageResult::kCancelled;
    if (cell == CellResult::kDecoded) {
      std::int64_t cell_x = 0;
      fits = PlaceCell(at, ws.CurHeader, cell_x);
      if (fits) DrawRasterAt(ws, view, static_cast<int>(cell_x), static_cast<int>(at.y), reporter);
    }
    ++i;
  } while (fits && IsImageIndex(ws, i));

  // i is one past the last image handled; when a band did not fit, that image was not
  // drawn, and the number of the one before it (counting from 1) is i - 1.
  if (i < ws.ImageCount) --i;
  reporter.Log("Last #" + std::to_string(i));
  return CollageResult::kDone;
}

}  // namespace pelgrin
