// The advisory lock that every writer of an archive holds on it, from before its first
// read until its new content is in place, so that two writers never build on the same old
// content and lose one another's change.
#pragma once

#include <string>
#include <string_view>

#include "io/system.h"

namespace pelgrin {

class FileLock {
 public:
  enum class Result {
    kLocked,
    kBusy,     // another writer holds it (only when not waiting)
    kMissing,  // the path names no regular file: nothing to lock
  };

  FileLock() = default;
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

  // Takes the lock of the file that path names. With wait, waits while another writer
  // holds it; a writer that waited then makes sure the path still names the file it
  // locked, and when a rename replaced that file meanwhile, locks the new one instead.
  Result Lock(const std::string& path, bool wait);
  void Unlock();
  bool Locked() const { return handle_ != os::kNoHandle; }

 private:
  os::Handle handle_ = os::kNoHandle;
};

// The message for an archive whose lock another writer holds.
inline constexpr std::string_view kArchiveBusy =
    "%s is being changed by another program; try again when it has finished.";

}  // namespace pelgrin
