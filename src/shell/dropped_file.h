// What a file dropped on the editor is, told by its content as the readers tell it, so
// that it goes to the operation that reads it: Load BMP, Load Pal or Load SHP.
#pragma once

#include <string>

namespace pelgrin {

enum class DroppedFile {
  kPicture,  // a PNG or a Windows bitmap (by its signature)
  kArchive,  // an SHP archive whose index lies within the file
  kPalette,  // a palette file that Load Pal reads
  kOther,    // anything else, and a file that cannot be opened
};

// Pictures are asked first (an indexed picture holds a palette too), then archives (whose
// binary index is no text palette), then palettes.
DroppedFile KindOfDroppedFile(const std::string& path);

}  // namespace pelgrin
