#include "palette/text_palette.h"

#include <algorithm>

#include "io/files.h"
#include "io/text.h"

namespace pelgrin {
namespace {

// Parses "%d %d %d"; false unless all three numbers are there.
bool ParseEntry(const std::string& line, Rgb& color) {
  std::int32_t values[3];
  std::size_t at = 0;
  for (std::int32_t& v : values) {
    const auto scanned = ScanInt(line, at);
    if (!scanned) return false;
    v = scanned->value;
    at = scanned->end;
  }
  color = {static_cast<std::uint8_t>(values[0]), static_cast<std::uint8_t>(values[1]),
           static_cast<std::uint8_t>(values[2])};
  return true;
}

}  // namespace

bool ReadPalFile(const std::string& path, std::initializer_list<Palette*> destinations) {
  InFile file;
  if (!file.Open(path)) return false;
  TextLineReader lines(file);
  std::string line;
  lines.ReadLine(kPaletteLineCapacity, line);
  lines.ReadLine(kPaletteLineCapacity, line);
  lines.ReadLine(kPaletteLineCapacity, line);
  const auto count_scan = ScanInt(line);
  const std::int32_t count = std::min(count_scan ? count_scan->value : 0, 256);
  for (std::int32_t i = 0; i < count; ++i) {
    if (!lines.ReadLine(kPaletteLineCapacity, line)) break;
    Rgb color;
    if (!ParseEntry(line, color)) continue;
    for (Palette* p : destinations)
      (*p)[static_cast<std::size_t>(i)] = color;
  }
  return true;
}

bool IsTextPalette(InFile& file) {
  file.Seek(0);
  TextLineReader lines(file);
  std::string line;
  bool third = false;
  for (int i = 0; i < 3; ++i)
    third = lines.ReadLine(kPaletteLineCapacity, line);
  const bool text = third && ScanInt(line).has_value();
  file.Seek(0);
  return text;
}

void WriteTextPalette(OutFile& out, const Palette& palette) {
  out.WriteText("JASC-PAL\n0100\n256\n");
  for (const Rgb& c : palette)
    out.WriteText(std::to_string(c.r) + " " + std::to_string(c.g) + " " + std::to_string(c.b) +
                  "\n");
}

}  // namespace pelgrin
