#include "palette/riff_palette.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "io/byte_order.h"
#include "io/text.h"

namespace pelgrin {
namespace {

constexpr std::int64_t kFirstChunk = 12;

std::string Damaged(const std::string& path, std::string_view why) {
  return FillPattern("%s is a damaged RIFF palette: %s.", {path, why});
}

}  // namespace

bool IsRiffPalette(InFile& file) {
  std::array<std::uint8_t, 12> head{};
  file.Seek(0);
  const bool riff = file.Read(head) == head.size() && std::memcmp(&head[0], "RIFF", 4) == 0 &&
                    std::memcmp(&head[8], "PAL ", 4) == 0;
  file.Seek(0);
  return riff;
}

bool ReadRiffPalette(InFile& file, const std::string& path, PaletteEntries& entries,
                     std::string& error) {
  std::int64_t at = kFirstChunk;
  std::array<std::uint8_t, 12> chunk{};  // id, size, version, count
  while (true) {
    file.Seek(at);
    if (file.Read(std::span<std::uint8_t>(chunk.data(), 8)) < 8) {
      error = Damaged(path, "it has no data chunk");
      return false;
    }
    const auto size = static_cast<std::uint32_t>(GetLE32(&chunk[4]));
    if (std::memcmp(&chunk[0], "data", 4) == 0) break;
    at += 8 + std::int64_t{size} + (size & 1);
  }
  if (file.Read(std::span<std::uint8_t>(&chunk[8], 4)) < 4) {
    error = Damaged(path, "its data chunk is cut short");
    return false;
  }
  const int count = std::min<int>(GetLE16(&chunk[10]), 256);
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(4 * count));
  if (file.Read(bytes) < bytes.size()) {
    error = Damaged(path, "its data chunk is cut short");
    return false;
  }
  entries.count = count;
  for (int i = 0; i < count; ++i) {
    const std::uint8_t* e = &bytes[static_cast<std::size_t>(4 * i)];
    entries.colours[static_cast<std::size_t>(i)] = {e[0], e[1], e[2]};
  }
  return true;
}

}  // namespace pelgrin
