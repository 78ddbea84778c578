#include "shell/startup.h"

#include "bitmap/palette_file.h"
#include "shp/paths.h"

namespace pelgrin {

bool LoadStartupPalette(WorkState& ws) {
  const bool loaded = ReadPalFile(ws.PaletteName, {&ws.LoadedPalette, &ws.ActivePalette});
  ws.PaletteName = FileNamePart(ws.PaletteName);
  ws.SourcePaletteName = FileNamePart(ws.SourcePaletteName);
  return loaded;
}

std::optional<std::string> CommandLineShpFile(const std::vector<std::string>& args) {
  if (args.empty() || LowerExtension(args.front()) != ".shp") return std::nullopt;
  return args.front();
}

}  // namespace pelgrin
