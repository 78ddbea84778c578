// Lays out a collage of a fuzzed archive from its first image, and from its last.
#include <memory>

#include "fuzz_support.h"
#include "shp/collage.h"
#include "shp/load_shp.h"
#include "shp/work_state.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pelgrin;
  static auto ws = std::make_unique<WorkState>();
  static Surface view(96, 64);
  fuzz::QuietReporter quiet;
  if (LoadShp(*ws, fuzz::AsFile(data, size), quiet) != LoadShpResult::kLoaded) return 0;
  Collage(*ws, 1, false, view, quiet);
  Collage(*ws, ws->ImageCount, true, view, quiet);
  return 0;
}
