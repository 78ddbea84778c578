// Reads a fuzzed text palette file into two palettes.
#include <memory>

#include "fuzz_support.h"
#include "palette/text_palette.h"
#include "shp/work_state.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pelgrin;
  static Palette a;
  static Palette b;
  ReadPalFile(fuzz::AsFile(data, size), {&a, &b});
  return 0;
}
