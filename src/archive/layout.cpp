#include "archive/layout.h"

#include <algorithm>
#include <map>

#include "io/byte_order.h"
#include "shp/shp_format.h"

namespace pelgrin {
namespace {

std::string EntryName(int entry) {
  return "entry #" + std::to_string(entry + 1);
}

// Entries and their offsets; records and palette records numbered by first use.
bool ReadEntries(std::span<const std::uint8_t> bytes, std::int32_t count, ArchiveLayout& layout,
                 std::string& problem) {
  const std::int64_t index_end = 8 + std::int64_t{8} * count;
  std::map<std::int32_t, int> record_at, palette_at;
  for (int i = 0; i < count; ++i) {
    LayoutEntry e;
    e.image_offset = GetLE32(&bytes[static_cast<std::size_t>(ImageOffsetField(i))]);
    e.palette_offset = GetLE32(&bytes[static_cast<std::size_t>(PaletteOffsetField(i))]);
    if (e.image_offset < index_end || (e.palette_offset > 0 && e.palette_offset < index_end)) {
      problem = "an offset of " + EntryName(i) + " lies inside the index";
      return false;
    }
    const auto [rec, new_record] = record_at.emplace(e.image_offset, layout.records.size());
    if (new_record) layout.records.push_back({e.image_offset, 0, {}, false, i});
    e.record = rec->second;
    if (e.palette_offset > 0) {
      const auto [pal, new_palette] = palette_at.emplace(e.palette_offset, layout.palettes.size());
      if (new_palette) layout.palettes.push_back({e.palette_offset, 0, i});
      e.palette = pal->second;
    }
    layout.entries.push_back(e);
  }
  return true;
}

bool MeasureRecord(std::span<const std::uint8_t> bytes, LayoutRecord& r, std::string& problem) {
  const auto size = static_cast<std::int64_t>(bytes.size());
  problem = "the image record of " + EntryName(r.first_entry) + " runs past the end of the file";
  if (r.start + kImageHeaderSize > size) return false;
  std::array<std::uint8_t, kImageHeaderSize> head;
  std::copy_n(bytes.begin() + r.start, kImageHeaderSize, head.begin());
  r.header = ParseImageHeader(head);
  r.absent = IsAbsentImage(r.header);
  r.length = kImageHeaderSize;
  if (r.absent) return true;
  const auto lines =
      MeasureLines(bytes.subspan(static_cast<std::size_t>(r.start + r.length)), r.header);
  if (!lines) return false;
  r.length += *lines;
  return true;
}

bool MeasurePalette(std::span<const std::uint8_t> bytes, LayoutPalette& p, std::string& problem) {
  const auto size = static_cast<std::int64_t>(bytes.size());
  problem = "the palette record of " + EntryName(p.first_entry) + " runs past the end of the file";
  if (p.start + 4 > size) return false;
  const std::int32_t n = GetLE32(&bytes[static_cast<std::size_t>(p.start)]);
  p.length = 4 + 4 * std::int64_t{std::max(n, 0)};
  return p.start + p.length <= size;
}

// Blocks in file order, with the gaps between them. A block that runs into the next one
// ends where that one starts (the decoder may read on into it, but its bytes belong to the
// next block); two blocks that start at the same byte are refused.
bool OrderBlocks(std::int64_t index_end, std::int64_t size, ArchiveLayout& layout,
                 std::string& problem) {
  std::vector<LayoutBlock> blocks;
  for (std::size_t i = 0; i < layout.records.size(); ++i)
    blocks.push_back({LayoutBlock::Kind::kRecord, static_cast<int>(i), layout.records[i].start,
                      layout.records[i].length});
  for (std::size_t i = 0; i < layout.palettes.size(); ++i)
    blocks.push_back({LayoutBlock::Kind::kPalette, static_cast<int>(i), layout.palettes[i].start,
                      layout.palettes[i].length});
  std::sort(blocks.begin(), blocks.end(),
            [](const LayoutBlock& a, const LayoutBlock& b) { return a.start < b.start; });
  std::int64_t pos = index_end;
  for (std::size_t i = 0; i < blocks.size(); ++i) {
    LayoutBlock& b = blocks[i];
    if (i + 1 < blocks.size() && blocks[i + 1].start == b.start) {
      problem = "an image record and a palette record start at byte " + std::to_string(b.start);
      return false;
    }
    if (i + 1 < blocks.size()) b.length = std::min(b.length, blocks[i + 1].start - b.start);
    if (b.kind == LayoutBlock::Kind::kRecord)
      layout.records[static_cast<std::size_t>(b.id)].length = b.length;
    else
      layout.palettes[static_cast<std::size_t>(b.id)].length = b.length;
    if (b.start > pos) layout.blocks.push_back({LayoutBlock::Kind::kGap, -1, pos, b.start - pos});
    layout.blocks.push_back(b);
    pos = b.start + b.length;
  }
  if (pos < size) layout.blocks.push_back({LayoutBlock::Kind::kGap, -1, pos, size - pos});
  return true;
}

}  // namespace

std::optional<std::int64_t> MeasureLines(std::span<const std::uint8_t> pixels,
                                         const ImageHeader& h) {
  // The decoder reads at least one line, and Bottom - Top + 1 when there are more.
  const std::int64_t lines = std::max<std::int64_t>(1, std::int64_t{h.Bottom} - h.Top + 1);
  const auto size = static_cast<std::int64_t>(pixels.size());
  std::int64_t at = 0;
  for (std::int64_t ended = 0; ended < lines;) {
    if (at >= size) return std::nullopt;
    const int c = pixels[static_cast<std::size_t>(at++)];
    if (c == 0) {
      ++ended;
    } else if (c == 1 || (c & 1) == 0) {
      ++at;  // a skip count or a repeated index
    } else {
      at += c >> 1;  // literal indices
    }
  }
  return at;
}

bool ScanLayout(std::span<const std::uint8_t> bytes, ArchiveLayout& layout, std::string& problem) {
  layout = {};
  const auto size = static_cast<std::int64_t>(bytes.size());
  if (size < 8) {
    problem = "its file header is cut off";
    return false;
  }
  std::copy_n(bytes.begin(), 4, layout.header_word.begin());
  const std::int32_t count = GetLE32(&bytes[4]);
  if (count < 0 || count > MaxImages) {
    problem = "its image count " + std::to_string(count) + " lies outside 0..10000";
    return false;
  }
  const std::int64_t index_end = 8 + std::int64_t{8} * count;
  if (index_end > size) {
    problem = "its index runs past the end of the file";
    return false;
  }
  if (!ReadEntries(bytes, count, layout, problem)) return false;
  for (LayoutRecord& r : layout.records)
    if (!MeasureRecord(bytes, r, problem)) return false;
  for (LayoutPalette& p : layout.palettes)
    if (!MeasurePalette(bytes, p, problem)) return false;
  return OrderBlocks(index_end, size, layout, problem);
}

}  // namespace pelgrin
