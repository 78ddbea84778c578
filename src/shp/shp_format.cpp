#include "shp/shp_format.h"

#include <algorithm>
#include <vector>

#include "io/byte_order.h"

namespace pelgrin {

int ReadWord(InFile& file) {
  std::uint8_t b[2] = {0, 0};
  file.Read(b);
  return GetLE16(b);
}

std::int32_t ReadLong(InFile& file) {
  std::uint8_t b[4] = {0, 0, 0, 0};
  file.Read(b);
  return GetLE32(b);
}

std::int32_t ReadImageCount(InFile& file) {
  file.Seek(4);
  return ReadLong(file);
}

void ReadIndex(InFile& file, WorkState& ws, std::int32_t count) {
  const std::int32_t entries = std::clamp(count, 0, MaxImages);
  std::vector<std::uint8_t> block(static_cast<std::size_t>(entries) * 8, 0);
  file.Seek(8);
  file.Read(block);
  for (std::int32_t i = 0; i < entries; ++i) {
    const std::uint8_t* entry = block.data() + static_cast<std::size_t>(i) * 8;
    ws.ImageOffsets[static_cast<std::size_t>(i)] = GetLE32(entry);
    ws.PaletteOffsets[static_cast<std::size_t>(i)] = GetLE32(entry + 4);
  }
}

bool IndexMatchesTables(InFile& file, const WorkState& ws) {
  const std::int32_t count = ReadImageCount(file);
  if (count != ws.ImageCount || count < 0 || count > MaxImages) return false;
  std::vector<std::uint8_t> block(static_cast<std::size_t>(count) * 8, 0);
  file.Seek(8);
  file.Read(block);
  for (std::size_t i = 0; i < static_cast<std::size_t>(count); ++i) {
    if (GetLE32(&block[8 * i]) != ws.ImageOffsets[i] ||
        GetLE32(&block[8 * i + 4]) != ws.PaletteOffsets[i])
      return false;
  }
  return true;
}

ImageHeader ParseImageHeader(const std::array<std::uint8_t, kImageHeaderSize>& b) {
  ImageHeader h;
  h.MaxY = GetLE16(&b[0]);
  h.MaxX = GetLE16(&b[2]);
  h.OffsWord = GetLE32(&b[4]);
  h.Left = GetLE32(&b[8]);
  h.Top = GetLE32(&b[12]);
  h.Right = GetLE32(&b[16]);
  h.Bottom = GetLE32(&b[20]);
  return h;
}

std::array<std::uint8_t, kImageHeaderSize> SerializeImageHeader(const ImageHeader& h) {
  std::array<std::uint8_t, kImageHeaderSize> b{};
  PutLE16(&b[0], static_cast<std::uint32_t>(h.MaxY));
  PutLE16(&b[2], static_cast<std::uint32_t>(h.MaxX));
  PutLE32(&b[4], static_cast<std::uint32_t>(h.OffsWord));
  PutLE32(&b[8], static_cast<std::uint32_t>(h.Left));
  PutLE32(&b[12], static_cast<std::uint32_t>(h.Top));
  PutLE32(&b[16], static_cast<std::uint32_t>(h.Right));
  PutLE32(&b[20], static_cast<std::uint32_t>(h.Bottom));
  return b;
}

void ReadImageHeader(InFile& file, WorkState& ws, std::int32_t i) {
  std::array<std::uint8_t, kImageHeaderSize> bytes{};
  if (i >= 0 && i < MaxImages) {
    file.Seek(ws.ImageOffsets[static_cast<std::size_t>(i)]);
    file.Read(bytes);
  }
  ws.CurHeader = ParseImageHeader(bytes);
}

int ReadImagePalette(InFile& file, WorkState& ws, std::int32_t i) {
  if (!IsImageIndex(ws, i)) return 1;
  ws.ActivePalette.fill(Rgb{});
  file.Seek(ws.PaletteOffsets[static_cast<std::size_t>(i)]);
  const std::int32_t n = ReadLong(file);
  for (std::int32_t k = 0; k < n; ++k) {
    std::uint8_t entry[4];
    if (file.Read(entry) < 4) break;  // the record ends with the file
    ws.ActivePalette[entry[0]] = {static_cast<std::uint8_t>(entry[1] * 4),
                                  static_cast<std::uint8_t>(entry[2] * 4),
                                  static_cast<std::uint8_t>(entry[3] * 4)};
  }
  return 0;
}

}  // namespace pelgrin
