#include "headerfix/corner_decode.h"

#include <algorithm>
#include <limits>

#include "shp/decode.h"
#include "shp/shp_format.h"

namespace pelgrin {
namespace {

constexpr std::int64_t kMaxInt32 = std::numeric_limits<std::int32_t>::max();

// Where decoding of entry i must stop: the next entry's image offset, or no limit for
// the last image (the end of the file stops it).
std::int64_t CodeLimit(const WorkState& ws, std::int32_t i) {
  if (std::int64_t{i} + 1 < ws.ImageCount && i + 1 < MaxImages)
    return ws.ImageOffsets[static_cast<std::size_t>(i) + 1];
  return std::numeric_limits<std::int64_t>::max();
}

}  // namespace

CornerDecode DecodeFromCorner(InFile& file, WorkState& ws, std::int32_t i) {
  CornerDecode result;
  if (i < 0 || i >= MaxImages) return result;
  file.Seek(std::int64_t{ws.ImageOffsets[static_cast<std::size_t>(i)]} + kImageHeaderSize);
  const std::int64_t limit = CodeLimit(ws, i);
  ws.PutCol = 0;
  // Rows are counted in 64 bits; a row past the 32-bit range holds no raster pixel.
  std::int64_t row = 0;
  const auto row32 = [&row] { return static_cast<std::int32_t>(std::min(row, kMaxInt32)); };

  for (;;) {
    const int c = file.ReadByte();
    if (c < 0 || file.Tell() > limit) break;
    const int n = c >> 1;
    if (c == 0) {
      ++row;
      ws.PutCol = 0;
      continue;
    }
    if (c == 1) {
      PutRun(ws, row32(), kTransparent, std::max(file.ReadByte(), 0));
    } else if (c & 1) {
      PutLiteralRun(file, ws, row32(), n);
    } else {
      // -1 at the end of the file stores 255
      PutRun(ws, row32(), static_cast<std::uint8_t>(file.ReadByte()), n);
    }
    result.DecodedWidth = std::max(result.DecodedWidth, ws.PutCol);
  }
  result.DecodedRows = static_cast<std::int32_t>(std::min(row, kMaxInt32));
  return result;
}

}  // namespace pelgrin
