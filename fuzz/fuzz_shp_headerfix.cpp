// The header fix window on a fuzzed archive: Show (corner decoder, magnified view,
// guides) of sampled entries, then Write of the fields it computed.
#include <memory>

#include "fuzz_support.h"
#include "headerfix/header_fix.h"
#include "shp/load_shp.h"
#include "shp/work_state.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pelgrin;
  static auto ws = std::make_unique<WorkState>();
  static Surface mag(48, 48);
  fuzz::QuietReporter quiet;
  if (LoadShp(*ws, fuzz::AsFile(data, size), quiet) != LoadShpResult::kLoaded) return 0;
  for (const std::int32_t n : fuzz::SampleNumbers(ws->ImageCount)) {
    const HeaderShowResult shown = HeaderFixShow(*ws, n, n % 2 == 1, mag, quiet);
    WriteImageHeader(*ws, n, shown.new_fields, quiet);
  }
  return 0;
}
