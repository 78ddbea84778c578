// A palette as a file gives it: its colours and how many entries it sets (the entries
// from count to 255 keep their old colours when it is loaded).
#pragma once

#include <cstdint>
#include <string>

#include "io/files.h"
#include "shp/work_state.h"

namespace pelgrin {

struct PaletteEntries {
  Palette colours{};
  std::int32_t count = 0;
};

// Reads one line of text (without its line end and a carriage return before it), keeping
// at most keep characters of it. False at the end of the file.
bool ReadPaletteLine(InFile& file, std::string& line, std::size_t keep = 256);

}  // namespace pelgrin
