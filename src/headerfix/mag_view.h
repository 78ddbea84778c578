// The header fix window's picture: the raster magnified three times, with a column and
// a row guide that mark the header's Left and Top, and the rules by which the window's
// two up-down controls move them.
#pragma once

#include <cstdint>

#include "shp/reporter.h"
#include "shp/surface.h"
#include "shp/work_state.h"

namespace pelgrin {

inline constexpr int kMagWidth = 325;
inline constexpr int kMagHeight = 325;
inline constexpr int kMagScale = 3;

// Paints the frame of the raster (columns 0..MaxX, rows 0..MaxY of CurHeader, as far as
// the raster and the surface reach) as 3 x 3 blocks, index 255 in BackColor. Repaints
// every 10 rows and lets events run every 50; it does not stop on CancelRequested.
void DrawMagnified(const WorkState& ws, Surface& mag, Reporter& reporter);

// A guide is an aqua line through the middle of magnified column c (row r). Guides for
// columns or rows beyond the picture, or negative ones, draw nothing.
void DrawColumnGuide(Surface& mag, std::int64_t c);
void DrawRowGuide(Surface& mag, std::int64_t r);
// Restores the cells under a guide by copying their first pixel line over the middle one.
void EraseColumnGuide(Surface& mag, std::int64_t c);
void EraseRowGuide(Surface& mag, std::int64_t r);

// The New fields that a guide moves together.
struct GuideFields {
  std::int64_t near_edge;  // Left (column guide) or Top (row guide)
  std::int64_t far_edge;   // Right or Bottom
  friend bool operator==(const GuideFields&, const GuideFields&) = default;
};

// A click on the column up-down: raised (right arrow) moves the guide right while Right
// is above 0, lowered moves it left while Left is below 0; both fields change together.
GuideFields StepColumnGuide(GuideFields left_right, bool raised);
// A click on the row up-down: raised adds 1 to Top and Bottom, lowered takes 1 off;
// there are no stops.
GuideFields StepRowGuide(GuideFields top_bottom, bool raised);

// A whole click: erases the guide at |Left| (|Top|), steps the fields, draws the guide
// at the new |Left| (|Top|). Returns the new fields.
GuideFields ColumnUpDownClick(Surface& mag, GuideFields left_right, bool raised);
GuideFields RowUpDownClick(Surface& mag, GuideFields top_bottom, bool raised);

}  // namespace pelgrin
