// The calls to the operating system that the file layer makes: opening, reading and
// writing files by handle, exclusive creation, modes and owners, links, advisory locks,
// and the clean-up of temporary files when the process is told to end. One implementation
// a platform (system_posix.cpp); nothing outside src/io/ calls the system directly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace pelgrin::os {

using Handle = int;
inline constexpr Handle kNoHandle = -1;

// What a path names, without following a link at its end.
enum class NodeKind {
  kMissing,
  kRegular,
  kDirectory,
  kLink,
  kStream,  // a character device or a FIFO: written as a stream, never replaced
  kOther,   // a block device, a socket: neither read nor written
};

struct NodeInfo {
  NodeKind kind = NodeKind::kMissing;
  std::uint32_t mode = 0;  // permission bits
  std::uint32_t owner = 0;
  std::uint32_t group = 0;
};
NodeInfo Inspect(const std::string& path);

// The path a chain of symbolic links at the end of path leads to (path itself when it is
// no link); empty when the chain is too long or a link cannot be read.
std::string FollowLinks(const std::string& path);

// Opens an existing regular file for reading. Anything else (a FIFO, a device, a
// directory) is refused at once, without waiting for a writer.
Handle OpenForReading(const std::string& path);
// Opens an existing regular file for reading and writing in place, without truncating it.
Handle OpenForUpdate(const std::string& path);
// Opens a character device or a FIFO for writing; refuses a FIFO without a reader
// instead of waiting for one.
Handle OpenStreamForWriting(const std::string& path);

enum class CreateResult { kCreated, kExists, kFailed };
// Creates path as a new file that only its owner may read and write, never following a
// link and never opening a file that is already there.
CreateResult CreateExclusive(const std::string& path, Handle& handle);

bool Close(Handle handle);
std::int64_t SizeOf(Handle handle);  // -1 when unknown
// Reads up to size bytes at position; returns how many were read.
std::size_t ReadAt(Handle handle, std::int64_t position, std::uint8_t* dst, std::size_t size);
// Writes all of data at the handle's position; false on any failure (a full disk, a file
// size limit).
bool WriteAll(Handle handle, const std::uint8_t* data, std::size_t size);
// Writes all of data at position without moving the handle's position.
bool WriteAt(Handle handle, std::int64_t position, const std::uint8_t* data, std::size_t size);

// Copies up to count bytes from position `from` of in to the current position of out
// inside the kernel. Returns the bytes copied (fewer when in ends), -1 when the kernel
// cannot copy between these files (nothing was copied), or -2 when a write failed.
std::int64_t CopyInKernel(Handle in, std::int64_t from, Handle out, std::int64_t count);
// True when copying from position `from` to out's position `to` can go through the kernel
// without splitting its pages.
bool KernelCopyFits(std::int64_t from, std::int64_t to);

// size bytes of zeroed memory straight from the system, its pages handed out as they
// are first used; throws std::bad_alloc when refused. Give it back with FreePages and
// the same size.
void* AllocatePages(std::size_t size);
void FreePages(void* pages, std::size_t size) noexcept;
// Hands out at once the pages of [start, start + size), memory of the process's own
// (from AllocatePages or the allocator) that is about to be written: one call costs far
// less than a page fault for each page. Only a hint: it changes no byte, and nothing
// happens where the system cannot.
void PopulatePages(void* start, std::size_t size) noexcept;

// The mode a new file gets: 0666 without the bits of the process's file-creation mask.
std::uint32_t NewFileMode();
bool SetMode(Handle handle, std::uint32_t mode);
// Gives the file the owner and group; quietly does nothing where that is not allowed.
void TrySetOwner(Handle handle, std::uint32_t owner, std::uint32_t group);

bool Rename(const std::string& from, const std::string& to);
bool Remove(const std::string& path);
// Creates a new directory with the usual mode the file-creation mask allows; false when
// anything is in the way or it cannot be made.
bool MakeDirectory(const std::string& path);

// True when standard error is a terminal (where a progress line may be shown).
bool StandardErrorIsTerminal();

// The longest file name the directory's file system allows.
std::size_t MaxNameLength(const std::string& directory);
// length characters of [0-9A-Za-z] from the system's source of randomness.
std::string RandomTag(std::size_t length);

enum class LockResult { kLocked, kBusy, kFailed };
// Takes the advisory exclusive lock of the open file; with wait, waits for its holder.
LockResult LockExclusive(Handle handle, bool wait);
// True when path names the file that handle has open.
bool SameFile(Handle handle, const std::string& path);

// Temporary files being written: when the process is told to end (interrupt, terminate,
// hang-up), they are removed before it ends as the signal says. A write beyond the file
// size limit fails and is reported instead of ending the process. Returns a slot to give
// back when the file is finished, or -1 when every slot is taken.
int WatchTemporaryFile(const std::string& path);
void UnwatchTemporaryFile(int slot);

// Standard input, output and error that are closed at start: each gets a harmless stand-in
// (standard output one whose writes fail, so that they are reported), so that no file the
// program opens later takes their place.
void GuardStandardStreams();

}  // namespace pelgrin::os
