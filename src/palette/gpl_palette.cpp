#include "palette/gpl_palette.h"

#include <array>
#include <cctype>

#include "io/text.h"

namespace pelgrin {
namespace {

constexpr std::string_view kMagic = "GIMP Palette";

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
    text.remove_prefix(1);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
    text.remove_suffix(1);
  return text;
}

bool IsHeaderOrComment(std::string_view line) {
  return line.empty() || line.front() == '#' || line.starts_with("Name:") ||
         line.starts_with("Columns:");
}

// "red green blue" then blanks and a name, or nothing.
bool ParseRow(std::string_view line, Rgb& colour) {
  std::uint8_t values[3];
  std::size_t at = 0;
  for (std::uint8_t& v : values) {
    const auto scanned = ScanInt(line, at);
    if (!scanned || scanned->value < 0 || scanned->value > 255) return false;
    if (scanned->end < line.size() && !std::isspace(static_cast<unsigned char>(line[scanned->end])))
      return false;
    v = static_cast<std::uint8_t>(scanned->value);
    at = scanned->end;
  }
  colour = {values[0], values[1], values[2]};
  return true;
}

}  // namespace

bool IsGplPalette(InFile& file) {
  // Only the start of the file is looked at: the first line of any other file may be long.
  std::array<std::uint8_t, 64> head{};
  file.Seek(0);
  const std::size_t got = file.Read(head);
  file.Seek(0);
  const std::string_view text(reinterpret_cast<const char*>(head.data()), got);
  return Trimmed(text.substr(0, text.find('\n'))) == kMagic;
}

bool ReadGplPalette(InFile& file, const std::string& path, PaletteEntries& entries,
                    std::string& error) {
  file.Seek(0);
  std::string line;
  ReadPaletteLine(file, line);
  int number = 1;
  entries.count = 0;
  while (entries.count < 256 && ReadPaletteLine(file, line)) {
    ++number;
    const std::string_view text = Trimmed(line);
    if (IsHeaderOrComment(text)) continue;
    if (!ParseRow(text, entries.colours[static_cast<std::size_t>(entries.count)])) {
      error = FillPattern(
          "%s is a damaged GIMP palette: line %d is not \"red green blue name\" "
          "with values from 0 to 255.",
          {path, std::to_string(number)});
      return false;
    }
    ++entries.count;
  }
  return true;
}

void WriteGplPalette(OutFile& out, const Palette& palette, const std::string& name) {
  out.WriteText("GIMP Palette\nName: " + name + "\nColumns: 16\n#\n");
  for (std::size_t i = 0; i < palette.size(); ++i) {
    const Rgb c = palette[i];
    char row[48];
    std::snprintf(row, sizeof row, "%3d %3d %3d\tIndex %zu\n", c.r, c.g, c.b, i);
    out.WriteText(row);
  }
}

}  // namespace pelgrin
