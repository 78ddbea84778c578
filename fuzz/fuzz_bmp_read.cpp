// Reads a fuzzed file as Load BMP does, draws it on the bitmap window's surface, and
// writes the raster back out as Write BMP does.
#include <memory>

#include "fuzz_support.h"
#include "picture/bmp_file.h"
#include "shp/work_state.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pelgrin;
  static auto ws = std::make_unique<WorkState>();
  static Surface bmp_view(800, 600);
  fuzz::QuietReporter quiet;
  if (ReadBmpFile(*ws, fuzz::AsFile(data, size)) != BmpReadResult::kOk) return 0;
  DrawBmpPixels(*ws, bmp_view, quiet);
  return 0;
}
