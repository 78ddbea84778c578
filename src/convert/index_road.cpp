#include "convert/index_road.h"

#include <algorithm>
#include <bitset>

namespace pelgrin {
namespace {

std::uint8_t IndexAt(const WorkState& ws, std::int32_t x, std::int32_t y) {
  return ws.BmpIndices[static_cast<std::size_t>(x) * RasterRows + static_cast<std::size_t>(y)];
}

bool IsClear(const PictureIndexInfo& info, std::uint8_t index) {
  return index == kTransparent || info.transparent[index];
}

std::string ColourText(Rgb c) {
  return std::to_string(c.r) + " " + std::to_string(c.g) + " " + std::to_string(c.b);
}

}  // namespace

IndexRoad ChooseIndexRoad(const WorkState& ws, std::int32_t width, std::int32_t height) {
  width = std::clamp(width, 0, RasterCols);
  height = std::clamp(height, 0, RasterRows);
  std::bitset<256> used;
  for (std::int32_t x = 0; x < width; ++x)
    for (std::int32_t y = 0; y < height; ++y)
      used.set(IndexAt(ws, x, y));
  const PictureIndexInfo& info = ws.BmpIndexInfo;
  for (int i = 0; i < kTransparent; ++i) {
    const auto index = static_cast<std::uint8_t>(i);
    if (!used.test(index) || IsClear(info, index)) continue;
    if (i >= info.entries || info.palette[index] != ws.LoadedPalette[index]) return {false, i};
  }
  return {true, -1};
}

ConvertResult KeepIndices(WorkState& ws, std::int32_t width, std::int32_t height,
                          std::int64_t& kept) {
  width = std::clamp(width, 0, RasterCols);
  height = std::clamp(height, 0, RasterRows);
  std::int32_t left = RasterCols, top = RasterRows, right = 0, bottom = -1;
  kept = 0;
  for (std::int32_t x = 0; x < width; ++x) {
    for (std::int32_t y = 0; y < height; ++y) {
      if (IsClear(ws.BmpIndexInfo, IndexAt(ws, x, y))) continue;
      left = std::min(left, x);
      right = std::max(right, x);
      top = std::min(top, y);
      bottom = std::max(bottom, y);
      ++kept;
    }
  }
  if (bottom < 0) return ConvertResult::kNoOpaquePixel;
  ws.CurHeader.MaxY = height - 1;
  ws.CurHeader.MaxX = width - 1;
  ws.CurHeader.Left = left;
  ws.CurHeader.Top = top;
  ws.CurHeader.Right = right;
  ws.CurHeader.Bottom = bottom;
  ClearRaster(ws);
  for (std::int32_t x = left; x <= right; ++x) {
    for (std::int32_t y = top; y <= bottom; ++y) {
      const std::uint8_t index = IndexAt(ws, x, y);
      if (!IsClear(ws.BmpIndexInfo, index))
        ws.Raster[static_cast<std::size_t>(x) * RasterRows + static_cast<std::size_t>(y)] = index;
    }
  }
  return ConvertResult::kConverted;
}

std::string KeptIndicesLine(std::int64_t kept) {
  return std::to_string(kept) + " pixels kept their palette index";
}

std::string MatchedColoursLine(const WorkState& ws, int index) {
  const auto i = static_cast<std::size_t>(index);
  return "Colours matched: index " + std::to_string(index) + " is " +
         ColourText(ws.BmpIndexInfo.palette[i]) + " in the picture and " +
         ColourText(ws.LoadedPalette[i]) + " in the loaded palette";
}

}  // namespace pelgrin
