#include "shp/decode.h"

#include <algorithm>

#include "shp/shp_format.h"

namespace pelgrin {

void DecodeImage(InFile& file, WorkState& ws, std::int32_t i) {
  if (i < 0 || i >= MaxImages) return;
  const ImageHeader& h = ws.CurHeader;
  file.Seek(std::int64_t{ws.ImageOffsets[static_cast<std::size_t>(i)]} + kImageHeaderSize);

  // Lines are counted in 64 bits: Bottom - Top may not fit in 32.
  std::int64_t row = h.Top < 0 ? 0 : h.Top;
  const std::int64_t last = h.Top < 0 ? std::int64_t{h.Bottom} - h.Top : h.Bottom;
  const std::int32_t start = h.Left >= 0 ? h.Left : 0;
  ws.PutCol = start;
  // Rows past the 32-bit range cannot hold a pixel of the raster.
  const auto row32 = [&row] {
    return row > INT32_MAX ? INT32_MAX : static_cast<std::int32_t>(row);
  };

  do {
    const int c = file.ReadByte();
    if (c < 0) break;  // every later code would only end a line: nothing more to draw
    const int n = c >> 1;
    if (c == 1) {
      PutRun(ws, row32(), kTransparent, std::max(file.ReadByte(), 0));
    } else if (c == 0) {
      ++row;
      ws.PutCol = start;
    } else if (c & 1) {
      PutLiteralRun(file, ws, row32(), n);
    } else {
      PutRun(ws, row32(), static_cast<std::uint8_t>(file.ReadByte()), n);  // -1 stores 255
    }
  } while (row <= last);
}

void PutLiteralRun(InFile& file, WorkState& ws, std::int32_t row, int n) {
  const std::int64_t inside = PixelsInRaster(ws, row, n);
  for (std::int64_t j = 0; j < inside; ++j)
    PutPixel(ws, row, static_cast<std::uint8_t>(file.ReadByte()));
  file.Seek(file.Tell() + (n - inside));
  SkipPixels(ws, row, n - inside);
}

}  // namespace pelgrin
