#include "shp/palette_view.h"

#include "shp/show.h"

namespace pelgrin {
namespace {

// Fills cell number slot of a w x h grid, right and bottom edges exclusive.
void FillCell(Surface& view, int slot, int w, int h, Rgb color) {
  const int left = slot % kPaletteViewColumns * w;
  const int top = slot / kPaletteViewColumns * h;
  view.FillRect(left, top, left + w, top + h, PackRGB(color));
}

}  // namespace

void ShowPaletteView(const Palette& palette, Surface& view, Reporter& reporter) {
  ClearShpWindow(view, reporter);
  const int w = view.Width() / kPaletteViewColumns;
  const int h = view.Height() / kPaletteViewRows;
  FillCell(view, 0, w, h, palette[0]);
  int slot = 1;
  for (int e = 1; e <= 253; ++e) {
    const Rgb c = palette[static_cast<std::size_t>(e)];
    if (c.r + c.g + c.b > 0) FillCell(view, slot++, w, h, c);
  }
  reporter.Repaint(view);
}

}  // namespace pelgrin
