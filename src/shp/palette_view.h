// The palette view: the colours of a palette as a grid of filled cells on the view
// surface.
#pragma once

#include "shp/reporter.h"
#include "shp/surface.h"
#include "shp/work_state.h"

namespace pelgrin {

inline constexpr int kPaletteViewColumns = 13;
inline constexpr int kPaletteViewRows = 20;

// Clears the view to aqua and fills cells of (width div 13) x (height div 20), 13 to a
// row: entry 0 always in the first cell, then entries 1..253 in order, skipping the
// pure black ones. Entries 254 and 255 are never shown.
void ShowPaletteView(const Palette& palette, Surface& view, Reporter& reporter);

}  // namespace pelgrin
