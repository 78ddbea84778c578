#include "io/file_lock.h"

namespace pelgrin {

FileLock::~FileLock() {
  Unlock();
}

FileLock::Result FileLock::Lock(const std::string& path, bool wait) {
  Unlock();
  for (;;) {
    const os::Handle handle = os::OpenForReading(path);
    if (handle == os::kNoHandle) return Result::kMissing;
    const os::LockResult locked = os::LockExclusive(handle, wait);
    if (locked == os::LockResult::kBusy) {
      os::Close(handle);
      return Result::kBusy;
    }
    // A file system without advisory locks cannot guard the file: the writer goes on as
    // it would without them (locked == kFailed).
    // The holder may have renamed a new file over the path before letting go: the lock
    // of the old file guards nothing then.
    if (os::SameFile(handle, path)) {
      handle_ = handle;
      return Result::kLocked;
    }
    os::Close(handle);
  }
}

void FileLock::Unlock() {
  if (handle_ != os::kNoHandle) os::Close(handle_);
  handle_ = os::kNoHandle;
}

}  // namespace pelgrin
