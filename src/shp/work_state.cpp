#include "shp/work_state.h"

#include <cstdlib>
#include <new>

#include "shp/paths.h"

namespace pelgrin {

WorkState::WorkState() : LoadedPalette(DefaultPalette) {}

void* WorkState::operator new(std::size_t size) {
  void* p = std::calloc(1, size);  // zeroed, and for a block this large not yet touched
  if (p == nullptr) throw std::bad_alloc();
  return p;
}

void WorkState::operator delete(void* p) noexcept {
  std::free(p);
}

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
