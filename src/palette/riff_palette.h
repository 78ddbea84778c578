// RIFF palettes: "RIFF", the form type "PAL ", and a "data" chunk holding a version, an
// entry count and four bytes an entry (red, green, blue, flags).
#pragma once

#include <string>

#include "io/files.h"
#include "palette/palette_entries.h"

namespace pelgrin {

bool IsRiffPalette(InFile& file);

// Reads the data chunk's entries (at most 256); false with the error box's text when the
// file has no data chunk or ends inside it.
bool ReadRiffPalette(InFile& file, const std::string& path, PaletteEntries& entries,
                     std::string& error);

}  // namespace pelgrin
