#include "picture/picture.h"

#include <algorithm>

namespace pelgrin {

void Picture::Resize(std::int32_t w, std::int32_t h, bool with_indices) {
  width = std::clamp(w, 0, RasterCols);
  height = std::clamp(h, 0, RasterRows);
  const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  rgba.assign(4 * count, 0);
  indexed = with_indices;
  indices.assign(with_indices ? count : 0, kTransparent);
}

void Picture::PutIndex(std::int32_t x, std::int32_t y, std::uint8_t index) {
  const std::size_t at =
      static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x);
  indices[at] = index;
  const Rgb c = palette[index];
  std::uint8_t* px = &rgba[4 * at];
  px[0] = c.r;
  px[1] = c.g;
  px[2] = c.b;
  px[3] = alpha[index];
}

void CommitPicture(WorkState& ws, const Picture& picture) {
  for (std::int32_t y = 0; y < picture.height; ++y) {
    for (std::int32_t x = 0; x < picture.width; ++x) {
      const std::size_t from =
          static_cast<std::size_t>(y) * static_cast<std::size_t>(picture.width) +
          static_cast<std::size_t>(x);
      const std::size_t to = static_cast<std::size_t>(x) * RasterRows + static_cast<std::size_t>(y);
      const std::uint8_t* px = &picture.rgba[4 * from];
      const Rgb c = px[3] < kOpaqueAlpha ? BackColor : Rgb{px[0], px[1], px[2]};
      ws.BmpPixels[3 * to] = c.r;
      ws.BmpPixels[3 * to + 1] = c.g;
      ws.BmpPixels[3 * to + 2] = c.b;
      if (picture.indexed) ws.BmpIndices[to] = picture.indices[from];
    }
  }
  PictureIndexInfo& info = ws.BmpIndexInfo;
  info.indexed = picture.indexed;
  info.entries = picture.indexed ? picture.entries : 0;
  info.palette = picture.palette;
  for (std::size_t i = 0; i < info.transparent.size(); ++i)
    info.transparent[i] = picture.indexed && picture.alpha[i] < kOpaqueAlpha;
  ws.BmpHeader.biWidth = picture.width;
  ws.BmpHeader.biHeight = picture.height;
}

}  // namespace pelgrin
