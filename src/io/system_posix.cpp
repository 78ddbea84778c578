// The file layer's system calls on POSIX systems (Linux first).
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>
#include <new>
#include <random>

#include "io/system.h"

namespace pelgrin::os {
namespace {

constexpr int kMaxLinkHops = 40;

NodeKind KindOf(mode_t mode) {
  if (S_ISREG(mode)) return NodeKind::kRegular;
  if (S_ISDIR(mode)) return NodeKind::kDirectory;
  if (S_ISLNK(mode)) return NodeKind::kLink;
  if (S_ISCHR(mode) || S_ISFIFO(mode)) return NodeKind::kStream;
  return NodeKind::kOther;
}

// Opens path with flags, never waiting on a FIFO or a device, and keeps the handle only
// when the file it opened is of the wanted kind; the handle then blocks as usual.
Handle OpenKind(const std::string& path, int flags, NodeKind wanted) {
  struct stat before {};
  if (path.empty() || ::stat(path.c_str(), &before) != 0 || KindOf(before.st_mode) != wanted)
    return kNoHandle;
  Handle h;
  do {
    h = ::open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  } while (h < 0 && errno == EINTR);
  if (h < 0) return kNoHandle;
  struct stat opened {};
  if (::fstat(h, &opened) != 0 || KindOf(opened.st_mode) != wanted) {
    ::close(h);
    return kNoHandle;
  }
  const int status = ::fcntl(h, F_GETFL);
  if (status < 0 || ::fcntl(h, F_SETFL, status & ~O_NONBLOCK) != 0) {
    ::close(h);
    return kNoHandle;
  }
  return h;
}

std::string DirectoryOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// ---- temporary files removed at termination ----

constexpr std::size_t kWatchSlots = 16;

struct WatchedFile {
  std::atomic<bool> used{false};
  char path[PATH_MAX] = {};
};

std::array<WatchedFile, kWatchSlots> g_watched;
constexpr std::array<int, 3> kEndingSignals{SIGINT, SIGTERM, SIGHUP};

extern "C" void RemoveTemporaryFilesAndEnd(int sig) {
  for (WatchedFile& file : g_watched) {
    if (file.used.load()) ::unlink(file.path);
  }
  // The handler was reset to the default action on entry and the signal is blocked until
  // the handler returns: raised again, it ends the process as it would have.
  ::raise(sig);
}

void InstallTerminationHandlers() {
  static std::atomic<bool> installed{false};
  if (installed.exchange(true)) return;
  for (int sig : kEndingSignals) {
    struct sigaction old {};
    // A signal the process was told to ignore (nohup, a background job) stays ignored.
    if (::sigaction(sig, nullptr, &old) != 0 || old.sa_handler == SIG_IGN) continue;
    struct sigaction action {};
    action.sa_handler = RemoveTemporaryFilesAndEnd;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND;
    ::sigaction(sig, &action, nullptr);
  }
  ::signal(SIGXFSZ, SIG_IGN);
}

void ReplaceClosedStream(int fd, const char* device, int flags) {
  if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) return;
  int stand_in = ::open(device, flags | O_CLOEXEC);
  if (stand_in < 0) stand_in = ::open("/dev/null", flags | O_CLOEXEC);
  if (stand_in < 0 || stand_in == fd) return;
  ::dup2(stand_in, fd);  // the copy does not inherit close-on-exec
  ::close(stand_in);
}

}  // namespace

NodeInfo Inspect(const std::string& path) {
  NodeInfo info;
  struct stat st {};
  if (path.empty() || ::lstat(path.c_str(), &st) != 0) {
    info.kind = (errno == ENOENT || errno == ENOTDIR || path.empty()) ? NodeKind::kMissing
                                                                      : NodeKind::kOther;
    return info;
  }
  info.kind = KindOf(st.st_mode);
  info.mode = st.st_mode & 07777;
  info.owner = st.st_uid;
  info.group = st.st_gid;
  return info;
}

