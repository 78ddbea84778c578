// What fuzz_png_read and fuzz_bmp_kinds do with a fuzzed picture: read it as Load BMP
// does, draw it, and take Convert's road for an indexed picture.
#pragma once

#include <cstddef>
#include <cstdint>

namespace pelgrin::fuzz {

void ReadPictureInput(const std::uint8_t* data, std::size_t size);

}  // namespace pelgrin::fuzz
