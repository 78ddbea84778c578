#include "palette/palette_entries.h"

namespace pelgrin {

bool ReadPaletteLine(InFile& file, std::string& line, std::size_t keep) {
  line.clear();
  int c = file.ReadByte();
  if (c < 0) return false;
  for (; c >= 0 && c != '\n'; c = file.ReadByte()) {
    if (line.size() < keep) line += static_cast<char>(c);
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

}  // namespace pelgrin
