#include "shell/startup.h"

#include <filesystem>
#include <system_error>

#include "io/files.h"
#include "io/paths.h"
#include "palette/palette_file.h"

namespace pelgrin {
namespace {

// The path with the current directory in front when it is relative; nothing else of it
// changes (no case, no links resolved).
std::string Absolute(const std::string& path) {
  std::error_code ec;
  const std::filesystem::path absolute = std::filesystem::absolute(FsPath(path), ec);
  if (ec) return path;
  const std::u8string text = absolute.u8string();
  return std::string(text.begin(), text.end());
}

}  // namespace

bool LoadStartupPalette(WorkState& ws) {
  const bool loaded =
      ReadPaletteFile(ws.PaletteName, {&ws.LoadedPalette, &ws.ActivePalette}).status ==
      PaletteReadStatus::kRead;
  ws.PaletteName = FileNamePart(ws.PaletteName);
  ws.SourcePaletteName = FileNamePart(ws.SourcePaletteName);
  return loaded;
}

std::optional<std::string> CommandLineShpFile(const std::vector<std::string>& args) {
  if (args.empty() || LowerExtension(args.front()) != ".shp") return std::nullopt;
  return Absolute(args.front());
}

}  // namespace pelgrin
