// The file layer's seam for tests.
#pragma once

#include <string>

namespace pelgrin {

// A seam for tests: when installed, it is asked before every operation of the file layer
// that changes the file system, and may make that operation fail as a full disk, a lost
// device or a locked file would. It is told the path of the file being written: for a
// file written through AtomicFile, the target, not its temporary file. Never installed by
// the program itself.
class FileFaults {
 public:
  enum class Op { kCreate, kWrite, kClose, kRename, kOverwriteOpen };
  virtual ~FileFaults() = default;
  virtual bool ShouldFail(Op op, const std::string& path) = 0;
};
// Installs faults (nullptr removes them); returns the previous ones.
FileFaults* SetFileFaults(FileFaults* faults);

}  // namespace pelgrin
