// Opening an SHP archive: its paths, its index, and the four log lines.
#pragma once

#include <string>
#include <string_view>

#include "shp/reporter.h"
#include "shp/work_state.h"

namespace pelgrin {

enum class LoadShpResult { kLoaded, kOpenFailed, kTooManyImages };

// Makes path the open file: sets ShpPath, ShpDir and OutShpPath, empties the log, reads
// the index and reports the short name, the image count and the largest frame. A file
// of more than MaxImages images is refused (ImageCount becomes 0, so nothing of it is
// shown); a file that cannot be opened is reported with ShowError.
LoadShpResult LoadShp(WorkState& ws, const std::string& path, Reporter& reporter);

// Load SHP without measuring the frames (no "Max" lines, CurHeader untouched): enough
// for work that needs only the index, such as a rebuild.
LoadShpResult LoadShpIndex(WorkState& ws, const std::string& path, Reporter& reporter);

// The path as the "Editing: " label shows it: whole up to 33 characters, otherwise the
// first 12, "..." and the last 19.
std::string AbbreviatePath(std::string_view path);

// The file name as the log shows it: the part after the last separator, at most 15
// characters.
std::string ShortName(std::string_view path);

}  // namespace pelgrin
