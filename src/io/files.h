// Buffered binary files and replace-by-rename writing.
//
// Every read past the end of a file is defined: ReadByte returns -1, Read returns the
// number of bytes that were there. Writes are buffered; a failed write, flush, close or
// rename is remembered and reported by the call that finishes the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "io/system.h"

namespace pelgrin {

class OutFile;

// A file opened for reading, with its own buffer so that seeks inside the buffered
// window cost nothing (opening an archive seeks once per image header).
class InFile {
  friend std::int64_t KernelCopy(InFile& in, OutFile& out, std::int64_t count);

 public:
  InFile() = default;
  ~InFile();
  InFile(const InFile&) = delete;
  InFile& operator=(const InFile&) = delete;

  // Opens an existing regular file; false when it cannot be opened or is no regular file
  // (a FIFO, a device or a directory is refused at once, never waited on).
  bool Open(const std::string& path);
  void Close();
  bool IsOpen() const { return handle_ != os::kNoHandle; }

  // The next byte, or -1 at the end of the file (or before its start).
  int ReadByte() {
    if (index_ < length_) return buffer_[index_++];
    return Refill();
  }
  // Reads up to dst.size() bytes; returns how many were there.
  std::size_t Read(std::span<std::uint8_t> dst);
  // Any position is accepted; reads from a position outside the file return end of file.
  void Seek(std::int64_t position);
  std::int64_t Tell() const { return start_ + static_cast<std::int64_t>(index_); }
  std::int64_t Size() const { return size_; }
  bool AtEnd() const { return Tell() >= size_ || Tell() < 0; }

 private:
  int Refill();

  os::Handle handle_ = os::kNoHandle;
  std::int64_t size_ = 0;
  std::int64_t start_ = 0;  // file position of buffer_[0]
  std::size_t length_ = 0;  // valid bytes in buffer_
  std::size_t index_ = 0;   // next byte in buffer_
  bool jumped_ = false;     // the last Seek left the buffered window
  std::vector<std::uint8_t> buffer_;
};

// A file being written from its start, through its own buffer. Failures are sticky: once
// a write fails, Ok() stays false and Close() reports it. AtomicFile gives one out.
class OutFile {
  friend std::int64_t KernelCopy(InFile& in, OutFile& out, std::int64_t count);
  friend class AtomicFile;

 public:
  OutFile() = default;
  ~OutFile();
  OutFile(const OutFile&) = delete;
  OutFile& operator=(const OutFile&) = delete;

  void Write(std::span<const std::uint8_t> bytes);
  void WriteByte(std::uint8_t b) {
    if (used_ < buffer_.size()) {
      buffer_[used_++] = b;
      return;
    }
    Write(std::span<const std::uint8_t>(&b, 1));
  }
  void WriteLE16(std::uint32_t v);
  void WriteLE32(std::uint32_t v);
  void WriteText(std::string_view text);
  std::int64_t Written() const { return written_ + static_cast<std::int64_t>(used_); }
  bool Ok() const { return ok_; }
  bool IsOpen() const { return handle_ != os::kNoHandle; }

 private:
  // Takes over an open handle; faults are asked about reported_path.
  void Attach(os::Handle handle, std::string reported_path);
  // Writes out what the buffer holds; false once anything failed.
  bool Finish();
  // Closes the handle; true only when every write and the close succeeded.
  bool Close();
  void Flush();
  void PhysicalWrite(const std::uint8_t* data, std::size_t size);

  os::Handle handle_ = os::kNoHandle;
  std::string path_;
  bool ok_ = true;
  std::int64_t written_ = 0;
  std::size_t used_ = 0;
  std::vector<std::uint8_t> buffer_;
};

// Writes a file that may replace an existing one. The bytes go to a new temporary file
// beside the target (created exclusively, under a random name that fits the file system's
// name limit, readable by its owner only), which takes the target's place only when every
// write and the close succeeded, with the replaced file's mode and owner (a new file gets
// the usual mode the file-creation mask allows). A target that is a symbolic link keeps
// being a link: the file it leads to is replaced. A target that is a character device or
// a FIFO is written straight into, as a stream. Until Commit() the target is untouched; a
// destroyed, uncommitted AtomicFile removes its temporary file, and so does the process
// when it is interrupted or terminated while writing.
class AtomicFile {
 public:
  enum class Result { kOk, kWriteFailed, kRenameFailed };

