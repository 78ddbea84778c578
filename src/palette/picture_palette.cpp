#include "palette/picture_palette.h"

#include "io/text.h"
#include "picture/bmp_kinds.h"
#include "picture/png_file.h"

namespace pelgrin {

bool IsPictureFile(InFile& file) {
  return HasPngSignature(file) || HasBmpSignature(file);
}

bool ReadPicturePalette(InFile& file, const std::string& path, PaletteEntries& entries,
                        std::string& error) {
  if (HasPngSignature(file))
    return ReadPngPalette(file, path, entries.colours, entries.count, error);
  BmpInfo info;
  if (!ParseBmpInfo(file, info)) {
    error = FillPattern("%s is not a Windows bitmap.", {path});
    return false;
  }
  return ReadBmpPalette(file, path, info, entries.colours, entries.count, error);
}

}  // namespace pelgrin
