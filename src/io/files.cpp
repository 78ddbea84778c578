#include "io/files.h"

#if !defined(_WIN32)
#include <unistd.h>

#include <cerrno>
#endif

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "io/byte_order.h"
#include "io/file_faults.h"

namespace pelgrin {
namespace {

constexpr std::size_t kBufferSize = 1 << 16;
constexpr std::size_t kJumpReadSize = 4096;
constexpr std::int64_t kCopyBlockSize = 1 << 20;

FileFaults* g_faults = nullptr;

bool Faulty(FileFaults::Op op, const std::string& path) {
  return g_faults != nullptr && g_faults->ShouldFail(op, path);
}

bool SeekTo(std::FILE* f, std::int64_t position) {
#if defined(_WIN32)
  return _fseeki64(f, position, SEEK_SET) == 0;
#else
  return fseeko(f, static_cast<off_t>(position), SEEK_SET) == 0;
#endif
}

// Reads up to size bytes at position, in one call where the platform allows.
std::size_t ReadAt(std::FILE* f, std::int64_t position, std::uint8_t* dst, std::size_t size) {
#if defined(_WIN32)
  if (!SeekTo(f, position)) return 0;
  return std::fread(dst, 1, size, f);
#else
  std::size_t done = 0;
  while (done < size) {
    const ssize_t got = ::pread(fileno(f), dst + done, size - done,
                                static_cast<off_t>(position + static_cast<std::int64_t>(done)));
    if (got <= 0) break;
    done += static_cast<std::size_t>(got);
  }
  return done;
#endif
}

std::int64_t SizeOf(std::FILE* f) {
#if defined(_WIN32)
  if (_fseeki64(f, 0, SEEK_END) != 0) return -1;
  return _ftelli64(f);
#else
  if (fseeko(f, 0, SEEK_END) != 0) return -1;
  return static_cast<std::int64_t>(ftello(f));
#endif
}

std::FILE* OpenCFile(const std::string& path, const char* mode) {
#if defined(_WIN32)
  const std::wstring wide_mode(mode, mode + std::strlen(mode));
  return _wfopen(FsPath(path).c_str(), wide_mode.c_str());
#else
  return std::fopen(path.c_str(), mode);
#endif
}

bool IsDirectory(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_directory(FsPath(path), ec);
}

// Writes bytes at offset of the open file f and closes it; false when any step failed.
bool WriteAtAndClose(std::FILE* f, const std::string& path, std::int64_t offset,
                     std::span<const std::uint8_t> bytes) {
  bool ok = SeekTo(f, offset) && !Faulty(FileFaults::Op::kWrite, path) &&
            std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  ok = (std::fflush(f) == 0) && ok;
  ok = (std::fclose(f) == 0) && !Faulty(FileFaults::Op::kClose, path) && ok;
  return ok;
}

std::string UniqueTempName(const std::string& target) {
  static std::atomic<unsigned> counter{0};
  const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
  return target + "." + std::to_string(static_cast<unsigned>(ticks) % 100000u) + "-" +
         std::to_string(counter++) + ".tmp";
}

}  // namespace

FileFaults* SetFileFaults(FileFaults* faults) {
  FileFaults* previous = g_faults;
  g_faults = faults;
  return previous;
}

std::filesystem::path FsPath(const std::string& path) {
  return std::filesystem::path(std::u8string(path.begin(), path.end()));
}

// ---- InFile ----

InFile::~InFile() {
  Close();
}

bool InFile::Open(const std::string& path) {
  Close();
  if (path.empty() || IsDirectory(path)) return false;
  file_ = OpenCFile(path, "rb");
  if (file_ == nullptr) return false;
  std::setvbuf(file_, nullptr, _IONBF, 0);  // the file keeps its own buffer
  size_ = SizeOf(file_);
  if (size_ < 0) {
    Close();
    return false;
  }
  buffer_.resize(kBufferSize);
  start_ = 0;
  length_ = 0;
  index_ = 0;
  return true;
}

void InFile::Close() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
  size_ = 0;
  start_ = 0;
  length_ = 0;
  index_ = 0;
}

int InFile::Refill() {
  start_ += static_cast<std::int64_t>(index_);
  length_ = 0;
  index_ = 0;
  if (file_ == nullptr || start_ < 0 || start_ >= size_) return -1;
  // After a jump, read little: a jump usually fetches a header, not a run of data.
  const std::size_t want = jumped_ ? kJumpReadSize : buffer_.size();
  jumped_ = false;
  length_ = ReadAt(file_, start_, buffer_.data(), want);
  if (length_ == 0) return -1;
  return buffer_[index_++];
}

