// Opens a fuzzed archive as Load SHP does, then shows every entry (header, palette,
// decoding, drawing) on the view surface.
#include <memory>

#include "fuzz_support.h"
#include "shp/load_shp.h"
#include "shp/show.h"
#include "shp/work_state.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pelgrin;
  static auto ws = std::make_unique<WorkState>();
  // Drawing is clipped the same way on any surface; a small one keeps runs fast.
  static Surface view(96, 64);
  fuzz::QuietReporter quiet;
  if (LoadShp(*ws, fuzz::AsFile(data, size), quiet) != LoadShpResult::kLoaded) return 0;
  // The first and last few entries, and the numbers just outside the file.
  const std::int32_t count = ws->ImageCount;
  for (std::int32_t n = 0; n <= count + 1; ++n) {
    if (n > 4 && n < count - 3) n = count - 3;
    ShowImage(*ws, n, n % 2 == 0, view, quiet);
  }
  return 0;
}
