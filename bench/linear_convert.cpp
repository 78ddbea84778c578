// The plain converter bench/convert_floor.sh times pelgrin-cli convert against: reads the
// bitmap as convert does, searches all 255 entries of the built-in palette for every
// pixel (sum of absolute channel differences, the lower index on equal distances) and
// writes the indices, one byte a pixel, column by column.
//   linear_convert BMP OUT
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "io/files.h"
#include "picture/picture_file.h"
#include "shp/work_state.h"

namespace pelgrin {
namespace {

std::uint8_t Nearest(const std::uint8_t* rgb) {
  int best_index = 0;
  int best = 1 << 30;
  for (int i = 0; i < 255; ++i) {
    const Rgb e = DefaultPalette[static_cast<std::size_t>(i)];
    const int d = std::abs(e.r - rgb[0]) + std::abs(e.g - rgb[1]) + std::abs(e.b - rgb[2]);
    if (d < best) {
      best = d;
      best_index = i;
    }
  }
  return static_cast<std::uint8_t>(best_index);
}

int Run(const std::string& bmp, const std::string& out) {
  auto ws = std::make_unique<WorkState>();
  const PictureReadResult read = ReadPictureFile(*ws, bmp);
  if (!read.ok) {
    std::fprintf(stderr, "%s\n", read.message.c_str());
    return 1;
  }
  const int width = ws->BmpHeader.biWidth;
  const int height = ws->BmpHeader.biHeight;
  std::vector<std::uint8_t> indices;
  indices.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  for (int x = 0; x < width && x < RasterCols; ++x) {
    for (int y = 0; y < height && y < RasterRows; ++y) {
      const std::size_t at = static_cast<std::size_t>(x) * RasterRows + static_cast<std::size_t>(y);
      indices.push_back(Nearest(&ws->BmpPixels[3 * at]));
    }
  }
  return ReplaceFileContent(out, indices) ? 0 : 1;
}

}  // namespace
}  // namespace pelgrin

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: linear_convert BMP OUT\n");
    return 2;
  }
  return pelgrin::Run(argv[1], argv[2]);
}
