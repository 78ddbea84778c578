// Text palette files: two free lines, the entry count, then "red green blue" per line.
#pragma once

#include <initializer_list>
#include <string>

#include "io/files.h"
#include "shp/work_state.h"

namespace pelgrin {

// Line buffer of the palette reader: a line holds at most 126 characters.
inline constexpr std::size_t kPaletteLineCapacity = 127;

// Reads the palette file at path into every destination palette: entries 0..count-1 (count
// from line 3, at most 256) are set to the low 8 bits of their three values; the others keep
// their colours. An entry line without three numbers leaves that entry as it was; a file
// with fewer lines than it declares stops there. False when the file cannot be opened.
bool ReadPalFile(const std::string& path, std::initializer_list<Palette*> destinations);

// True when the third line, read as ReadPalFile reads it, starts with a number: the file
// is a text palette, whatever its first two lines say.
bool IsTextPalette(InFile& file);

// Writes the 256 entries under the lines "JASC-PAL", "0100" and "256".
void WriteTextPalette(OutFile& out, const Palette& palette);

}  // namespace pelgrin
