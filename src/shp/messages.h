// Reporting the outcome of writing a file, in the same words everywhere.
#pragma once

#include <string>

#include "io/files.h"
#include "io/text.h"
#include "shp/reporter.h"

namespace pelgrin {

inline constexpr std::string_view kCouldNotWriteFile = "Could not write file %s.";

// Commits file over target; on failure shows "Could not write file %s." with the target.
// True when the target now holds the new content.
inline bool CommitOrReport(AtomicFile& file, const std::string& target, Reporter& reporter) {
  if (file.Commit() == AtomicFile::Result::kOk) return true;
  reporter.ShowError(FillPattern(kCouldNotWriteFile, {target}));
  return false;
}

}  // namespace pelgrin
