// Adobe colour tables (.act) and raw palettes: 256 red, green, blue triples (768 bytes),
// or those followed by a big-endian entry count and a transparent index (772 bytes).
#pragma once

#include <cstdint>

#include "io/files.h"
#include "palette/palette_entries.h"

namespace pelgrin {

inline constexpr std::int64_t kRawPaletteSize = 768;
inline constexpr std::int64_t kActPaletteSize = 772;

// Reads a file of one of the two sizes. The count of a 772-byte file sets that many
// entries (0 or more than 256 mean 256); its transparent index is ignored, index 255
// being the transparent one here.
bool ReadActPalette(InFile& file, PaletteEntries& entries);

// Writes the 256 entries as 768 bytes.
void WriteActPalette(OutFile& out, const Palette& palette);

}  // namespace pelgrin
