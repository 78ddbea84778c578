#include "palette/palette_file.h"

#include "io/files.h"
#include "io/paths.h"
#include "io/text.h"
#include "palette/act_palette.h"
#include "palette/gpl_palette.h"
#include "palette/picture_palette.h"
#include "palette/riff_palette.h"
#include "palette/text_palette.h"
#include "shp/messages.h"

namespace pelgrin {
namespace {

constexpr std::string_view kNotAPalette =
    "%s is not a palette file: Pelgrin reads Paintshop text palettes (JASC-PAL), GIMP "
    "palettes (.gpl), RIFF palettes (.pal), Adobe colour tables and raw palettes (.act, 768 "
    "or 772 bytes) and the palette of an indexed PNG or bitmap.";

PaletteReadResult Refused(std::string message) {
  return {PaletteReadStatus::kRefused, std::move(message)};
}

// The binary and GIMP kinds, read whole before any destination changes.
bool ReadEntries(InFile& file, const std::string& path, PaletteEntries& entries,
                 std::string& error, bool& known) {
  known = true;
  if (IsGplPalette(file)) return ReadGplPalette(file, path, entries, error);
  if (IsRiffPalette(file)) return ReadRiffPalette(file, path, entries, error);
  if (IsPictureFile(file)) return ReadPicturePalette(file, path, entries, error);
  if (IsTextPalette(file)) {
    known = false;  // the text reader takes it from here
    return true;
  }
  if (ReadActPalette(file, entries)) return true;
  error = FillPattern(kNotAPalette, {path});
  return false;
}

}  // namespace

PaletteReadResult ReadPaletteFile(const std::string& path,
                                  std::initializer_list<Palette*> destinations) {
  InFile file;
  if (!file.Open(path))
    return {PaletteReadStatus::kOpenFailed, FillPattern("Could not open file %s.", {path})};
  PaletteEntries entries;
  std::string error;
  bool binary = true;
  if (!ReadEntries(file, path, entries, error, binary)) return Refused(error);
  if (!binary) {
    file.Close();
    if (!ReadPalFile(path, destinations))
      return {PaletteReadStatus::kOpenFailed, FillPattern("Could not open file %s.", {path})};
    return {};
  }
  for (Palette* p : destinations)
    for (std::int32_t i = 0; i < entries.count; ++i)
      (*p)[static_cast<std::size_t>(i)] = entries.colours[static_cast<std::size_t>(i)];
  return {};
}

bool IsPaletteName(std::string_view path) {
  const std::string ext = LowerExtension(path);
  return ext == ".pal" || ext == ".gpl" || ext == ".act";
}

bool WritePaletteFile(const std::string& path, const Palette& palette, Reporter& reporter) {
  AtomicFile file;
  if (!file.Create(path)) {
    reporter.ShowError(FillPattern("Could not open file %s.", {path}));
    return false;
  }
  const std::string ext = LowerExtension(path);
  if (ext == ".gpl") {
    std::string name = FileNamePart(path);
    WriteGplPalette(file.Out(), palette, name.substr(0, name.size() - ext.size()));
  } else if (ext == ".act") {
    WriteActPalette(file.Out(), palette);
  } else {
    WriteTextPalette(file.Out(), palette);
  }
  return CommitOrReport(file, path, reporter);
}

}  // namespace pelgrin
