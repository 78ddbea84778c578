// GIMP palettes (.gpl): the line "GIMP Palette", optional "Name:" and "Columns:" lines and
// "#" comments, then one "red green blue name" row an entry.
#pragma once

#include <string>

#include "io/files.h"
#include "palette/palette_entries.h"

namespace pelgrin {

// True when the first line is "GIMP Palette".
bool IsGplPalette(InFile& file);

// Reads the rows (the first 256 of them); false with the error box's text when a row is
// not three values from 0 to 255.
bool ReadGplPalette(InFile& file, const std::string& path, PaletteEntries& entries,
                    std::string& error);

// Writes all 256 entries, named after name.
void WriteGplPalette(OutFile& out, const Palette& palette, const std::string& name);

}  // namespace pelgrin
