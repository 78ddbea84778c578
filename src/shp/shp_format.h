// The SHP archive format: file header, index, image headers, image palette records and
// the pixel codes. All readers go through these functions.
//
// Values read past the end of a file: a field cut off by the end of the file reads its
// missing bytes as 0; a palette entry cut off ends the palette record; the decoder reads
// a missing code as end of line and a missing pixel as transparent.
#pragma once

#include <array>
#include <cstdint>

#include "io/files.h"
#include "shp/work_state.h"

namespace pelgrin {

inline constexpr int kImageHeaderSize = 24;
inline constexpr std::array<std::uint8_t, 4> kNewFileHeaderWord{0x31, 0x2E, 0x31, 0x30};  // "1.10"

// Offsets of the index fields.
constexpr std::int64_t ImageOffsetField(std::int64_t i) {
  return 8 + 8 * i;
}
constexpr std::int64_t PaletteOffsetField(std::int64_t i) {
  return 12 + 8 * i;
}

// Two bytes, low byte first.
int ReadWord(InFile& file);
// Four bytes, least significant first, as a signed 32-bit value.
std::int32_t ReadLong(InFile& file);

// The image count at byte 4.
std::int32_t ReadImageCount(InFile& file);

// Reads count (at most MaxImages) index entries, in one block, into the offset tables.
void ReadIndex(InFile& file, WorkState& ws, std::int32_t count);

// True when the file's image count and index are still those the tables were read from
// (bytes missing at the end of a short file read as 0, as ReadIndex reads them).
bool IndexMatchesTables(InFile& file, const WorkState& ws);

// Reads the 24-byte header of entry i into CurHeader; the file is left at the first byte
// of the pixel data. An entry outside the offset tables reads as an all-zero header.
void ReadImageHeader(InFile& file, WorkState& ws, std::int32_t i);

// The 24 header bytes and back: MaxY, MaxX and the 16-bit halves keep their low 16 bits.
ImageHeader ParseImageHeader(const std::array<std::uint8_t, kImageHeaderSize>& bytes);
std::array<std::uint8_t, kImageHeaderSize> SerializeImageHeader(const ImageHeader& h);

// Builds ActivePalette from entry i's palette record: 0 on success, 1 when i is not an
// entry of the open file (then nothing is read or changed).
int ReadImagePalette(InFile& file, WorkState& ws, std::int32_t i);

// True when the header's Left or Top lies outside the range that holds an image.
constexpr bool IsAbsentImage(const ImageHeader& h) {
  return h.Left > 641 || h.Left < -100 || h.Top > 481 || h.Top < -100;
}

// True when i is an entry of the open file.
inline bool IsImageIndex(const WorkState& ws, std::int32_t i) {
  return i >= 0 && i < ws.ImageCount && i < MaxImages;
}

// True when number (counting from 1) names an image of the open file; test it before
// taking number - 1, which overflows for the lowest 32-bit value.
inline bool IsImageNumber(const WorkState& ws, std::int32_t number) {
  return number >= 1 && IsImageIndex(ws, number - 1);
}

}  // namespace pelgrin
