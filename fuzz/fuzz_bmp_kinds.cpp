// Reads a fuzzed file as Load BMP does, through the readers of every bitmap kind (indexed,
// RLE, 16/32-bit), draws it, and keeps its indices when it is indexed.
#include "picture_target.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  pelgrin::fuzz::ReadPictureInput(data, size);
  return 0;
}
