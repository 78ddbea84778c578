// Reads a fuzzed file as Load Pal does: recognised by content as a GIMP, RIFF, text,
// Adobe or raw palette or an indexed picture's, into two palettes.
#include "fuzz_support.h"
#include "palette/palette_file.h"
#include "shp/work_state.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pelgrin;
  static Palette a;
  static Palette b;
  ReadPaletteFile(fuzz::AsFile(data, size), {&a, &b});
  return 0;
}
