#include "shp/work_state.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <new>

#include "io/paths.h"
#include "io/system.h"

namespace pelgrin {

WorkState::WorkState() : LoadedPalette(DefaultPalette) {}

void* WorkState::operator new(std::size_t size) {
  return os::AllocatePages(size);
}

void WorkState::operator delete(void* p, std::size_t size) noexcept {
  os::FreePages(p, size);
}

void SetProgramDir(WorkState& ws, const std::string& program_dir) {
  ws.ProgramDir = program_dir;
  ws.NewImagePath = JoinPath(program_dir, "New_shp.sdf");
  ws.TempShpPath = JoinPath(program_dir, "~temp.shp");
}

void ClearRaster(WorkState& ws) {
  ws.Raster.fill(kTransparent);
}

void ClearRasterBox(WorkState& ws, std::int32_t cols, std::int32_t rows) {
  const auto height = static_cast<std::size_t>(std::clamp(rows, 0, RasterRows));
  const auto width = static_cast<std::size_t>(std::clamp(cols, 0, RasterCols));
  if (height == 0) return;
  for (std::size_t col = 0; col < width; ++col) {
    std::fill_n(ws.Raster.begin() + static_cast<std::ptrdiff_t>(col * RasterRows), height,
                kTransparent);
  }
}

void UseLoadedPalette(WorkState& ws) {
  ws.ActivePalette = ws.LoadedPalette;
}

}  // namespace pelgrin
