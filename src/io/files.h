// Buffered binary files and replace-by-rename writing.
//
// Every read past the end of a file is defined: ReadByte returns -1, Read returns the
// number of bytes that were there. Writes are buffered; a failed write, flush, close or
// rename is remembered and reported by the call that finishes the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

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

  // Opens an existing regular file; false when it cannot be opened.
  bool Open(const std::string& path);
  void Close();
  bool IsOpen() const { return file_ != nullptr; }

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

  std::FILE* file_ = nullptr;
  std::int64_t size_ = 0;
  std::int64_t start_ = 0;  // file position of buffer_[0]
  std::size_t length_ = 0;  // valid bytes in buffer_
  std::size_t index_ = 0;   // next byte in buffer_
  bool jumped_ = false;     // the last Seek left the buffered window
  std::vector<std::uint8_t> buffer_;
};

// A file opened for writing from scratch. Failures are sticky: once a write fails,
// Ok() stays false and Close() reports it.
class OutFile {
  friend std::int64_t KernelCopy(InFile& in, OutFile& out, std::int64_t count);

 public:
  OutFile() = default;
  ~OutFile();
  OutFile(const OutFile&) = delete;
  OutFile& operator=(const OutFile&) = delete;

  bool Create(const std::string& path);
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
  // Flushes and closes; true only when every write and the close succeeded.
  bool Close();
  bool IsOpen() const { return file_ != nullptr; }

 private:
  void Flush();
  void PhysicalWrite(const std::uint8_t* data, std::size_t size);

  std::FILE* file_ = nullptr;
  std::string path_;
  bool ok_ = true;
  std::int64_t written_ = 0;
  std::size_t used_ = 0;
  std::vector<std::uint8_t> buffer_;
};

// Writes a file that may replace an existing one: the bytes go to a temporary file in
// the same directory, which takes the target's name only when every write and the
// close succeeded. Until Commit() the target is untouched; a destroyed, uncommitted
// AtomicFile removes its temporary file.
class AtomicFile {
 public:
  enum class Result { kOk, kWriteFailed, kRenameFailed };

  AtomicFile() = default;
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // Creates the temporary file for target; false when it cannot be created.
  bool Create(const std::string& target);
  OutFile& Out() { return out_; }
  // Closes the temporary file and renames it over the target.
  Result Commit();
  // Removes the temporary file without touching the target.
  void Discard();
  const std::string& TempPath() const { return temp_path_; }

 private:
  OutFile out_;
  std::string target_;
  std::string temp_path_;
};

// Paths are UTF-8 text everywhere in the program; this makes one a file-system path.
std::filesystem::path FsPath(const std::string& path);

// Whole-file helpers.
bool FileExists(const std::string& path);
// Returns the file's length, or -1 when it cannot be opened.
std::int64_t FileLength(const std::string& path);
bool RemoveFile(const std::string& path);
// Renames from over to (replacing it); false on failure.
bool RenameFile(const std::string& from, const std::string& to);
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
