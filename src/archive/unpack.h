// Unpack: an archive into a new folder of pictures, palette records and archive.json, from
// which pack builds the archive back.
#pragma once

#include <functional>
#include <string>

#include "shp/reporter.h"
#include "shp/work_state.h"

namespace pelgrin {

// Called after each step of a long job with the steps done and the steps in all.
using ProgressFn = std::function<void(int done, int total)>;

struct UnpackOptions {
  std::string format = "png";  // "png" (indexed) or "bmp" (24-bit)
  bool full_pal = false;       // every picture in the loaded palette
};

// Unpacks the archive at shp into dir, which must be missing or an empty folder. The
// pictures are written with ws's LoadedPalette where an entry has no palette record of its
// own (or full_pal is set). The folder is filled under a temporary name and renamed into
// place at the end: on any failure (reported) dir is left as it was.
bool UnpackArchive(WorkState& ws, const std::string& shp, const std::string& dir,
                   const UnpackOptions& options, Reporter& reporter,
                   const ProgressFn& progress = {});

// dir without separators at its end (a lone "/" stays).
std::string WithoutTrailingSeparators(std::string dir);

inline constexpr std::string_view kFolderNotEmpty =
    "%s is not an empty folder: unpack writes into a new folder or an empty one.";
inline constexpr std::string_view kCouldNotCreateFolder = "Could not create folder %s.";

}  // namespace pelgrin
