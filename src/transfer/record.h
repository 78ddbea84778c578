// Finding, walking and remapping one image record of an SHP archive, for the transfer
// engine. Everything read from the file is checked against the file's length: a record
// is read in blocks into memory and never past the end of the file.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "io/files.h"
#include "shp/work_state.h"

namespace pelgrin {

// Index 0..254 of the palette entry nearest to the colour (sum of the channel
// differences); the lowest index wins a tie. Entry 255 is never chosen.
std::uint8_t NearestColor(const Palette& loaded_palette, int red, int green, int blue);

// Pixel value v of a source image becomes RemapTable[v].
using RemapTable = std::array<std::uint8_t, 256>;
// NearestColor in loaded_palette of every source_palette entry.
RemapTable BuildRemapTable(const Palette& source_palette, const Palette& loaded_palette);

// Where icon `icon` (counting from 0) of an archive lives.
struct IconLocation {
  enum class Status {
    kFound,
    kNoIcon,       // negative, or not below the image count
    kOutsideFile,  // its index entry or its offset lies outside the image data
  };
  Status status = Status::kNoIcon;
  std::int32_t count = 0;   // the image count at byte 4
  std::int64_t offset = 0;  // the record's offset when found
};
// Reads the count and the icon's image offset. The offset must lie after the index
// (8 + 8 * count) and before the end of the file.
IconLocation LocateIcon(InFile& file, std::int32_t icon);

// One image record: the 24-byte header and Bottom - Top + 1 lines of pixel codes (none
// when Bottom is above Top).
struct ImageRecord {
  bool complete = false;  // false when the file ends before the last end-of-line code
  std::vector<std::uint8_t> bytes;
};
// Reads the record at offset; with a remap table, every pixel byte (the bytes of literal
// runs and the value of repeat runs) is replaced by its entry, while codes and skip
// counts stay as they are.
ImageRecord ReadImageRecord(InFile& file, std::int64_t offset, const RemapTable* remap);

}  // namespace pelgrin