std::size_t InFile::Read(std::span<std::uint8_t> dst) {
  std::size_t done = 0;
  while (done < dst.size()) {
    if (index_ == length_) {
      // Large reads bypass the buffer.
      const std::size_t rest = dst.size() - done;
      if (rest >= buffer_.size() && file_ != nullptr) {
        start_ += static_cast<std::int64_t>(index_);
        length_ = index_ = 0;
        if (start_ < 0 || start_ >= size_) break;
        const std::size_t got = ReadAt(file_, start_, dst.data() + done, rest);
        start_ += static_cast<std::int64_t>(got);
        done += got;
        break;
      }
      if (Refill() < 0) break;
      --index_;  // Refill consumed one byte; hand it back to the copy below.
    }
    const std::size_t n = std::min(length_ - index_, dst.size() - done);
    std::copy_n(buffer_.data() + index_, n, dst.data() + done);
    index_ += n;
    done += n;
  }
  return done;
}

void InFile::Seek(std::int64_t position) {
  if (position >= start_ && position <= start_ + static_cast<std::int64_t>(length_)) {
    index_ = static_cast<std::size_t>(position - start_);
    return;
  }
  start_ = position;
  length_ = 0;
  index_ = 0;
  jumped_ = true;
}

// ---- OutFile ----

OutFile::~OutFile() {
  if (file_ != nullptr) std::fclose(file_);
}

bool OutFile::Create(const std::string& path) {
  if (file_ != nullptr) Close();
  ok_ = true;
  written_ = 0;
  used_ = 0;
  if (path.empty() || IsDirectory(path) || Faulty(FileFaults::Op::kCreate, path)) return false;
  file_ = OpenCFile(path, "wb");
  if (file_ == nullptr) return false;
  std::setvbuf(file_, nullptr, _IONBF, 0);  // the file keeps its own buffer
  path_ = path;
  buffer_.resize(kBufferSize);
  return true;
}

// Writes all of data to f; false on any failure.
bool WriteAll(std::FILE* f, const std::uint8_t* data, std::size_t size) {
#if defined(_WIN32)
  return std::fwrite(data, 1, size, f) == size;
#else
  // Straight to the descriptor: the file keeps its own buffer, and the kernel copy in
  // CopyBytes moves the same descriptor's position.
  while (size > 0) {
    const ssize_t done = ::write(fileno(f), data, size);
    if (done <= 0) return false;
    data += done;
    size -= static_cast<std::size_t>(done);
  }
  return true;
#endif
}

void OutFile::PhysicalWrite(const std::uint8_t* data, std::size_t size) {
  if (file_ == nullptr || Faulty(FileFaults::Op::kWrite, path_) || !WriteAll(file_, data, size))
    ok_ = false;
  written_ += static_cast<std::int64_t>(size);
}

void OutFile::Flush() {
  if (used_ == 0) return;
  PhysicalWrite(buffer_.data(), used_);
  used_ = 0;
}

void OutFile::Write(std::span<const std::uint8_t> bytes) {
  if (bytes.size() > buffer_.size() - used_) {
    Flush();
    if (bytes.size() >= buffer_.size()) {
      PhysicalWrite(bytes.data(), bytes.size());
      return;
    }
  }
  std::copy(bytes.begin(), bytes.end(), buffer_.data() + used_);
  used_ += bytes.size();
}

void OutFile::WriteLE16(std::uint32_t v) {
  std::uint8_t b[2];
  PutLE16(b, v);
  Write(b);
}

void OutFile::WriteLE32(std::uint32_t v) {
  std::uint8_t b[4];
  PutLE32(b, v);
  Write(b);
}

void OutFile::WriteText(std::string_view text) {
  Write(std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(text.data()),
                                      text.size()));
}

bool OutFile::Close() {
  if (file_ == nullptr) return false;
  Flush();
  if (std::fflush(file_) != 0) ok_ = false;
  if (std::fclose(file_) != 0 || Faulty(FileFaults::Op::kClose, path_)) ok_ = false;
  file_ = nullptr;
  return ok_;
}

// ---- AtomicFile ----

AtomicFile::~AtomicFile() {
  Discard();
}

bool AtomicFile::Create(const std::string& target) {
  Discard();
  if (target.empty() || IsDirectory(target)) return false;
  target_ = target;
  temp_path_ = UniqueTempName(target);
  if (!out_.Create(temp_path_)) {
    temp_path_.clear();
    return false;
  }
  return true;
}

AtomicFile::Result AtomicFile::Commit() {
  if (temp_path_.empty()) return Result::kWriteFailed;
  if (!out_.Close()) {
    Discard();
    return Result::kWriteFailed;
  }
  if (!RenameFile(temp_path_, target_)) {
    Discard();
    return Result::kRenameFailed;
  }
  temp_path_.clear();
  return Result::kOk;
}

void AtomicFile::Discard() {
  if (out_.IsOpen()) out_.Close();
  if (!temp_path_.empty()) RemoveFile(temp_path_);
  temp_path_.clear();
}

// ---- whole files ----

bool FileExists(const std::string& path) {
  std::error_code ec;
  return !path.empty() && std::filesystem::exists(FsPath(path), ec);
}

