#include "shp/work_state.h"

#include "shp/paths.h"

namespace pelgrin {

WorkState::WorkState() : LoadedPalette(DefaultPalette) {}

void SetProgramDir(WorkState& ws, const std::string& program_dir) {
  ws.ProgramDir = program_dir;
  ws.NewImagePath = JoinPath(program_dir, "New_shp.sdf");
  ws.TempShpPath = JoinPath(program_dir, "~temp.shp");
}

void ClearRaster(WorkState& ws) {
  ws.Raster.fill(kTransparent);
}

void UseLoadedPalette(WorkState& ws) {
  ws.ActivePalette = ws.LoadedPalette;
}

}  // namespace pelgrin