std::string FollowLinks(const std::string& path) {
  std::string current = path;
  for (int hop = 0; hop < kMaxLinkHops; ++hop) {
    if (Inspect(current).kind != NodeKind::kLink) return current;
    char target[PATH_MAX];
    const ssize_t n = ::readlink(current.c_str(), target, sizeof target - 1);
    if (n <= 0) return {};
    const std::string text(target, static_cast<std::size_t>(n));
    current = text.front() == '/' ? text : DirectoryOf(current) + text;
  }
  return {};
}

Handle OpenForReading(const std::string& path) {
  return OpenKind(path, O_RDONLY, NodeKind::kRegular);
}

Handle OpenForUpdate(const std::string& path) {
  return OpenKind(path, O_RDWR, NodeKind::kRegular);
}

Handle OpenStreamForWriting(const std::string& path) {
  return OpenKind(path, O_WRONLY, NodeKind::kStream);
}

CreateResult CreateExclusive(const std::string& path, Handle& handle) {
  do {
    handle = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  } while (handle < 0 && errno == EINTR);
  if (handle >= 0) return CreateResult::kCreated;
  return errno == EEXIST ? CreateResult::kExists : CreateResult::kFailed;
}

bool Close(Handle handle) {
  return handle >= 0 && ::close(handle) == 0;
}

std::int64_t SizeOf(Handle handle) {
  struct stat st {};
  if (::fstat(handle, &st) != 0) return -1;
  return static_cast<std::int64_t>(st.st_size);
}

std::size_t ReadAt(Handle handle, std::int64_t position, std::uint8_t* dst, std::size_t size) {
  std::size_t done = 0;
  while (done < size) {
    const ssize_t got = ::pread(handle, dst + done, size - done,
                                static_cast<off_t>(position + static_cast<std::int64_t>(done)));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    done += static_cast<std::size_t>(got);
  }
  return done;
}

bool WriteAll(Handle handle, const std::uint8_t* data, std::size_t size) {
  while (size > 0) {
    const ssize_t done = ::write(handle, data, size);
    if (done < 0 && errno == EINTR) continue;
    if (done <= 0) return false;
    data += done;
    size -= static_cast<std::size_t>(done);
  }
  return true;
}

bool WriteAt(Handle handle, std::int64_t position, const std::uint8_t* data, std::size_t size) {
  while (size > 0) {
    const ssize_t done = ::pwrite(handle, data, size, static_cast<off_t>(position));
    if (done < 0 && errno == EINTR) continue;
    if (done <= 0) return false;
    data += done;
    size -= static_cast<std::size_t>(done);
    position += done;
  }
  return true;
}

std::int64_t CopyInKernel(Handle in, std::int64_t from, Handle out, std::int64_t count) {
#if defined(__linux__)
  loff_t at = from;
  std::int64_t copied = 0;
  while (copied < count) {
    const auto chunk = static_cast<std::size_t>(std::min<std::int64_t>(count - copied, 1 << 30));
    const ssize_t done = ::copy_file_range(in, &at, out, nullptr, chunk, 0);
    if (done < 0 && errno == EINTR) continue;
    if (done < 0 && copied == 0 &&
        (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP ||
         errno == EBADF))
      return -1;
    if (done < 0) return -2;
    if (done == 0) break;  // the input ended
    copied += done;
  }
  return copied;
#else
  (void)in;
  (void)from;
  (void)out;
  (void)count;
  return -1;
#endif
}

bool KernelCopyFits(std::int64_t from, std::int64_t to) {
  // The kernel moves whole pages only when both positions start a page; from anywhere
  // else it writes every page in pieces, and a copy through memory is faster.
  static const long page = ::sysconf(_SC_PAGESIZE);
  return page > 0 && from % page == 0 && to % page == 0;
}

void* AllocatePages(std::size_t size) {
  void* pages = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (pages == MAP_FAILED) throw std::bad_alloc();
  return pages;
}

void FreePages(void* pages, std::size_t size) noexcept {
  munmap(pages, size);
}

