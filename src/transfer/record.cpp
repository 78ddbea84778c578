#include "transfer/record.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <span>

#include "convert/color_match.h"
#include "io/byte_order.h"
#include "shp/shp_format.h"

namespace pelgrin {
namespace {

constexpr std::size_t kReadBlock = 1 << 14;

// The bytes of a record, read from the file in blocks as the walk needs them.
class RecordBuffer {
 public:
  RecordBuffer(InFile& file, std::int64_t offset) : file_(file), offset_(offset) {}

  // True when `count` bytes from position `at` of the record are in memory.
  bool Has(std::size_t at, std::size_t count) {
    while (bytes_.size() < at + count) {
      if (!ReadBlock()) return false;
    }
    return true;
  }
  std::uint8_t& operator[](std::size_t at) { return bytes_[at]; }
  std::vector<std::uint8_t> Take(std::size_t length) {
    bytes_.resize(length);
    return std::move(bytes_);
  }

 private:
  bool ReadBlock() {
    const std::size_t have = bytes_.size();
    bytes_.resize(have + kReadBlock);
    file_.Seek(offset_ + static_cast<std::int64_t>(have));
    const std::size_t got = file_.Read(std::span(bytes_.data() + have, kReadBlock));
    bytes_.resize(have + got);
    return got > 0;
  }

  InFile& file_;
  std::int64_t offset_;
  std::vector<std::uint8_t> bytes_;
};

// Walks one line of pixel codes from position `at`, remapping its pixel bytes. Returns
// the position after its end-of-line code, or nothing when the record ends first.
std::optional<std::size_t> WalkLine(RecordBuffer& record, std::size_t at, const RemapTable* remap) {
  const auto map = [&](std::size_t from, std::size_t count) {
    if (remap == nullptr) return;
    for (std::size_t i = from; i < from + count; ++i)
      record[i] = (*remap)[record[i]];
  };
  for (;;) {
    if (!record.Has(at, 1)) return std::nullopt;
    const int code = record[at++];
    if (code == 0) return at;
    const std::size_t n = static_cast<std::size_t>(code >> 1);
    const std::size_t follow = code == 1 ? 1 : (code & 1) ? n : 1;
    if (!record.Has(at, follow)) return std::nullopt;
    if (code != 1) map(at, follow);
    at += follow;
  }
}

}  // namespace

std::uint8_t NearestColor(const Palette& loaded_palette, int red, int green, int blue) {
  int best = 0;
  int best_distance = INT32_MAX;
  for (int i = 0; i < 255; ++i) {
    const Rgb& e = loaded_palette[static_cast<std::size_t>(i)];
    const int distance = std::abs(e.r - red) + std::abs(e.g - green) + std::abs(e.b - blue);
    if (distance < best_distance) {
      best = i;
      best_distance = distance;
    }
  }
  return static_cast<std::uint8_t>(best);
}

RemapTable BuildRemapTable(const Palette& source_palette, const Palette& loaded_palette) {
  // The converter's search, without its flash exclusion and BackColor rule: NearestColor
  // of every entry, looking only at the loaded entries that can be nearest.
  PaletteSearch search(loaded_palette, /*no_flash=*/false);
  RemapTable table{};
  for (std::size_t v = 0; v < table.size(); ++v)
    table[v] = search.Nearest(source_palette[v]);
  return table;
}

IconLocation LocateIcon(InFile& file, std::int32_t icon) {
  IconLocation where;
  where.count = ReadImageCount(file);
  if (icon < 0 || icon >= where.count) return where;
  where.status = IconLocation::Status::kOutsideFile;
  const std::int64_t field = ImageOffsetField(icon);
  if (field + 4 > file.Size()) return where;
  file.Seek(field);
  const std::int64_t offset = ReadLong(file);
  if (offset < ImageOffsetField(where.count) || offset >= file.Size()) return where;
  where.status = IconLocation::Status::kFound;
  where.offset = offset;
  return where;
}

ImageRecord ReadImageRecord(InFile& file, std::int64_t offset, const RemapTable* remap) {
  RecordBuffer record(file, offset);
  if (!record.Has(0, kImageHeaderSize)) return {};
  const std::int64_t top = static_cast<std::int32_t>(GetLE32(&record[12]));
  const std::int64_t bottom = static_cast<std::int32_t>(GetLE32(&record[20]));
  const std::int64_t lines = std::max<std::int64_t>(0, bottom - top + 1);
  // Every line takes at least its end-of-line byte.
  if (lines > file.Size() - offset - kImageHeaderSize) return {};
  std::size_t at = kImageHeaderSize;
  for (std::int64_t line = 0; line < lines; ++line) {
    const auto next = WalkLine(record, at, remap);
    if (!next) return {};
    at = *next;
  }
  return {true, record.Take(at)};
}

}  // namespace pelgrin
