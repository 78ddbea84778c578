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

// Writes target through a temporary file that write(OutFile&) fills. When the file cannot
// be created, shows open_failure (a pattern naming the target); a failed write is
// reported by CommitOrReport. True when the target now holds the new content.
template <typename Write>
bool WriteFileOrReport(const std::string& target, std::string_view open_failure, Reporter& reporter,
                       Write&& write) {
  AtomicFile file;
  if (!file.Create(target)) {
    reporter.ShowError(FillPattern(open_failure, {target}));
    return false;
  }
  write(file.Out());
  return CommitOrReport(file, target, reporter);
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
