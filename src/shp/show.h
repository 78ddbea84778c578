// Showing one image: decode it into the raster and draw it 1:1 on the view surface.
#pragma once

#include <cstdint>
#include <string>

#include "io/files.h"
#include "shp/reporter.h"
#include "shp/surface.h"
#include "shp/work_state.h"

namespace pelgrin {

// The view window's picture size.
inline constexpr int kViewWidth = 810;
inline constexpr int kViewHeight = 630;
inline constexpr std::uint32_t kAqua = PackRGB(0, 255, 255);
inline constexpr std::uint32_t kSilver = PackRGB(192, 192, 192);

enum class ShowResult { kShown, kNoImage, kOpenFailed };

// Show of image number (counting from 1): reads its header and palette (its own unless
// full_pal, else LoadedPalette), decodes it, draws it and logs its extent. A number
// that is not an image of the open file, or a header outside the plausible range, is
// logged as "No image #" and the number.
ShowResult ShowImage(WorkState& ws, std::int32_t number, bool full_pal, Surface& view,
                     Reporter& reporter);

// The reading half of Show, on an open file: image number's header, palette and pixels
// into CurHeader, ActivePalette and the raster (UsedCols and UsedRows reset first), with
// Show's "No image #" and "Problem??" lines. Nothing is drawn.
ShowResult ReadImageForShow(InFile& file, WorkState& ws, std::int32_t number, bool full_pal,
                            Reporter& reporter);

// Show's last log line: "cols " UsedCols ", lines " UsedRows.
std::string ExtentLine(const WorkState& ws);

// Chooses ActivePalette for entry i: its own palette record unless it has none or
// full_pal is set, else LoadedPalette.
void ChooseImagePalette(InFile& file, WorkState& ws, std::int32_t i, bool full_pal);

// Draws the frame of the raster at the surface's top-left corner, repainting every 10
// rows and letting events run every 50; stops after a row once CancelRequested is set.
void DrawRaster(WorkState& ws, Surface& view, Reporter& reporter);

// Draws the frame of the raster with its top-left corner at (x, y), repainting every 10
// rows; no events, no cancel test.
void DrawRasterAt(const WorkState& ws, Surface& view, int x, int y, Reporter& reporter);

// Fills the view with aqua (the bitmap window with silver) and repaints it.
void ClearShpWindow(Surface& view, Reporter& reporter);
void ClearBmpWindow(Surface& bmp_view, Reporter& reporter);

}  // namespace pelgrin
