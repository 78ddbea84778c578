// The palette of an indexed picture: the PLTE of a PNG, the colour table of a 1-, 4- or
// 8-bit bitmap.
#pragma once

#include <string>

#include "io/files.h"
#include "palette/palette_entries.h"

namespace pelgrin {

// True when the file starts with a PNG or a bitmap signature.
bool IsPictureFile(InFile& file);

// The picture's palette, without its pixels; false with the error box's text when the
// picture is damaged or has no palette.
bool ReadPicturePalette(InFile& file, const std::string& path, PaletteEntries& entries,
                        std::string& error);

}  // namespace pelgrin
