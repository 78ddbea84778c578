#include "convert/convert.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "convert/color_match.h"
#include "convert/index_road.h"
#include "io/system.h"
#include "io/text.h"
#include "picture/bmp_file.h"
#include "shp/encode.h"
#include "shp/messages.h"
#include "shp/show.h"
#include "shp/shp_format.h"

namespace pelgrin {
namespace {

// The bounding box of the pixels that differ from BackColor; bottom < 0 when there is none.
struct Box {
  std::int32_t left = RasterCols;
  std::int32_t top = RasterRows;
  std::int32_t right = 0;
  std::int32_t bottom = -1;
};

bool IsOpaque(const std::uint8_t* rgb) {
  return rgb[0] != BackColor.r || rgb[1] != BackColor.g || rgb[2] != BackColor.b;
}

// Eight pixels of BackColor: the background is passed over eight pixels at a time.
constexpr int kBlock = 8;
constexpr std::array<std::uint8_t, 3 * kBlock> kBackgroundBlock = [] {
  std::array<std::uint8_t, 3 * kBlock> block{};
  for (std::size_t i = 0; i < block.size(); i += 3) {
    block[i] = BackColor.r;
    block[i + 1] = BackColor.g;
    block[i + 2] = BackColor.b;
  }
  return block;
}();

bool IsBackgroundBlock(const std::uint8_t* rgb) {
  return std::memcmp(rgb, kBackgroundBlock.data(), kBackgroundBlock.size()) == 0;
}

// The first opaque pixel of column[from..to), or to.
std::int32_t FirstOpaque(const std::uint8_t* column, std::int32_t from, std::int32_t to) {
  while (to - from >= kBlock && IsBackgroundBlock(column + 3 * from))
    from += kBlock;
  while (from < to && !IsOpaque(column + 3 * from))
    ++from;
  return from;
}

// The last opaque pixel of column[0..to], which has one.
std::int32_t LastOpaque(const std::uint8_t* column, std::int32_t to) {
  while (to + 1 >= kBlock && IsBackgroundBlock(column + 3 * (to + 1 - kBlock)))
    to -= kBlock;
  while (!IsOpaque(column + 3 * to))
    --to;
  return to;
}

// The box does not depend on the order of the walk: each column is searched from its
// top and from its bottom for its first and last such pixel, so a column the picture
// fills costs two looks.
Box FindBox(const WorkState& ws, std::int32_t width, std::int32_t height) {
  Box box;
  for (std::int32_t x = 0; x < width; ++x) {
    const std::uint8_t* column = &ws.BmpPixels[static_cast<std::size_t>(3 * x * RasterRows)];
    const std::int32_t top = FirstOpaque(column, 0, height);
    if (top == height) continue;
    const std::int32_t bottom = LastOpaque(column, height - 1);
    box.left = std::min(box.left, x);
    box.right = std::max(box.right, x);
    box.top = std::min(box.top, top);
    box.bottom = std::max(box.bottom, bottom);
  }
  return box;
}

// match_column(rgb, n, out) gives the palette indices of n pixels of a column.
template <typename MatchColumn>
ConvertResult Convert(WorkState& ws, std::int32_t width, std::int32_t height,
                      MatchColumn&& match_column) {
  width = std::clamp(width, 0, RasterCols);
  height = std::clamp(height, 0, RasterRows);
  const Box box = FindBox(ws, width, height);
  if (box.bottom < 0) return ConvertResult::kNoOpaquePixel;

  ImageHeader& h = ws.CurHeader;
  h.MaxY = height - 1;
  h.MaxX = width - 1;
  h.Left = box.left;
  h.Top = box.top;
  h.Right = box.right;
  h.Bottom = box.bottom;
  os::PopulatePages(ws.Raster.data(), ws.Raster.size());  // written whole just below
  ClearRaster(ws);
  const auto rows = static_cast<std::size_t>(box.bottom - box.top + 1);
  for (std::int32_t x = box.left; x <= box.right; ++x) {
    const std::size_t at =
        static_cast<std::size_t>(x) * RasterRows + static_cast<std::size_t>(box.top);
    match_column(&ws.BmpPixels[3 * at], rows, &ws.Raster[at]);
  }
  return ConvertResult::kConverted;
}

}  // namespace

ConvertResult ConvertLoadedPicture(WorkState& ws, bool no_flash, Reporter& reporter) {
  const std::int32_t width = ws.BmpHeader.biWidth;
  const std::int32_t height = ws.BmpHeader.biHeight;
  if (!ws.BmpIndexInfo.indexed) return ConvertBitmap(ws, width, height, no_flash);
  const IndexRoad road = ChooseIndexRoad(ws, width, height);
  if (road.keep) {
    std::int64_t kept = 0;
    const ConvertResult result = KeepIndices(ws, width, height, kept);
    if (result == ConvertResult::kConverted) reporter.Log(KeptIndicesLine(kept));
    return result;
  }
  const ConvertResult result = ConvertBitmap(ws, width, height, no_flash);
  if (result == ConvertResult::kConverted) reporter.Log(MatchedColoursLine(ws, road.first_changed));
  return result;
}

ConvertResult ConvertBitmap(WorkState& ws, std::int32_t width, std::int32_t height, bool no_flash) {
  ColorMatcher matcher(ws.LoadedPalette, no_flash);
  return Convert(ws, width, height,
                 [&matcher](const std::uint8_t* rgb, std::size_t n, std::uint8_t* out) {
                   matcher.MatchRun(rgb, n, out);
                 });
}

ConvertResult ConvertBitmapLinear(WorkState& ws, std::int32_t width, std::int32_t height,
                                  bool no_flash) {
  const Palette& palette = ws.LoadedPalette;
  return Convert(ws, width, height,
                 [&palette, no_flash](const std::uint8_t* rgb, std::size_t n, std::uint8_t* out) {
                   for (std::size_t i = 0; i < n; ++i, rgb += 3)
                     out[i] = MatchColorLinear(palette, no_flash, Rgb{rgb[0], rgb[1], rgb[2]});
                 });
}

void WriteSingleImageShp(std::span<const std::uint8_t> record, const Palette& palette,
                         OutFile& out) {
  constexpr std::uint32_t kRecordOffset = 16;
  out.Write(kNewFileHeaderWord);
  out.WriteLE32(1);
  out.WriteLE32(kRecordOffset);
  out.WriteLE32(kRecordOffset + static_cast<std::uint32_t>(record.size()));
  out.Write(record);
  out.WriteLE32(kSingleShpPaletteEntries);
  for (int i = 0; i < kSingleShpPaletteEntries; ++i) {
    const Rgb c = palette[static_cast<std::size_t>(i)];
    const std::uint8_t entry[4] = {
        static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(c.r >> 2),
        static_cast<std::uint8_t>(c.g >> 2), static_cast<std::uint8_t>(c.b >> 2)};
    out.Write(entry);
  }
}

namespace {

// Convert with or without a view to draw the result on (nullptr: nobody sees it).
ConvertOutcome ConvertAndWrite(WorkState& ws, bool no_flash, Surface* view,
                               const std::string& record_path, const std::string& single_shp_path,
                               Reporter& reporter) {
  if (ConvertLoadedPicture(ws, no_flash, reporter) != ConvertResult::kConverted) {
    reporter.ShowError(kNoOpaquePixelMessage);
    return ConvertOutcome::kRefused;
  }
  UseLoadedPalette(ws);
  ws.ActivePalette[kTransparent] = BackColor;

  if (view != nullptr) {
    // The user sees the matched colours before anything is written. A Cancel left over
    // from an earlier drawing must not cut this picture short.
    ws.CancelRequested = false;
    ClearShpWindow(*view, reporter);
    DrawRaster(ws, *view, reporter);
  }

  constexpr std::string_view kRecordOpenFailure = "Could not open %s.";
  if (single_shp_path.empty()) {
    // Without a one-image file the record is encoded straight into its file.
    return WriteFileOrReport(record_path, kRecordOpenFailure, reporter,
                             [&ws](OutFile& out) { EncodeImage(ws, out); })
               ? ConvertOutcome::kWritten
               : ConvertOutcome::kRecordNotWritten;
  }
  std::vector<std::uint8_t> record;
  EncodeImage(ws, record);
  if (!WriteFileOrReport(record_path, kRecordOpenFailure, reporter,
                         [&record](OutFile& out) { out.Write(record); }))
    return ConvertOutcome::kRecordNotWritten;
  return WriteFileOrReport(
             single_shp_path, "Could not open file %s.", reporter,
             [&](OutFile& out) { WriteSingleImageShp(record, ws.LoadedPalette, out); })
             ? ConvertOutcome::kWritten
             : ConvertOutcome::kSingleShpNotWritten;
}

}  // namespace

ConvertOutcome ConvertLoadedBitmap(WorkState& ws, bool no_flash, Surface& view,
                                   const std::string& record_path,
                                   const std::string& single_shp_path, Reporter& reporter) {
  return ConvertAndWrite(ws, no_flash, &view, record_path, single_shp_path, reporter);
}

ConvertOutcome ConvertLoadedBitmap(WorkState& ws, bool no_flash, const std::string& record_path,
                                   const std::string& single_shp_path, Reporter& reporter) {
  return ConvertAndWrite(ws, no_flash, nullptr, record_path, single_shp_path, reporter);
}

}  // namespace pelgrin
