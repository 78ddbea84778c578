// Run-length encoded bitmap pixels (RLE8 and RLE4).
#pragma once

#include <string>

#include "io/files.h"
#include "picture/bmp_kinds.h"
#include "picture/picture.h"

namespace pelgrin {

// Decodes the RLE8 (bits 8) or RLE4 (bits 4) pixel data of info into picture, whose
// size and palette are set and whose pixels start transparent: pixels that delta and
// end-of-line codes skip stay so, and pixels past a row's end are dropped. False with
// a short reason in why when the data ends before its end code or runs on far longer
// than a picture of this size needs.
bool DecodeBmpRle(InFile& file, const BmpInfo& info, Picture& picture, std::string& why);

}  // namespace pelgrin
