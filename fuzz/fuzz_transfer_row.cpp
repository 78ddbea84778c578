// One transfer row on a fuzzed source and destination archive. Input: byte 0 the source
// icon, byte 1 the destination icon, byte 2 bit 0 "Use 2 Palettes", bytes 3-4 the length
// of the source archive (little-endian); the source archive follows, then the destination.
#include <filesystem>
#include <memory>

#include "fuzz_support.h"
#include "io/byte_order.h"
#include "io/files.h"
#include "io/paths.h"
#include "transfer/engine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pelgrin;
  if (size < 5) return 0;
  static auto ws = std::make_unique<WorkState>();
  const std::string dir = fuzz::ScratchDir();
  std::filesystem::create_directories(dir + "/source");
  std::filesystem::create_directories(dir + "/dest");
  const std::size_t source_size = std::min<std::size_t>(GetLE16(data + 3), size - 5);
  fuzz::WriteFile(dir + "/source/s.shp", data + 5, source_size);
  fuzz::WriteFile(dir + "/dest/d.shp", data + 5 + source_size, size - 5 - source_size);
  SetProgramDir(*ws, dir + "/");
  for (std::size_t i = 0; i < ws->SourcePalette.size(); ++i)
    ws->SourcePalette[i] = {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(3 * i), 7};
  const ScriptFields row = {"", "d", std::to_string(data[1]), "s", std::to_string(data[0])};
  TransferLabels labels;
  fuzz::QuietReporter quiet;
  TransferRow(*ws, row, (data[2] & 1) != 0, labels, quiet);
  return 0;
}
