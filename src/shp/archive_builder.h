// Lays out a whole SHP archive from image records: the records follow the index in
// order, each image's own palette record directly after its image record.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace pelgrin {

struct ArchiveImage {
  // The image record: 24-byte header and pixel data.
  std::vector<std::uint8_t> record;
  // Entries of its own palette record (index, red, green, blue; 6-bit channels); none
  // when has_palette is false.
  bool has_palette = false;
  std::vector<std::array<std::uint8_t, 4>> palette;
  // When 0 or more: this entry shares the record and palette of that earlier entry.
  int same_as = -1;
};

// The archive's bytes, with the given header word.
std::vector<std::uint8_t> BuildArchive(const std::vector<ArchiveImage>& images,
                                       std::array<std::uint8_t, 4> header_word = {0x31, 0x2E, 0x31,
                                                                                  0x30});

}  // namespace pelgrin
