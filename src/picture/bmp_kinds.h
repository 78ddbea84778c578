// Bitmaps of the kinds paint programs write beside the plain 24-bit one: 1, 4 and 8 bits
// a pixel with a colour table (uncompressed, RLE8 or RLE4), and 16 or 32 bits (BI_RGB or
// BI_BITFIELDS, with an alpha mask where the header has one), top-down or bottom-up.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "io/files.h"
#include "picture/picture.h"

namespace pelgrin {

// What a bitmap's headers say.
struct BmpInfo {
  std::int64_t offset = 0;  // of the pixel data
  std::int64_t width = 0;
  std::int64_t height = 0;  // positive
  bool top_down = false;
  int bits = 0;
  std::uint32_t compression = 0;
  std::array<std::uint32_t, 4> masks{};  // red, green, blue, alpha
  std::int64_t table_at = 0;             // the colour table
  int table_entry_size = 4;              // 3 for the 12-byte header
  std::int32_t table_entries = 0;        // 1, 4 and 8 bits only
};

// True when the file starts with "BM".
bool HasBmpSignature(InFile& file);

// Parses the headers of a file that starts with "BM"; false when they are not a bitmap's.
bool ParseBmpInfo(InFile& file, BmpInfo& info);

// The uncompressed 24-bit kind, read by ReadBmpFile.
inline bool IsPlainBmp24(const BmpInfo& info) {
  return info.bits == 24;
}

// Reads a bitmap of the other kinds into picture; false with the error box's text.
bool ReadBmpPicture(InFile& file, const std::string& path, const BmpInfo& info, Picture& picture,
                    std::string& error);

// The colour table of a 1-, 4- or 8-bit bitmap, without reading its pixels.
bool ReadBmpPalette(InFile& file, const std::string& path, const BmpInfo& info, Palette& palette,
                    std::int32_t& entries, std::string& error);

}  // namespace pelgrin
