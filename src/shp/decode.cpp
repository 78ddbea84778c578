#include "shp/decode.h"

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
  const auto put = [&](int value) {
    // Rows past the 32-bit range cannot hold a pixel of the raster.
    PutPixel(ws, row > INT32_MAX ? INT32_MAX : static_cast<std::int32_t>(row),
             static_cast<std::uint8_t>(value));
  };

  do {
    const int c = file.ReadByte();
    if (c < 0) break;  // every later code would only end a line: nothing more to draw
    const int n = c >> 1;
    if (c == 1) {
      const int k = file.ReadByte();
      for (int j = 0; j < k; ++j)
        put(kTransparent);
    } else if (c == 0) {
      ++row;
      ws.PutCol = start;
    } else if (c & 1) {
      for (int j = 0; j < n; ++j)
        put(file.ReadByte());  // -1 at the end stores 255
    } else {
      const int v = file.ReadByte();
      for (int j = 0; j < n; ++j)
        put(v);
    }
  } while (row <= last);
}

}  // namespace pelgrin