std::int64_t FileLength(const std::string& path) {
  InFile f;
  if (!f.Open(path)) return -1;
  return f.Size();
}

bool RemoveFile(const std::string& path) {
  std::error_code ec;
  return std::filesystem::remove(FsPath(path), ec) && !ec;
}

bool RenameFile(const std::string& from, const std::string& to) {
  if (Faulty(FileFaults::Op::kRename, to)) return false;
  std::error_code ec;
  std::filesystem::rename(FsPath(from), FsPath(to), ec);
  return !ec;
}

// Copies inside the kernel where the platform can (no pass through our memory); -1 when
// it cannot copy between these two files, or not fast, so that the caller copies itself.
std::int64_t KernelCopy(InFile& in, OutFile& out, std::int64_t count) {
#if defined(__linux__)
  if (in.file_ == nullptr || out.file_ == nullptr || count <= 0) return -1;
  out.Flush();
  loff_t from = in.Tell();
  // The kernel moves whole pages only when both positions start a page; from anywhere
  // else (an archive's records follow an index of any length) it writes every page in
  // pieces, and a copy through memory is two to three times faster.
  static const long page = ::sysconf(_SC_PAGESIZE);
  if (page <= 0 || from % page != 0 || out.written_ % page != 0) return -1;
  std::int64_t copied = 0;
  while (copied < count) {
    const auto chunk = static_cast<std::size_t>(std::min<std::int64_t>(count - copied, 1 << 30));
    const bool fault = Faulty(FileFaults::Op::kWrite, out.path_);
    const ssize_t done =
        fault ? -1
              : ::copy_file_range(fileno(in.file_), &from, fileno(out.file_), nullptr, chunk, 0);
    if (!fault && done < 0 && copied == 0 &&
        (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP ||
         errno == EBADF)) {
      return -1;
    }
    if (done < 0) {
      // A failed kernel copy is a failed write, as in the copy through memory: the output
      // reports it, and the input counts as read.
      out.ok_ = false;
      return count;
    }
    if (done == 0) break;  // the input ended
    copied += done;
    out.written_ += done;
  }
  in.Seek(in.Tell() + copied);
  return copied;
#else
  (void)in;
  (void)out;
  (void)count;
  return -1;
#endif
}

std::int64_t CopyBytes(InFile& in, OutFile& out, std::int64_t count) {
  if (const std::int64_t copied = KernelCopy(in, out, count); copied >= 0) return copied;
  // Blocks larger than the files' buffers go straight from one file to the other.
  std::vector<std::uint8_t> block(
      static_cast<std::size_t>(std::clamp<std::int64_t>(count, 1, kCopyBlockSize)));
  std::int64_t copied = 0;
  while (copied < count) {
    const auto want = static_cast<std::size_t>(
        std::min<std::int64_t>(count - copied, static_cast<std::int64_t>(block.size())));
    const std::size_t got = in.Read(std::span(block.data(), want));
    out.Write(std::span<const std::uint8_t>(block.data(), got));
    copied += static_cast<std::int64_t>(got);
    if (got < want) break;
  }
  return copied;
}

OverwriteResult OverwriteBytes(const std::string& path, std::int64_t offset,
                               std::span<const std::uint8_t> bytes) {
  if (path.empty() || IsDirectory(path) || Faulty(FileFaults::Op::kOverwriteOpen, path))
    return OverwriteResult::kOpenFailed;
  std::FILE* f = OpenCFile(path, "r+b");
  if (f == nullptr) return OverwriteResult::kOpenFailed;
  const std::int64_t size = SizeOf(f);
  if (offset < 0 || size < 0 || offset + static_cast<std::int64_t>(bytes.size()) > size) {
    std::fclose(f);
    return OverwriteResult::kOutsideFile;
  }
  std::vector<std::uint8_t> old(bytes.size());
  if (!SeekTo(f, offset) || std::fread(old.data(), 1, old.size(), f) != old.size()) {
    std::fclose(f);
    return OverwriteResult::kWriteFailed;  // nothing was written
  }
  if (WriteAtAndClose(f, path, offset, bytes)) return OverwriteResult::kOk;
  // Part or all of the new bytes may have reached the file although the write or the
  // close failed: put the old ones back, so that a reported failure leaves the file as
  // it was whenever the file can still be written.
  if (!Faulty(FileFaults::Op::kOverwriteOpen, path)) {
    if (std::FILE* again = OpenCFile(path, "r+b")) WriteAtAndClose(again, path, offset, old);
  }
  return OverwriteResult::kWriteFailed;
}

// ---- TextLineReader ----

bool TextLineReader::ReadLine(std::size_t capacity, std::string& line) {
  line.clear();
  while (line.size() + 1 < capacity) {
    const int c = file_.ReadByte();
    if (c < 0) break;
    line.push_back(static_cast<char>(c));
    if (c == '\n') break;
  }
  return !line.empty();
}

}  // namespace pelgrin
