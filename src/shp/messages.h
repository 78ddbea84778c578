// Reporting the outcome of writing a file, in the same words everywhere.
#pragma once

#include <string>

#include "io/file_lock.h"
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

// Takes the lock of an archive that a writer is about to read and replace. Without
// waiting, an archive whose lock another writer holds is said to be busy, and false is
// returned. An archive that is not there is left for the writer's own open to report.
inline bool LockArchive(FileLock& lock, const std::string& path, bool wait, Reporter& reporter) {
  if (lock.Lock(path, wait) != FileLock::Result::kBusy) return true;
  reporter.ShowError(FillPattern(kArchiveBusy, {path}));
  return false;
}

}  // namespace pelgrin
