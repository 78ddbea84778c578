#include "palette/act_palette.h"

#include <array>

namespace pelgrin {

bool ReadActPalette(InFile& file, PaletteEntries& entries) {
  std::array<std::uint8_t, kActPaletteSize> bytes{};
  file.Seek(0);
  const std::size_t got = file.Read(bytes);
  if (got != static_cast<std::size_t>(kRawPaletteSize) &&
      got != static_cast<std::size_t>(kActPaletteSize))
    return false;
  int count = 256;
  if (got == static_cast<std::size_t>(kActPaletteSize)) {
    count = bytes[768] << 8 | bytes[769];
    if (count == 0 || count > 256) count = 256;
  }
  entries.count = count;
  for (int i = 0; i < count; ++i)
    entries.colours[static_cast<std::size_t>(i)] = {bytes[static_cast<std::size_t>(3 * i)],
                                                    bytes[static_cast<std::size_t>(3 * i + 1)],
                                                    bytes[static_cast<std::size_t>(3 * i + 2)]};
  return true;
}

void WriteActPalette(OutFile& out, const Palette& palette) {
  for (const Rgb& c : palette) {
    out.WriteByte(c.r);
    out.WriteByte(c.g);
    out.WriteByte(c.b);
  }
}

}  // namespace pelgrin
