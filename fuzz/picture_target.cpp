#include "picture_target.h"

#include <memory>

#include "convert/index_road.h"
#include "fuzz_support.h"
#include "picture/bmp_file.h"
#include "picture/picture_file.h"
#include "shp/work_state.h"

namespace pelgrin::fuzz {

void ReadPictureInput(const std::uint8_t* data, std::size_t size) {
  static auto ws = std::make_unique<WorkState>();
  static Surface bmp_view(800, 600);
  QuietReporter quiet;
  if (!ReadPictureFile(*ws, AsFile(data, size)).ok) return;
  DrawBmpPixels(*ws, bmp_view, quiet);
  if (!ws->BmpIndexInfo.indexed) return;
  const IndexRoad road = ChooseIndexRoad(*ws, ws->BmpHeader.biWidth, ws->BmpHeader.biHeight);
  std::int64_t kept = 0;
  if (road.keep) KeepIndices(*ws, ws->BmpHeader.biWidth, ws->BmpHeader.biHeight, kept);
}

}  // namespace pelgrin::fuzz
