#include "picture/bmp_kinds.h"

#include <algorithm>
#include <bit>
#include <vector>

#include "io/byte_order.h"
#include "io/text.h"
#include "picture/bmp_rle.h"

namespace pelgrin {
namespace {

constexpr std::uint32_t kRgb = 0;
constexpr std::uint32_t kRle8 = 1;
constexpr std::uint32_t kRle4 = 2;
constexpr std::uint32_t kBitfields = 3;
constexpr std::uint32_t kAlphaBitfields = 6;
constexpr std::int64_t kFileHeader = 14;

std::string Damaged(const std::string& path, std::string_view why) {
  return FillPattern("%s is a damaged bitmap (%s).", {path, why});
}

bool HasMasks(const BmpInfo& info) {
  return info.compression == kBitfields || info.compression == kAlphaBitfields;
}

// The masks of a BITFIELDS bitmap: inside a header of 52 bytes or more (alpha from 56),
// else right after the 40-byte header (alpha too for ALPHABITFIELDS).
void ReadMasks(InFile& file, const std::uint8_t* head, std::uint32_t header_size, BmpInfo& info) {
  if (header_size >= 52) {
    for (int i = 0; i < (header_size >= 56 ? 4 : 3); ++i)
      info.masks[static_cast<std::size_t>(i)] =
          static_cast<std::uint32_t>(GetLE32(head + kFileHeader + 40 + 4 * i));
    return;
  }
  const int count = info.compression == kAlphaBitfields ? 4 : 3;
  std::array<std::uint8_t, 16> bytes{};
  file.Seek(kFileHeader + header_size);
  file.Read(std::span<std::uint8_t>(bytes.data(), static_cast<std::size_t>(4 * count)));
  for (int i = 0; i < count; ++i)
    info.masks[static_cast<std::size_t>(i)] = static_cast<std::uint32_t>(GetLE32(&bytes[4 * i]));
  info.table_at += 4 * count;
}

void DefaultMasks(BmpInfo& info) {
  if (info.bits == 16)
    info.masks = {0x7C00, 0x03E0, 0x001F, 0};
  else if (info.bits == 32)
    info.masks = {0xFF0000, 0xFF00, 0xFF, 0};
}

bool Supported(const BmpInfo& info) {
  switch (info.bits) {
    case 1:
      return info.compression == kRgb;
    case 4:
      return info.compression == kRgb || info.compression == kRle4;
    case 8:
      return info.compression == kRgb || info.compression == kRle8;
    case 16:
    case 32:
      return info.compression == kRgb || HasMasks(info);
    default:
      return false;
  }
}

// A mask must be one run of bits inside the pixel.
bool MaskFits(std::uint32_t mask, int bits) {
  if (mask == 0) return true;
  if (bits < 32 && (mask >> bits) != 0) return false;
  const std::uint32_t run = mask >> std::countr_zero(mask);
  return (run & (run + 1)) == 0;
}

// A channel of n bits widened to 8 by repeating its bits (5 bits abcde give abcdeabc).
std::uint8_t Widen(std::uint32_t value, int n) {
  if (n >= 8) return static_cast<std::uint8_t>(value >> (n - 8));
  std::uint32_t out = 0;
  int filled = 0;
  while (filled < 8) {
    out = (out << n) | value;
    filled += n;
  }
  return static_cast<std::uint8_t>(out >> (filled - 8));
}

std::uint8_t Channel(std::uint32_t pixel, std::uint32_t mask, std::uint8_t absent) {
  if (mask == 0) return absent;
  return Widen((pixel & mask) >> std::countr_zero(mask), std::popcount(mask));
}

bool ReadTable(InFile& file, const BmpInfo& info, Picture& picture) {
  const std::size_t bytes = static_cast<std::size_t>(info.table_entries) *
                            static_cast<std::size_t>(info.table_entry_size);
  std::vector<std::uint8_t> table(bytes);
  file.Seek(info.table_at);
  if (file.Read(table) < bytes) return false;
  picture.entries = info.table_entries;
  for (std::int32_t i = 0; i < info.table_entries; ++i) {
    const std::uint8_t* e = &table[static_cast<std::size_t>(i * info.table_entry_size)];
    picture.palette[static_cast<std::size_t>(i)] = {e[2], e[1], e[0]};
  }
  return true;
}

// The uncompressed rows, each padded to 4 bytes, bottom-up unless top_down.
bool ReadRows(InFile& file, const BmpInfo& info, Picture& picture, std::string& why) {
  const std::int64_t stride = (info.width * info.bits + 31) / 32 * 4;
  const std::int64_t used = (info.width * info.bits + 7) / 8;
  if (info.offset + stride * (info.height - 1) + used > file.Size()) {
    why = "cut";
    return false;
  }
  std::vector<std::uint8_t> row(static_cast<std::size_t>(used));
  for (std::int32_t y = 0; y < picture.height; ++y) {
    const std::int64_t stored = info.top_down ? y : info.height - 1 - y;
    file.Seek(info.offset + stored * stride);
    if (file.Read(row) < row.size()) {
      why = "cut";
      return false;
    }
    for (std::int32_t x = 0; x < picture.width; ++x) {
      if (info.bits <= 8) {
        const std::int64_t bit = std::int64_t{x} * info.bits;
        const int shift = 8 - info.bits - static_cast<int>(bit % 8);
        const auto index = static_cast<std::uint8_t>(
            (row[static_cast<std::size_t>(bit / 8)] >> shift) & ((1 << info.bits) - 1));
        if (index >= picture.entries) {
          why = "it uses a colour index that its colour table does not hold";
          return false;
        }
        picture.PutIndex(x, y, index);
        continue;
      }
      const std::size_t at = static_cast<std::size_t>(x) * static_cast<std::size_t>(info.bits / 8);
      const std::uint32_t pixel =
          info.bits == 16 ? GetLE16(&row[at]) : static_cast<std::uint32_t>(GetLE32(&row[at]));
      std::uint8_t* px = picture.Pixel(x, y);
      px[0] = Channel(pixel, info.masks[0], 0);
      px[1] = Channel(pixel, info.masks[1], 0);
      px[2] = Channel(pixel, info.masks[2], 0);
      px[3] = Channel(pixel, info.masks[3], 255);
    }
  }
  return true;
}

}  // namespace

bool HasBmpSignature(InFile& file) {
  std::array<std::uint8_t, 2> head{};
  file.Seek(0);
  const bool bmp = file.Read(head) == head.size() && head[0] == 'B' && head[1] == 'M';
  file.Seek(0);
  return bmp;
}

bool ParseBmpInfo(InFile& file, BmpInfo& info) {
  std::array<std::uint8_t, kFileHeader + 124> head{};
  file.Seek(0);
  const std::size_t got = file.Read(head);
  if (got < kFileHeader + 12 || head[0] != 'B' || head[1] != 'M') return false;
  const auto header_size = static_cast<std::uint32_t>(GetLE32(&head[14]));
  info = BmpInfo();
  info.offset = static_cast<std::uint32_t>(GetLE32(&head[10]));
  info.table_at = kFileHeader + header_size;
  if (header_size == 12) {
    info.width = GetLE16(&head[18]);
    info.height = GetLE16(&head[20]);
    info.bits = GetLE16(&head[24]);
    info.table_entry_size = 3;
  } else if (header_size >= 16 && got >= static_cast<std::size_t>(kFileHeader) +
                                             std::min<std::uint32_t>(header_size, 124)) {
    info.width = GetLE32(&head[18]);
    info.height = GetLE32(&head[22]);
    info.bits = GetLE16(&head[28]);
    if (header_size >= 20) info.compression = static_cast<std::uint32_t>(GetLE32(&head[30]));
    if (header_size >= 36) info.table_entries = GetLE32(&head[46]);
  } else {
    return false;
  }
  info.top_down = info.height < 0;
  info.height = info.top_down ? -info.height : info.height;
  if (info.bits <= 8) {
    const std::int32_t most = info.bits >= 1 ? 1 << info.bits : 0;
    const std::int64_t used = static_cast<std::uint32_t>(info.table_entries);
    info.table_entries =
        static_cast<std::int32_t>(used == 0 ? most : std::min<std::int64_t>(used, most));
  } else {
    info.table_entries = 0;
    if (HasMasks(info))
      ReadMasks(file, head.data(), header_size, info);
    else
      DefaultMasks(info);
  }
  return true;
}

bool ReadBmpPicture(InFile& file, const std::string& path, const BmpInfo& info, Picture& picture,
                    std::string& error) {
  if (!Supported(info)) {
    error = FillPattern(
        "%s is a kind of bitmap that cannot be read here (%d bits a pixel, "
        "compression %d).",
        {path, std::to_string(info.bits), std::to_string(info.compression)});
    return false;
  }
  if (info.width <= 0 || info.height <= 0) {
    error = Damaged(path, "its width or height is 0");
    return false;
  }
  if (info.width > RasterCols || info.height > RasterRows) {
    error = FillPattern("%s is larger than 839 x 649 pixels.", {path});
    return false;
  }
  if (info.bits > 8 && !std::all_of(info.masks.begin(), info.masks.end(),
                                    [&info](std::uint32_t m) { return MaskFits(m, info.bits); })) {
    error = Damaged(path, "its colour masks are not runs of bits inside a pixel");
    return false;
  }
  Picture read;
  read.Resize(static_cast<std::int32_t>(info.width), static_cast<std::int32_t>(info.height),
              info.bits <= 8);
  if (info.bits <= 8 && !ReadTable(file, info, read)) {
    error = Damaged(path, "its colour table is cut short");
    return false;
  }
  std::string why;
  const bool rle = info.compression == kRle8 || info.compression == kRle4;
  if (!(rle ? DecodeBmpRle(file, info, read, why) : ReadRows(file, info, read, why))) {
    error = why == "cut" ? FillPattern("%s is cut short: its pixel rows are missing.", {path})
                         : Damaged(path, why);
    return false;
  }
  picture = std::move(read);
  return true;
}

bool ReadBmpPalette(InFile& file, const std::string& path, const BmpInfo& info, Palette& palette,
                    std::int32_t& entries, std::string& error) {
  if (info.bits < 1 || info.bits > 8) {
    error = FillPattern("%s holds no palette: it is not an indexed picture.", {path});
    return false;
  }
  Picture read;
  if (!ReadTable(file, info, read)) {
    error = Damaged(path, "its colour table is cut short");
    return false;
  }
  palette = read.palette;
  entries = read.entries;
  return true;
}

}  // namespace pelgrin
