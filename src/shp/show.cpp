#include "shp/show.h"

#include <algorithm>
#include <string>

#include "io/files.h"
#include "io/text.h"
#include "shp/decode.h"
#include "shp/shp_format.h"

namespace pelgrin {
namespace {

// Draws frame row y (columns 0..MaxX) with its left end at surface column x0.
void DrawFrameRow(const WorkState& ws, Surface& view, int x0, int view_y, int y) {
  const int last_x = std::min<std::int64_t>(ws.CurHeader.MaxX, view.Width() - 1 - x0);
  for (int x = std::max(0, -x0); x <= last_x; ++x) {
    view.SetPixel(x0 + x, view_y, IndexColor(ws, RasterAt(ws, x, y)));
  }
}

// The last frame row that can land on the surface when the frame starts at row y0.
int LastVisibleRow(const WorkState& ws, const Surface& view, int y0) {
  return static_cast<int>(std::min<std::int64_t>(ws.CurHeader.MaxY, view.Height() - 1 - y0));
}

}  // namespace

void ChooseImagePalette(InFile& file, WorkState& ws, std::int32_t i, bool full_pal) {
  if (IsImageIndex(ws, i) && ws.PaletteOffsets[static_cast<std::size_t>(i)] > 0 && !full_pal) {
    ReadImagePalette(file, ws, i);
  } else {
    UseLoadedPalette(ws);
  }
}

ShowResult ReadImageForShow(InFile& file, WorkState& ws, std::int32_t number, bool full_pal,
                            Reporter& reporter) {
  ws.UsedCols = 0;
  ws.UsedRows = 0;
  if (!IsImageNumber(ws, number)) {
    reporter.Log("No image #" + std::to_string(number));
    return ShowResult::kNoImage;
  }
  const std::int32_t i = number - 1;
  ClearRaster(ws);
  ReadImageHeader(file, ws, i);
  if (IsAbsentImage(ws.CurHeader)) {
    reporter.Log("No image #" + std::to_string(number));
    return ShowResult::kNoImage;
  }
  if (ws.CurHeader.Left < 0 || ws.CurHeader.Top < 0) {
    reporter.Log("#" + std::to_string(number) + " Problem??");
  }
  ChooseImagePalette(file, ws, i, full_pal);
  DecodeImage(file, ws, i);
  ws.ShownNumber = number;
  return ShowResult::kShown;
}

std::string ExtentLine(const WorkState& ws) {
  return "cols " + std::to_string(ws.UsedCols) + ", lines " + std::to_string(ws.UsedRows);
}

ShowResult ShowImage(WorkState& ws, std::int32_t number, bool full_pal, Surface& view,
                     Reporter& reporter) {
  ws.CancelRequested = false;
  ws.UsedCols = 0;
  ws.UsedRows = 0;
  InFile file;
  if (!file.Open(ws.ShpPath)) {
    reporter.ShowError(FillPattern("Could not open file %s", {ws.ShpPath}));
    return ShowResult::kOpenFailed;
  }
  const ShowResult read = ReadImageForShow(file, ws, number, full_pal, reporter);
  file.Close();
  if (read != ShowResult::kShown) return read;
  ClearShpWindow(view, reporter);
  DrawRaster(ws, view, reporter);
  reporter.Log(ExtentLine(ws));
  return ShowResult::kShown;
}

void DrawRaster(WorkState& ws, Surface& view, Reporter& reporter) {
  reporter.Repaint(view);
  const int last_y = LastVisibleRow(ws, view, 0);
  for (int y = 0; y <= last_y; ++y) {
    DrawFrameRow(ws, view, 0, y, y);
    if (y % 10 == 0) reporter.Repaint(view);
    if (y % 50 == 0) reporter.ProcessEvents();
    if (ws.CancelRequested) break;
  }
  reporter.Repaint(view);
}

void DrawRasterAt(const WorkState& ws, Surface& view, int x, int y, Reporter& reporter) {
  const int last_row = LastVisibleRow(ws, view, y);
  for (int r = std::max(0, -y); r <= last_row; ++r) {
    DrawFrameRow(ws, view, x, y + r, r);
    if (r % 10 == 0) reporter.Repaint(view);
  }
  reporter.Repaint(view);
}

void ClearShpWindow(Surface& view, Reporter& reporter) {
  view.Fill(kAqua);
  reporter.Repaint(view);
}

void ClearBmpWindow(Surface& bmp_view, Reporter& reporter) {
  bmp_view.Fill(kSilver);
  reporter.Repaint(bmp_view);
}

}  // namespace pelgrin
