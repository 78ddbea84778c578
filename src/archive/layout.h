// The layout of an SHP archive: its index, the image and palette records the index points
// at, and every other byte after the index (gaps), in file order. A damaged archive (a
// count outside 0..10000, an index, record or palette record running past the end of the
// file, an offset inside the index, an image and a palette record at the same byte) is
// refused with the reason.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "shp/work_state.h"

namespace pelgrin {

struct LayoutEntry {
  std::int32_t image_offset = 0;
  std::int32_t palette_offset = 0;  // 0 or less: no palette record of its own
  int record = -1;                  // index into ArchiveLayout::records
  int palette = -1;                 // index into ArchiveLayout::palettes; -1 for none
};

struct LayoutRecord {
  std::int64_t start = 0;
  // The 24-byte header and the lines up to the end of the last, or up to the next block
  // when the lines run into it.
  std::int64_t length = 0;
  ImageHeader header;
  bool absent = false;  // no image: the record is its header alone
  int first_entry = 0;
};

struct LayoutPalette {
  std::int64_t start = 0;
  std::int64_t length = 0;  // the 4-byte count and its entries
  int first_entry = 0;
};

struct LayoutBlock {
  enum class Kind { kRecord, kPalette, kGap };
  Kind kind = Kind::kGap;
  int id = -1;  // the record or palette record; -1 for a gap
  std::int64_t start = 0;
  std::int64_t length = 0;
};

struct ArchiveLayout {
  std::array<std::uint8_t, 4> header_word{};
  std::vector<LayoutEntry> entries;
  std::vector<LayoutRecord> records;  // in the order of their first entry
  std::vector<LayoutPalette> palettes;
  std::vector<LayoutBlock> blocks;  // everything after the index, in file order
};

// Scans the archive's bytes. On refusal, problem says why (to follow "... is damaged: ").
bool ScanLayout(std::span<const std::uint8_t> bytes, ArchiveLayout& layout, std::string& problem);

// The length of the pixel codes from pixels (just after a record's header) up to the end
// of the last line the decoder reads for header h; nothing when the bytes end first.
std::optional<std::int64_t> MeasureLines(std::span<const std::uint8_t> pixels,
                                         const ImageHeader& h);

}  // namespace pelgrin
