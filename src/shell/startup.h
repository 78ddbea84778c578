// The start-up steps that need no window: the start-up palette and the SHP file named on
// the command line.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "shp/work_state.h"

namespace pelgrin {

// Loads the palette file PaletteName (a full path) into LoadedPalette and ActivePalette,
// then cuts PaletteName and SourcePaletteName down to their file-name parts, whether or
// not the file could be read. True when it was read.
bool LoadStartupPalette(WorkState& ws);

// The SHP file to open at start-up: the first argument after the program's name when its
// lower-cased extension is ".shp", as it was given (a relative path with the current
// directory in front, so that the open file stays the same when the directory changes).
std::optional<std::string> CommandLineShpFile(const std::vector<std::string>& args);

}  // namespace pelgrin
