// Palette files by content and by name. Load Pal, the start-up palette, --palette and
// --source-palette read through ReadPaletteFile; pelgrin-cli palette writes through
// WritePaletteFile.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "shp/reporter.h"
#include "shp/work_state.h"

namespace pelgrin {

// The refusal of a file that is no palette ("%s" is its path).
inline constexpr std::string_view kNotAPaletteFile =
    "%s is not a palette file: Pelgrin reads Paintshop text palettes (JASC-PAL), GIMP "
    "palettes (.gpl), RIFF palettes (.pal), Adobe colour tables and raw palettes (.act, 768 "
    "or 772 bytes) and the palette of an indexed PNG or bitmap.";

enum class PaletteReadStatus { kRead, kOpenFailed, kRefused };

struct PaletteReadResult {
  PaletteReadStatus status = PaletteReadStatus::kRead;
  std::string message;  // the error box's text when refused
};

// Reads the palette file at path into every destination, recognised by its content in
// this order: a first line "GIMP Palette" (GIMP), "RIFF" with the form "PAL " (RIFF), a
// PNG or bitmap signature (the palette of an indexed picture), a third line starting with
// a number (the text palette, read by ReadPalFile; a file of 768 or 772 bytes only when it
// is text throughout), then exactly 768 or 772 bytes (raw RGB or Adobe colour table). Entries
// beyond the file's count keep their colours. A file that is none of these, or is damaged, is
// refused and changes no entry.
PaletteReadResult ReadPaletteFile(const std::string& path,
                                  std::initializer_list<Palette*> destinations);

// True when the name ends in ".pal", ".gpl" or ".act" (any case).
bool IsPaletteName(std::string_view path);

// Writes all 256 entries in the format of the name's ending: the text palette for
// ".pal", GIMP for ".gpl", 768 bytes for ".act". Reports failures.
bool WritePaletteFile(const std::string& path, const Palette& palette, Reporter& reporter);

}  // namespace pelgrin
