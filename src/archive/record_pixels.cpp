#include "archive/record_pixels.h"

#include <xxhash.h>

#include <algorithm>
#include <cstdio>
#include <unordered_map>

#include "io/byte_order.h"
#include "shp/encode.h"

namespace pelgrin {
namespace {

std::uint32_t Key(Rgb c) {
  return static_cast<std::uint32_t>(c.r) << 16 | static_cast<std::uint32_t>(c.g) << 8 | c.b;
}

bool BoxInsideRaster(const ImageHeader& h) {
  return h.Left >= 0 && h.Top >= 0 && h.Right < RasterCols && h.Bottom < RasterRows;
}

std::size_t Cells(std::int32_t width, std::int32_t height) {
  return static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
}

std::size_t Column(std::int32_t x) {
  return static_cast<std::size_t>(x) * RasterRows;
}

std::string Digest(std::int32_t width, std::int32_t height, const std::vector<std::uint8_t>& data) {
  XXH3_state_t* state = XXH3_createState();
  XXH3_64bits_reset(state);
  std::uint8_t size[8];
  PutLE32(size, static_cast<std::uint32_t>(width));
  PutLE32(size + 4, static_cast<std::uint32_t>(height));
  XXH3_64bits_update(state, size, sizeof size);
  XXH3_64bits_update(state, data.data(), data.size());
  const XXH64_hash_t hash = XXH3_64bits_digest(state);
  XXH3_freeState(state);
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
  return text;
}

}  // namespace

std::int32_t PictureWidth(const ImageHeader& h) {
  return std::clamp<std::int32_t>(h.MaxX + 1, 1, RasterCols);
}

std::int32_t PictureHeight(const ImageHeader& h) {
  return std::clamp<std::int32_t>(h.MaxY + 1, 1, RasterRows);
}

FrameIndices IndicesOfRaster(const WorkState& ws, std::int32_t width, std::int32_t height) {
  FrameIndices frame{width, height, std::vector<std::uint8_t>(Cells(width, height))};
  for (std::int32_t x = 0; x < width; ++x)
    for (std::int32_t y = 0; y < height; ++y)
      frame.index[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                  static_cast<std::size_t>(x)] = RasterAt(ws, x, y);
  return frame;
}

FrameColours ColoursOfIndices(const FrameIndices& frame, const Palette& palette) {
  FrameColours colours{frame.width, frame.height, {}};
  colours.rgb.resize(3 * frame.index.size());
  std::uint8_t* out = colours.rgb.data();
  for (const std::uint8_t index : frame.index) {
    const Rgb c = index == kTransparent ? BackColor : palette[index];
    *out++ = c.r;
    *out++ = c.g;
    *out++ = c.b;
  }
  return colours;
}

FrameIndices IndicesOfColours(const FrameColours& frame, const Palette& palette) {
  std::unordered_map<std::uint32_t, std::uint8_t> inverse;
  inverse.emplace(Key(BackColor), kTransparent);
  for (int i = 0; i < kTransparent; ++i)
    inverse.emplace(Key(palette[static_cast<std::size_t>(i)]), static_cast<std::uint8_t>(i));
  FrameIndices indices{frame.width, frame.height, {}};
  indices.index.reserve(frame.rgb.size() / 3);
  for (std::size_t at = 0; at + 2 < frame.rgb.size(); at += 3) {
    const auto found = inverse.find(Key({frame.rgb[at], frame.rgb[at + 1], frame.rgb[at + 2]}));
    indices.index.push_back(found == inverse.end() ? kTransparent : found->second);
  }
  return indices;
}

FrameColours ColoursOfBitmap(const WorkState& ws) {
  const std::int32_t width = std::clamp(ws.BmpHeader.biWidth, 0, RasterCols);
  const std::int32_t height = std::clamp(ws.BmpHeader.biHeight, 0, RasterRows);
  FrameColours frame{width, height, {}};
  frame.rgb.resize(3 * Cells(width, height));
  std::uint8_t* out = frame.rgb.data();
  for (std::int32_t y = 0; y < height; ++y)
    for (std::int32_t x = 0; x < width; ++x)
      out = std::copy_n(&ws.BmpPixels[3 * (Column(x) + static_cast<std::size_t>(y))], 3, out);
  return frame;
}

FrameIndices IndicesOfBitmap(const WorkState& ws) {
  const std::int32_t width = std::clamp(ws.BmpHeader.biWidth, 0, RasterCols);
  const std::int32_t height = std::clamp(ws.BmpHeader.biHeight, 0, RasterRows);
  FrameIndices frame{width, height, {}};
  frame.index.reserve(Cells(width, height));
  for (std::int32_t y = 0; y < height; ++y)
    for (std::int32_t x = 0; x < width; ++x)
      frame.index.push_back(ws.BmpIndices[Column(x) + static_cast<std::size_t>(y)]);
  return frame;
}

std::string PixelDigest(const FrameColours& frame) {
  return Digest(frame.width, frame.height, frame.rgb);
}

std::string PixelDigest(const FrameIndices& frame) {
  return Digest(frame.width, frame.height, frame.index);
}

Palette PaletteOfRecord(std::span<const std::uint8_t> record) {
  Palette palette{};
  if (record.size() < 4) return palette;
  const std::int64_t n = GetLE32(record.data());
  const auto size = static_cast<std::int64_t>(record.size());
  for (std::int64_t k = 0; k < n && 8 + 4 * k <= size; ++k) {
    const std::uint8_t* e = &record[static_cast<std::size_t>(4 + 4 * k)];
    palette[e[0]] = {static_cast<std::uint8_t>(e[1] * 4), static_cast<std::uint8_t>(e[2] * 4),
                     static_cast<std::uint8_t>(e[3] * 4)};
  }
  return palette;
}

bool RecordFromIndices(WorkState& scratch, const FrameIndices& frame, const ImageHeader& h,
                       std::vector<std::uint8_t>& record) {
  if (!BoxInsideRaster(h) || frame.index.size() != Cells(frame.width, frame.height)) return false;
  // Every cell the encoder reads: the frame's, and the box's beyond it (transparent).
  const std::int32_t cols = std::min(std::max(frame.width, h.Right + 1), RasterCols);
  const std::int32_t rows = std::min(std::max(frame.height, h.Bottom + 1), RasterRows);
  for (std::int32_t x = 0; x < cols; ++x) {
    for (std::int32_t y = 0; y < rows; ++y) {
      const bool inside = x < frame.width && y < frame.height;
      scratch.Raster[Column(x) + static_cast<std::size_t>(y)] =
          inside ? frame.index[static_cast<std::size_t>(y) * static_cast<std::size_t>(frame.width) +
                               static_cast<std::size_t>(x)]
                 : kTransparent;
    }
  }
  scratch.CurHeader = h;
  const std::size_t start = record.size();
  EncodeImage(scratch, record);
  PutLE32(&record[start + 4], static_cast<std::uint32_t>(h.OffsWord));
  return true;
}

}  // namespace pelgrin