void PopulatePages(void* start, std::size_t size) noexcept {
#ifdef MADV_POPULATE_WRITE
  // Whole pages: the range's first and last pages belong to the same mapping.
  const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
  const auto from = reinterpret_cast<std::uintptr_t>(start) & ~(page - 1);
  const auto to = reinterpret_cast<std::uintptr_t>(start) + size;
  madvise(reinterpret_cast<void*>(from), to - from, MADV_POPULATE_WRITE);
#else
  (void)start;
  (void)size;
#endif
}

std::uint32_t NewFileMode() {
  // The mask can only be read by setting it; it is put back at once.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return static_cast<std::uint32_t>(0666 & ~mask);
}

bool SetMode(Handle handle, std::uint32_t mode) {
  return ::fchmod(handle, static_cast<mode_t>(mode)) == 0;
}

void TrySetOwner(Handle handle, std::uint32_t owner, std::uint32_t group) {
  if (::fchown(handle, owner, group) == 0) return;
  // Not allowed to give the file away: keep at least the group where the owner may.
  [[maybe_unused]] const int ignored = ::fchown(handle, static_cast<uid_t>(-1), group);
}

bool Rename(const std::string& from, const std::string& to) {
  return ::rename(from.c_str(), to.c_str()) == 0;
}

bool MakeDirectory(const std::string& path) {
  return !path.empty() && ::mkdir(path.c_str(), 0777) == 0;
}

bool StandardErrorIsTerminal() {
  return ::isatty(STDERR_FILENO) == 1;
}

bool Remove(const std::string& path) {
  return ::unlink(path.c_str()) == 0;
}

std::size_t MaxNameLength(const std::string& directory) {
  const long limit = ::pathconf(directory.empty() ? "." : directory.c_str(), _PC_NAME_MAX);
  return limit > 0 ? static_cast<std::size_t>(limit) : 255;
}

std::string RandomTag(std::size_t length) {
  static constexpr char kAlphabet[] =
      "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  std::random_device source;
  std::uniform_int_distribution<std::size_t> pick(0, sizeof kAlphabet - 2);
  std::string tag(length, '0');
  for (char& c : tag)
    c = kAlphabet[pick(source)];
  return tag;
}

LockResult LockExclusive(Handle handle, bool wait) {
  for (;;) {
    if (::flock(handle, LOCK_EX | (wait ? 0 : LOCK_NB)) == 0) return LockResult::kLocked;
    if (errno == EINTR) continue;
    return errno == EWOULDBLOCK ? LockResult::kBusy : LockResult::kFailed;
  }
}

bool SameFile(Handle handle, const std::string& path) {
  struct stat open_file {};
  struct stat named {};
  return ::fstat(handle, &open_file) == 0 && ::stat(path.c_str(), &named) == 0 &&
         open_file.st_dev == named.st_dev && open_file.st_ino == named.st_ino;
}

int WatchTemporaryFile(const std::string& path) {
  InstallTerminationHandlers();
  if (path.size() >= PATH_MAX) return -1;
  for (std::size_t slot = 0; slot < g_watched.size(); ++slot) {
    WatchedFile& file = g_watched[slot];
    if (file.used.load()) continue;
    std::memcpy(file.path, path.c_str(), path.size() + 1);
    file.used.store(true);
    return static_cast<int>(slot);
  }
  return -1;
}

void UnwatchTemporaryFile(int slot) {
  if (slot >= 0 && static_cast<std::size_t>(slot) < g_watched.size())
    g_watched[static_cast<std::size_t>(slot)].used.store(false);
}

void GuardStandardStreams() {
  ReplaceClosedStream(STDIN_FILENO, "/dev/null", O_RDONLY);
  ReplaceClosedStream(STDOUT_FILENO, "/dev/full", O_WRONLY);
  ReplaceClosedStream(STDERR_FILENO, "/dev/null", O_WRONLY);
}

}  // namespace pelgrin::os
