// PNG pictures through libpng: reading every colour type and depth into a Picture, the
// palette of an indexed PNG, and writing the raster (indexed) or a surface (RGB).
#pragma once

#include <cstdint>
#include <string>

#include "io/files.h"
#include "picture/picture.h"
#include "shp/reporter.h"
#include "shp/surface.h"
#include "shp/work_state.h"

namespace pelgrin {

// True when the file starts with the PNG signature.
bool HasPngSignature(InFile& file);

// Reads a PNG of at most RasterCols x RasterRows pixels. Indexed pictures keep their
// indices, palette and tRNS alphas; 16-bit samples keep their high byte; gray becomes
// RGB. False with the error box's text in error; the size is checked before any pixel
// buffer is made.
bool ReadPngPicture(InFile& file, const std::string& path, Picture& picture, std::string& error);

// The palette of an indexed PNG (its PLTE entries, however large the picture), without
// decoding its pixels. False with the error box's text in error.
bool ReadPngPalette(InFile& file, const std::string& path, Palette& palette, std::int32_t& entries,
                    std::string& error);

// Writes the frame of the raster as an 8-bit indexed PNG: a PLTE of 256 entries (the
// active palette, entry 255 in BackColor as Show draws it), tRNS making index 255
// transparent, and the raster's indices (255 outside the raster).
bool WriteRasterPng(const WorkState& ws, const std::string& path, Reporter& reporter);

// Writes the whole surface as an 8-bit RGB PNG.
bool SaveSurfacePng(const Surface& surface, const std::string& path, Reporter& reporter);

}  // namespace pelgrin
