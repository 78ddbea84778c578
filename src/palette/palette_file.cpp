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

// A file of the size of a binary palette is taken as a text palette only when it is text
// throughout: binary colour tables often have a "third line" that starts with a digit.
bool IsPlainText(InFile& file) {
  file.Seek(0);
  for (int c = file.ReadByte(); c >= 0; c = file.ReadByte()) {
    if ((c < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != 0x1A) || c > 0x7E) return false;
  }
  file.Seek(0);
  return true;
}

bool IsBinaryPaletteSize(std::int64_t size) {
  return size == kRawPaletteSize || size == kActPaletteSize;
}

PaletteReadResult Refused(std::string message) {
  return {PaletteReadStatus::kRefused, std::move(message)};
}

// Every kind but the text palette is read whole before any destination changes;
// text_palette is set, and nothing read, for a text palette.
bool ReadEntries(InFile& file, const std::string& path, PaletteEntries& entries, std::string& error,
                 bool& text_palette) {
  text_palette = false;
  if (IsGplPalette(file)) return ReadGplPalette(file, path, entries, error);
  if (IsRiffPalette(file)) return ReadRiffPalette(file, path, entries, error);
  if (IsPictureFile(file)) return ReadPicturePalette(file, path, entries, error);
  if (IsTextPalette(file) && (!IsBinaryPaletteSize(file.Size()) || IsPlainText(file))) {
    text_palette = true;
    return true;
  }
  if (ReadActPalette(file, entries)) return true;
  error = FillPattern(kNotAPaletteFile, {path});
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
  bool text_palette = false;
  if (!ReadEntries(file, path, entries, error, text_palette)) return Refused(error);
  if (text_palette) {
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
  return WriteFileOrReport(path, "Could not open file %s.", reporter, [&](OutFile& out) {
    const std::string ext = LowerExtension(path);
    if (ext == ".gpl") {
      std::string name = FileNamePart(path);
      WriteGplPalette(out, palette, name.substr(0, name.size() - ext.size()));
    } else if (ext == ".act") {
      WriteActPalette(out, palette);
    } else {
      WriteTextPalette(out, palette);
    }
  });
}

}  // namespace pelgrin
