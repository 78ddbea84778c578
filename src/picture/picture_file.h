// Pictures by content and by name: reading any picture Load BMP takes (PNG, or a Windows
// bitmap of any kind) into the loaded bitmap, and writing PNG when a name ends in ".png".
#pragma once

#include <string>
#include <string_view>

#include "shp/reporter.h"
#include "shp/surface.h"
#include "shp/work_state.h"

namespace pelgrin {

struct PictureReadResult {
  bool ok = true;
  std::string message;  // the error box's text when the picture was refused
};

// Reads the picture at path, recognised by its first bytes: a PNG, or a bitmap (the
// uncompressed 24-bit kind through ReadBmpFile, exactly as before, the others through the
// readers of indexed, 16/32-bit and RLE bitmaps). On success BmpPixels, BmpHeader's size
// and, for an indexed picture, BmpIndices and BmpIndexInfo hold it; a refused picture
// changes nothing.
PictureReadResult ReadPictureFile(WorkState& ws, const std::string& path);

// True when the file name ends in ".png", in any case.
bool IsPngName(std::string_view path);

enum class RasterWriteResult { kWritten, kFrameTooLarge, kWriteFailed };

// Write BMP by name: an indexed PNG for ".png", the 24-bit bitmap otherwise. A frame
// larger than the raster is refused with a message naming the image and its size, and
// nothing is written: every pixel outside the raster would only be background.
RasterWriteResult WriteShownImage(WorkState& ws, const std::string& path, Reporter& reporter);
bool WriteRasterPicture(WorkState& ws, const std::string& path, Reporter& reporter);

// A view saved by name: an RGB PNG for ".png", the 24-bit bitmap otherwise.
bool SaveSurfacePicture(const Surface& surface, const std::string& path, Reporter& reporter);

}  // namespace pelgrin
