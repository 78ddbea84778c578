#include "io/files.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "io/byte_order.h"
#include "io/file_faults.h"
#include "io/paths.h"

namespace pelgrin {
namespace {

constexpr std::size_t kBufferSize = 1 << 16;
constexpr std::size_t kJumpReadSize = 4096;
constexpr std::int64_t kCopyBlockSize = 1 << 20;
// A temporary file is named TARGET.TAG.tmp, with a random TAG of this length.
constexpr std::size_t kTempTagLength = 10;
constexpr std::string_view kTempSuffix = ".tmp";
constexpr int kTempNameAttempts = 100;

FileFaults* g_faults = nullptr;

bool Faulty(FileFaults::Op op, const std::string& path) {
  return g_faults != nullptr && g_faults->ShouldFail(op, path);
}

// The start of name that leaves room for the temporary file's tag and suffix within the
// file system's name limit, never cutting a UTF-8 character in two.
std::string TempNameStem(const std::string& name, std::size_t limit) {
  const std::size_t overhead = 1 + kTempTagLength + kTempSuffix.size();
  std::size_t keep = limit > overhead ? std::min(name.size(), limit - overhead) : 0;
  while (keep > 0 && keep < name.size() && (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80)
    --keep;
  return name.substr(0, keep);
}

// Writes bytes at offset of the open handle and closes it; false when any step failed.
bool WriteAtAndClose(os::Handle h, const std::string& path, std::int64_t offset,
                     std::span<const std::uint8_t> bytes) {
  bool ok =
      !Faulty(FileFaults::Op::kWrite, path) && os::WriteAt(h, offset, bytes.data(), bytes.size());
  ok = os::Close(h) && !Faulty(FileFaults::Op::kClose, path) && ok;
  return ok;
}

// The folder of the FreshFolderScope, with its separator; empty outside one.
std::string g_fresh_folder;

bool InFreshFolder(const std::string& path) {
  return !g_fresh_folder.empty() && DirectoryPart(path) == g_fresh_folder;
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
  handle_ = os::OpenForReading(path);
  if (handle_ == os::kNoHandle) return false;
  size_ = os::SizeOf(handle_);
  if (size_ < 0) {
    Close();
    return false;
  }
  buffer_.resize(kBufferSize);
  return true;
}

void InFile::Close() {
  if (handle_ != os::kNoHandle) os::Close(handle_);
  handle_ = os::kNoHandle;
  size_ = 0;
  start_ = 0;
  length_ = 0;
  index_ = 0;
}

int InFile::Refill() {
  start_ += static_cast<std::int64_t>(index_);
  length_ = 0;
  index_ = 0;
  if (handle_ == os::kNoHandle || start_ < 0 || start_ >= size_) return -1;
  // After a jump, read little: a jump usually fetches a header, not a run of data.
  const std::size_t want = jumped_ ? kJumpReadSize : buffer_.size();
  jumped_ = false;
  length_ = os::ReadAt(handle_, start_, buffer_.data(), want);
  if (length_ == 0) return -1;
  return buffer_[index_++];
}

std::size_t InFile::Read(std::span<std::uint8_t> dst) {
  std::size_t done = 0;
  while (done < dst.size()) {
    if (index_ == length_) {
      // Large reads bypass the buffer.
      const std::size_t rest = dst.size() - done;
      if (rest >= buffer_.size() && handle_ != os::kNoHandle) {
        start_ += static_cast<std::int64_t>(index_);
        length_ = index_ = 0;
        if (start_ < 0 || start_ >= size_) break;
        const std::size_t got = os::ReadAt(handle_, start_, dst.data() + done, rest);
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
  if (handle_ != os::kNoHandle) os::Close(handle_);
}

void OutFile::Attach(os::Handle handle, std::string reported_path) {
  handle_ = handle;
  path_ = std::move(reported_path);
  ok_ = true;
  written_ = 0;
  used_ = 0;
  buffer_.resize(kBufferSize);
}

void OutFile::PhysicalWrite(const std::uint8_t* data, std::size_t size) {
  if (handle_ == os::kNoHandle || Faulty(FileFaults::Op::kWrite, path_) ||
      !os::WriteAll(handle_, data, size))
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

bool OutFile::Finish() {
  Flush();
  return ok_;
}

bool OutFile::Close() {
  if (handle_ == os::kNoHandle) return false;
  Flush();
  if (!os::Close(handle_) || Faulty(FileFaults::Op::kClose, path_)) ok_ = false;
  handle_ = os::kNoHandle;
  return ok_;
}

// ---- AtomicFile ----

AtomicFile::~AtomicFile() {
  Discard();
}

bool AtomicFile::Create(const std::string& target) {
  Discard();
  kept_path_.clear();
  if (target.empty() || Faulty(FileFaults::Op::kCreate, target)) return false;
  target_ = target;
  final_path_ = target;
  os::NodeInfo node = os::Inspect(target);
  if (node.kind == os::NodeKind::kLink) {
    final_path_ = os::FollowLinks(target);
    node = os::Inspect(final_path_);  // a dangling link or a loop: missing or unreadable
    if (final_path_.empty() || node.kind == os::NodeKind::kMissing) return false;
  }
  switch (node.kind) {
    case os::NodeKind::kStream: {
      const os::Handle handle = os::OpenStreamForWriting(final_path_);
      if (handle == os::kNoHandle) return false;
      out_.Attach(handle, target_);
      stream_ = true;
      return true;
    }
    case os::NodeKind::kMissing:
      if (InFreshFolder(final_path_)) return CreateInFreshFolder();
      [[fallthrough]];
    case os::NodeKind::kRegular:
      replaces_file_ = node.kind == os::NodeKind::kRegular;
      replaced_ = node;
      return CreateTemporary();
    default:
      return false;  // a directory, a block device, a socket
  }
}

bool AtomicFile::CreateTemporary() {
  const std::string dir = DirectoryPart(final_path_);
  const std::string stem = TempNameStem(FileNamePart(final_path_), os::MaxNameLength(dir));
  for (int attempt = 0; attempt < kTempNameAttempts; ++attempt) {
    const std::string temp =
        dir + stem + "." + os::RandomTag(kTempTagLength) + std::string(kTempSuffix);
    os::Handle handle = os::kNoHandle;
    switch (os::CreateExclusive(temp, handle)) {
      case os::CreateResult::kCreated:
        temp_path_ = temp;
        watch_slot_ = os::WatchTemporaryFile(temp);
        out_.Attach(handle, target_);
        return true;
      case os::CreateResult::kExists:
        continue;  // another file took the name: draw another
      case os::CreateResult::kFailed:
        return false;
    }
  }
  return false;
}

bool AtomicFile::CreateInFreshFolder() {
  os::Handle handle = os::kNoHandle;
  if (os::CreateExclusive(final_path_, handle) != os::CreateResult::kCreated) return false;
  temp_path_ = final_path_;
  in_place_ = true;
  out_.Attach(handle, target_);
  return true;
}

void AtomicFile::ApplyFinalMode() {
  // Best effort: a file system without modes or owners keeps what it has.
  if (replaces_file_) os::TrySetOwner(out_.handle_, replaced_.owner, replaced_.group);
  os::SetMode(out_.handle_, replaces_file_ ? replaced_.mode : os::NewFileMode());
}

AtomicFile::Result AtomicFile::Commit() {
  if (stream_) {
    stream_ = false;
    return out_.Close() ? Result::kOk : Result::kWriteFailed;
  }
  if (temp_path_.empty()) return Result::kWriteFailed;
  if (out_.Finish()) ApplyFinalMode();
  if (!out_.Close()) {
    Discard();
    return Result::kWriteFailed;
  }
  if (in_place_) {
    in_place_ = false;
    temp_path_.clear();
    return Result::kOk;
  }
  if (Faulty(FileFaults::Op::kRename, target_) || !os::Rename(temp_path_, final_path_)) {
    if (!keep_if_rename_fails_) {
      Discard();
      return Result::kRenameFailed;
    }
    kept_path_ = temp_path_;
  }
  os::UnwatchTemporaryFile(watch_slot_);
  watch_slot_ = -1;
  const bool renamed = kept_path_.empty();
  temp_path_.clear();
  return renamed ? Result::kOk : Result::kRenameFailed;
}

void AtomicFile::Discard() {
  if (out_.IsOpen()) out_.Close();
  if (!temp_path_.empty()) os::Remove(temp_path_);
  os::UnwatchTemporaryFile(watch_slot_);
  watch_slot_ = -1;
  temp_path_.clear();
  stream_ = false;
  in_place_ = false;
}

FreshFolderScope::FreshFolderScope(const std::string& folder) {
  g_fresh_folder = JoinPath(folder, "");
}

FreshFolderScope::~FreshFolderScope() {
  g_fresh_folder.clear();
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
  return os::Remove(path);
}

bool ReplaceFileContent(const std::string& path, std::span<const std::uint8_t> bytes) {
  AtomicFile file;
  if (!file.Create(path)) return false;
  file.Out().Write(bytes);
  return file.Commit() == AtomicFile::Result::kOk;
}

bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes, std::int64_t limit) {
  InFile file;
  if (!file.Open(path) || file.Size() > limit) return false;
  bytes.resize(static_cast<std::size_t>(file.Size()));
  return file.Read(bytes) == bytes.size();
}

FolderState InspectFolder(const std::string& path) {
  const os::NodeInfo node = os::Inspect(path);
  if (node.kind == os::NodeKind::kMissing) return FolderState::kMissing;
  if (node.kind != os::NodeKind::kDirectory) return FolderState::kOther;
  std::error_code ec;
  const bool empty = std::filesystem::is_empty(FsPath(path), ec);
  return !ec && empty ? FolderState::kEmpty : FolderState::kOther;
}

std::string CreateTemporaryFolder(const std::string& target) {
  const std::string dir = DirectoryPart(target);
  const std::string stem = TempNameStem(FileNamePart(target), os::MaxNameLength(dir));
  for (int attempt = 0; attempt < kTempNameAttempts; ++attempt) {
    const std::string temp =
        dir + stem + "." + os::RandomTag(kTempTagLength) + std::string(kTempSuffix);
    if (Faulty(FileFaults::Op::kCreate, target)) return {};
    if (os::MakeDirectory(temp)) return temp;
    if (os::Inspect(temp).kind == os::NodeKind::kMissing) return {};  // not a name clash
  }
  return {};
}

void RemoveFolderTree(const std::string& path) {
  std::error_code ec;
  std::filesystem::remove_all(FsPath(path), ec);
}

bool RenameFolder(const std::string& from, const std::string& to) {
  return !Faulty(FileFaults::Op::kRename, to) && os::Rename(from, to);
}

bool StaysInsideFolder(const std::string& folder, const std::string& path) {
  std::error_code ec;
  const auto base = std::filesystem::weakly_canonical(FsPath(folder), ec);
  if (ec) return false;
  const auto full = std::filesystem::weakly_canonical(FsPath(path), ec);
  if (ec) return false;
  const auto [end, rest] = std::mismatch(base.begin(), base.end(), full.begin(), full.end());
  return end == base.end() && rest != full.end();
}

bool RenameFile(const std::string& from, const std::string& to) {
  return !Faulty(FileFaults::Op::kRename, to) && os::Rename(from, to);
}

// Copies inside the kernel where the platform can (no pass through our memory); -1 when
// it cannot copy between these two files, or not fast, so that the caller copies itself.
std::int64_t KernelCopy(InFile& in, OutFile& out, std::int64_t count) {
  if (!in.IsOpen() || !out.IsOpen() || count <= 0) return -1;
  out.Flush();
  const std::int64_t from = in.Tell();
  if (!os::KernelCopyFits(from, out.written_)) return -1;
  // A failed kernel copy is a failed write, as in the copy through memory: the output
  // reports it, and the input counts as read.
  if (Faulty(FileFaults::Op::kWrite, out.path_)) {
    out.ok_ = false;
    return count;
  }
  const std::int64_t copied = os::CopyInKernel(in.handle_, from, out.handle_, count);
  if (copied == -1) return -1;
  if (copied < 0) {
    out.ok_ = false;
    return count;
  }
  out.written_ += copied;
  in.Seek(from + copied);
  return copied;
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
  if (path.empty() || Faulty(FileFaults::Op::kOverwriteOpen, path))
    return OverwriteResult::kOpenFailed;
  const os::Handle h = os::OpenForUpdate(path);
  if (h == os::kNoHandle) return OverwriteResult::kOpenFailed;
  const std::int64_t size = os::SizeOf(h);
  if (offset < 0 || size < 0 || offset + static_cast<std::int64_t>(bytes.size()) > size) {
    os::Close(h);
    return OverwriteResult::kOutsideFile;
  }
  std::vector<std::uint8_t> old(bytes.size());
  if (os::ReadAt(h, offset, old.data(), old.size()) != old.size()) {
    os::Close(h);
    return OverwriteResult::kWriteFailed;  // nothing was written
  }
  if (WriteAtAndClose(h, path, offset, bytes)) return OverwriteResult::kOk;
  // Part or all of the new bytes may have reached the file although the write or the
  // close failed: put the old ones back, so that a reported failure leaves the file as
  // it was whenever the file can still be written.
  if (!Faulty(FileFaults::Op::kOverwriteOpen, path)) {
    const os::Handle again = os::OpenForUpdate(path);
    if (again != os::kNoHandle) WriteAtAndClose(again, path, offset, old);
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
