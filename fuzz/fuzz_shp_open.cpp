// Opens a fuzzed archive as Load SHP does, then shows its first and last entries and the
// numbers just outside it (header, palette, decoding, drawing).
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
  for (const std::int32_t n : fuzz::SampleNumbers(ws->ImageCount)) {
    ShowImage(*ws, n, n % 2 == 0, view, quiet);
  }
  return 0;
}