  AtomicFile() = default;
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // Creates the temporary file for target; false when it cannot be created, or when the
  // target is a directory, a dangling link or a file of another kind.
  bool Create(const std::string& target);
  OutFile& Out() { return out_; }
  // A temporary file whose rename fails is kept, and KeptPath() names it, instead of
  // being removed.
  void KeepIfRenameFails() { keep_if_rename_fails_ = true; }
  // Closes the temporary file and renames it over the target.
  Result Commit();
  // Removes the temporary file without touching the target.
  void Discard();
  // The temporary file kept by a Commit whose rename failed; empty otherwise.
  const std::string& KeptPath() const { return kept_path_; }

 private:
  bool CreateTemporary();
  bool CreateInFreshFolder();
  void ApplyFinalMode();

  OutFile out_;
  std::string target_;      // as given: faults and reports speak of it
  std::string final_path_;  // the file that is replaced (the link's target for a link)
  std::string temp_path_;
  std::string kept_path_;
  int watch_slot_ = -1;
  bool stream_ = false;
  bool replaces_file_ = false;
  os::NodeInfo replaced_;
  bool keep_if_rename_fails_ = false;
  bool in_place_ = false;  // written straight into a fresh folder: no rename
};

// A folder this process has just created under a temporary name and is filling, which no
// one else knows of. While the scope lasts, an AtomicFile for a new file directly inside
// it writes that file in place (created exclusively, removed again unless committed)
// instead of through a temporary file and a rename: the whole folder appears at once
// when it is renamed into place, which is just as safe and costs one rename, not one a
// file.
class FreshFolderScope {
 public:
  explicit FreshFolderScope(const std::string& folder);
  ~FreshFolderScope();
  FreshFolderScope(const FreshFolderScope&) = delete;
  FreshFolderScope& operator=(const FreshFolderScope&) = delete;
};

// Paths are UTF-8 text everywhere in the program; this makes one a file-system path.
std::filesystem::path FsPath(const std::string& path);

// Whole-file helpers.
bool FileExists(const std::string& path);
// Returns the file's length, or -1 when it cannot be opened.
std::int64_t FileLength(const std::string& path);
bool RemoveFile(const std::string& path);
// Writes bytes as the whole content of path through an AtomicFile; true once in place.
bool ReplaceFileContent(const std::string& path, std::span<const std::uint8_t> bytes);
// Renames from over to (replacing it); false on failure.
bool RenameFile(const std::string& from, const std::string& to);
// Reads the whole regular file at path (at most limit bytes); false when it cannot be
// opened, is larger than limit or cannot be read whole.
bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes,
                   std::int64_t limit = std::int64_t{1} << 31);

// Folders written whole: a new folder is filled under a temporary name beside its target
// and renamed into place once, so that nobody sees it half written.
enum class FolderState { kMissing, kEmpty, kOther };
// What path is now: nothing, an empty folder, or anything else (a file, a folder with
// something in it, a link).
FolderState InspectFolder(const std::string& path);
// Creates a new, empty temporary folder beside target; its path, or "" on failure.
std::string CreateTemporaryFolder(const std::string& target);
// Removes a folder with everything in it.
void RemoveFolderTree(const std::string& path);
// Renames the folder from over to, which must be missing or an empty folder.
bool RenameFolder(const std::string& from, const std::string& to);
// True when path, with every link in it followed, lies inside folder.
bool StaysInsideFolder(const std::string& folder, const std::string& path);

// Copies count bytes from the current position of in to out (fewer when the file ends);
// returns the number copied.
std::int64_t CopyBytes(InFile& in, OutFile& out, std::int64_t count);

// Rewrites bytes of an existing file in place, without truncating it. Refuses (and writes
// nothing) when the bytes would not lie wholly inside the file. When the write or the
// close fails, the bytes it replaced are written back before kWriteFailed is returned.
enum class OverwriteResult { kOk, kOpenFailed, kOutsideFile, kWriteFailed };
OverwriteResult OverwriteBytes(const std::string& path, std::int64_t offset,
                               std::span<const std::uint8_t> bytes);

// Reads text lines the way a fixed-size line buffer does: each call takes at most
// capacity - 1 characters, up to and including a line feed. A longer line comes back
// in pieces; a piece is a line of its own to the caller.
class TextLineReader {
 public:
  explicit TextLineReader(InFile& file) : file_(file) {}
  // False at the end of the file (nothing read).
  bool ReadLine(std::size_t capacity, std::string& line);

 private:
  InFile& file_;
};

}  // namespace pelgrin
