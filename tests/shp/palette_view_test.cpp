// The palette view: which entries get a cell, where, and the cells' edges.
#include <gtest/gtest.h>

#include <memory>

#include "shp/palette_view.h"
#include "shp/show.h"
#include "support/test_support.h"

namespace pelgrin {
namespace {

// The colour of cell slot on a view of 62 x 31 cells (the 810 x 630 view).
std::uint32_t CellColour(const Surface& view, int slot, int dx = 0, int dy = 0) {
  return view.GetPixel(slot % 13 * 62 + dx, slot / 13 * 31 + dy);
}

// Entry e is (e, 1, 2) unless made black.
Palette Ramp() {
  Palette p{};
  for (int e = 0; e < 256; ++e)
    p[static_cast<std::size_t>(e)] = {static_cast<std::uint8_t>(e), 1, 2};
  return p;
}

TEST(PaletteView, WhichEntriesTakeWhichCell) {
  struct Case {
    const char* name;
    Palette palette;
    std::vector<std::pair<int, std::uint32_t>> cells;  // slot, colour
  };
  Palette all_black{};
  all_black[254] = {9, 9, 9};
  all_black[255] = {9, 9, 9};
  Palette black_7 = Ramp();
  black_7[7] = {};
  Palette black_0 = Ramp();
  black_0[0] = {};
  const Case cases[] = {
      {"entries 1..253 all black: a single cell", all_black, {{0, 0}, {1, kAqua}}},
      {"black entry 7 closes up",
       black_7,
       {{6, PackRGB(6, 1, 2)},
        {7, PackRGB(8, 1, 2)},
        {13, PackRGB(14, 1, 2)},
        {252, PackRGB(253, 1, 2)},
        {253, kAqua}}},
      {"entry 0 first even when black, 254 and 255 never",
       black_0,
       {{0, 0}, {1, PackRGB(1, 1, 2)}, {253, PackRGB(253, 1, 2)}, {254, kAqua}}},
  };
  for (const Case& c : cases) {
    Surface view(kViewWidth, kViewHeight, 0x123456);
    test::RecordingReporter reporter;
    ShowPaletteView(c.palette, view, reporter);
    for (const auto& [slot, colour] : c.cells) {
      EXPECT_EQ(CellColour(view, slot), colour) << c.name << " slot " << slot;
      EXPECT_EQ(CellColour(view, slot, 61, 30), colour) << c.name << " slot " << slot;
    }
  }
}

TEST(PaletteView, CellsTileWithExclusiveEdges) {
  Surface view(kViewWidth, kViewHeight);
  test::RecordingReporter reporter;
  ShowPaletteView(Ramp(), view, reporter);
  struct Case {
    int x, y;
    std::uint32_t colour;
  };
  const Case cases[] = {
      {61, 30, PackRGB(0, 1, 2)},
      {62, 0, PackRGB(1, 1, 2)},
      {123, 30, PackRGB(1, 1, 2)},
      {124, 0, PackRGB(2, 1, 2)},
      {0, 31, PackRGB(13, 1, 2)},
      {805, 0, PackRGB(12, 1, 2)},
      {806, 0, kAqua},
      {809, 629, kAqua},
      {0, 619, PackRGB(247, 1, 2)},
      {0, 620, kAqua},
      {371, 589, PackRGB(252, 1, 2)},
      {372, 589, PackRGB(253, 1, 2)},
      {433, 619, PackRGB(253, 1, 2)},
      {434, 589, kAqua},
  };
  for (const Case& c : cases)
    EXPECT_EQ(view.GetPixel(c.x, c.y), c.colour) << c.x << "," << c.y;
}

TEST(PaletteView, CellSizeFollowsTheSurface) {
  Surface view(27, 41);  // cells of 2 x 2
  test::RecordingReporter reporter;
  ShowPaletteView(Ramp(), view, reporter);
  EXPECT_EQ(view.GetPixel(1, 1), PackRGB(0, 1, 2));
  EXPECT_EQ(view.GetPixel(2, 0), PackRGB(1, 1, 2));
  EXPECT_EQ(view.GetPixel(0, 2), PackRGB(13, 1, 2));
  EXPECT_EQ(view.GetPixel(26, 0), kAqua);
  EXPECT_EQ(view.GetPixel(0, 40), kAqua);
}

}  // namespace
}  // namespace pelgrin
