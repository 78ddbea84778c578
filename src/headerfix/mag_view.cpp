#include "headerfix/mag_view.h"

#include <algorithm>
#include <cstdlib>

#include "shp/show.h"

namespace pelgrin {
namespace {

// The line through the middle of magnified cell k, or -1 when it lies off a picture
// of the given extent (so huge typed values never reach the multiplication).
int MiddleLine(std::int64_t k, int extent) {
  if (k < 0 || k >= extent) return -1;
  const std::int64_t line = kMagScale * k + 1;
  return line < extent ? static_cast<int>(line) : -1;
}

// The last frame index that shows on the picture and lies inside the raster.
int LastShown(std::int32_t frame_max, int raster_extent, int picture_extent) {
  const int last_on_picture = (picture_extent - 1) / kMagScale;
  return static_cast<int>(std::min<std::int64_t>({frame_max, raster_extent - 1, last_on_picture}));
}

// The absolute value of a typed field, without the overflow of |INT64_MIN|.
std::int64_t Magnitude(std::int64_t v) {
  return v < 0 ? (v == INT64_MIN ? INT64_MAX : -v) : v;
}

// v + step (step is 1 or -1), held at the ends of the 64-bit range.
std::int64_t StepBy(std::int64_t v, int step) {
  if (step > 0) return v == INT64_MAX ? v : v + 1;
  return v == INT64_MIN ? v : v - 1;
}

}  // namespace

void DrawMagnified(const WorkState& ws, Surface& mag, Reporter& reporter) {
  const int last_y = LastShown(ws.CurHeader.MaxY, RasterRows, mag.Height());
  const int last_x = LastShown(ws.CurHeader.MaxX, RasterCols, mag.Width());
  for (int y = 0; y <= last_y; ++y) {
    for (int x = 0; x <= last_x; ++x) {
      const int left = kMagScale * x;
      const int top = kMagScale * y;
      mag.FillRect(left, top, left + kMagScale, top + kMagScale,
                   IndexColor(ws, RasterAt(ws, x, y)));
    }
    if (y % 10 == 0) reporter.Repaint(mag);
    if (y % 50 == 0) reporter.ProcessEvents();
  }
  reporter.Repaint(mag);
}

void DrawColumnGuide(Surface& mag, std::int64_t c) {
  const int x = MiddleLine(c, mag.Width());
  if (x >= 0 && mag.Height() > 0) mag.Line(x, 0, x, mag.Height() - 1, kAqua);
}

void DrawRowGuide(Surface& mag, std::int64_t r) {
  const int y = MiddleLine(r, mag.Height());
  if (y >= 0 && mag.Width() > 0) mag.Line(0, y, mag.Width() - 1, y, kAqua);
}

void EraseColumnGuide(Surface& mag, std::int64_t c) {
  const int x = MiddleLine(c, mag.Width());
  if (x < 0) return;
  for (int y = 0; y < mag.Height(); ++y)
    mag.CopyPixel(x - 1, y, x, y);
}

void EraseRowGuide(Surface& mag, std::int64_t r) {
  const int y = MiddleLine(r, mag.Height());
  if (y < 0) return;
  for (int x = 0; x < mag.Width(); ++x)
    mag.CopyPixel(x, y - 1, x, y);
}

GuideFields StepColumnGuide(GuideFields f, bool raised) {
  if (raised && f.far_edge > 0) return {StepBy(f.near_edge, -1), StepBy(f.far_edge, -1)};
  if (!raised && f.near_edge < 0) return {StepBy(f.near_edge, 1), StepBy(f.far_edge, 1)};
  return f;
}

GuideFields StepRowGuide(GuideFields f, bool raised) {
  const int step = raised ? 1 : -1;
  return {StepBy(f.near_edge, step), StepBy(f.far_edge, step)};
}

GuideFields ColumnUpDownClick(Surface& mag, GuideFields left_right, bool raised) {
  EraseColumnGuide(mag, Magnitude(left_right.near_edge));
  const GuideFields moved = StepColumnGuide(left_right, raised);
  DrawColumnGuide(mag, Magnitude(moved.near_edge));
  return moved;
}

GuideFields RowUpDownClick(Surface& mag, GuideFields top_bottom, bool raised) {
  EraseRowGuide(mag, Magnitude(top_bottom.near_edge));
  const GuideFields moved = StepRowGuide(top_bottom, raised);
  DrawRowGuide(mag, Magnitude(moved.near_edge));
  return moved;
}

}  // namespace pelgrin
