// The file layer: reads past the end, replace-by-rename writing, in-place overwrite, and
// the fault seam that the failure tests use.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <thread>

#include "io/file_faults.h"
#include "io/file_lock.h"
#include "io/files.h"
#include "io/system.h"
#include "shp/messages.h"
#include "support/test_support.h"

namespace pelgrin {
namespace {

using test::Bytes;

// Fails the chosen operation on every path, or only on the nth occurrence when nth > 0.
class OneFault : public FileFaults {
 public:
  explicit OneFault(Op op, int nth = 0) : op_(op), nth_(nth) { previous_ = SetFileFaults(this); }
  ~OneFault() override { SetFileFaults(previous_); }
  bool ShouldFail(Op op, const std::string&) override {
    return op == op_ && (nth_ == 0 || ++seen_ == nth_);
  }

 private:
  Op op_;
  int nth_;
  int seen_ = 0;
  FileFaults* previous_;
};

namespace fs = std::filesystem;

std::uint32_t ModeOf(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
  return st.st_mode & 07777;
}

// Commits two bytes over target; the result of the whole write.
AtomicFile::Result WriteTwoBytes(const std::string& target) {
  AtomicFile file;
  if (!file.Create(target)) return AtomicFile::Result::kWriteFailed;
  file.Out().Write(Bytes{7, 8});
  return file.Commit();
}

std::size_t EntriesIn(const std::string& dir) {
  std::size_t n = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir))
    ++n;
  return n;
}

TEST(InFile, ReadsPastEitherEndGiveEndOfFile) {
  test::TempDir dir;
  test::WriteFileBytes(dir.Path("f"), {1, 2, 3});
  InFile f;
  ASSERT_TRUE(f.Open(dir.Path("f")));
  EXPECT_EQ(f.Size(), 3);
  f.Seek(2);
  EXPECT_EQ(f.ReadByte(), 3);
  EXPECT_EQ(f.ReadByte(), -1);
  f.Seek(-4);
  EXPECT_EQ(f.ReadByte(), -1);
  f.Seek(1 << 30);
  std::uint8_t buf[4] = {9, 9, 9, 9};
  EXPECT_EQ(f.Read(buf), 0u);
  f.Seek(1);
  EXPECT_EQ(f.Read(buf), 2u);
  EXPECT_EQ(buf[1], 3);
  EXPECT_FALSE(f.Open(dir.Path("")));  // a directory is not a file
}

TEST(InFile, LargeReadsAcrossTheBuffer) {
  test::TempDir dir;
  Bytes big(200000);
  for (std::size_t i = 0; i < big.size(); ++i)
    big[i] = static_cast<std::uint8_t>(i * 7);
  test::WriteFileBytes(dir.Path("big"), big);
  InFile f;
  ASSERT_TRUE(f.Open(dir.Path("big")));
  EXPECT_EQ(f.ReadByte(), 0);
  Bytes got(150000);
  ASSERT_EQ(f.Read(got), got.size());
  EXPECT_TRUE(std::equal(got.begin(), got.end(), big.begin() + 1));
  EXPECT_EQ(f.Tell(), 150001);
  f.Seek(199999);
  EXPECT_EQ(f.ReadByte(), big.back());
}

TEST(AtomicFile, TargetChangesOnlyWhenEverythingSucceeded) {
  struct Case {
    const char* name;
    int fail;  // -1: none; else a FileFaults::Op
    bool created;
    AtomicFile::Result result;
  };
  using Op = FileFaults::Op;
  const Case cases[] = {
      {"no fault", -1, true, AtomicFile::Result::kOk},
      {"create fails", static_cast<int>(Op::kCreate), false, AtomicFile::Result::kWriteFailed},
      {"write fails", static_cast<int>(Op::kWrite), true, AtomicFile::Result::kWriteFailed},
      {"close fails", static_cast<int>(Op::kClose), true, AtomicFile::Result::kWriteFailed},
      {"rename fails", static_cast<int>(Op::kRename), true, AtomicFile::Result::kRenameFailed},
  };
  for (const Case& c : cases) {
    test::TempDir dir;
    const std::string target = dir.Path("t.bin");
    test::WriteFileBytes(target, {1, 2, 3});
    std::unique_ptr<OneFault> fault;
    if (c.fail >= 0) fault = std::make_unique<OneFault>(static_cast<Op>(c.fail));
    AtomicFile file;
    ASSERT_EQ(file.Create(target), c.created) << c.name;
    if (c.created) {
      file.Out().Write(Bytes{7, 8});
      EXPECT_EQ(file.Commit(), c.result) << c.name;
    }
    fault.reset();
    const bool replaced = c.created && c.result == AtomicFile::Result::kOk;
    const Bytes expected = replaced ? Bytes{7, 8} : Bytes{1, 2, 3};
    EXPECT_EQ(test::ReadFileBytes(target), expected) << c.name;
    EXPECT_EQ(EntriesIn(dir.Path()), 1u) << c.name << ": no temporary file is left";
  }
}

TEST(AtomicFile, UncommittedFileLeavesNothing) {
  test::TempDir dir;
  {
    AtomicFile file;
    ASSERT_TRUE(file.Create(dir.Path("new.bin")));
    file.Out().Write(Bytes{1});
  }
  EXPECT_EQ(EntriesIn(dir.Path()), 0u);
}

TEST(OutFile, AFailedWriteIsRememberedUntilClose) {
  test::TempDir dir;
  OneFault fault(FileFaults::Op::kWrite, 1);
  AtomicFile file;
  ASSERT_TRUE(file.Create(dir.Path("o")));
  file.Out().Write(Bytes(100000, 1));  // larger than the buffer: written at once, and fails
  file.Out().Write(Bytes{2});
  EXPECT_FALSE(file.Out().Ok());
  EXPECT_EQ(file.Commit(), AtomicFile::Result::kWriteFailed);
}

TEST(OverwriteBytes, WritesInsideTheFileOnly) {
  struct Case {
    const char* name;
    std::int64_t offset;
    OverwriteResult result;
    Bytes after;
  };
  const Case cases[] = {
      {"inside", 1, OverwriteResult::kOk, {0, 9, 9, 3}},
      {"at the end", 2, OverwriteResult::kOk, {0, 1, 9, 9}},
      {"past the end", 3, OverwriteResult::kOutsideFile, {0, 1, 2, 3}},
      {"negative", -1, OverwriteResult::kOutsideFile, {0, 1, 2, 3}},
  };
  for (const Case& c : cases) {
    test::TempDir dir;
    test::WriteFileBytes(dir.Path("f"), {0, 1, 2, 3});
    EXPECT_EQ(OverwriteBytes(dir.Path("f"), c.offset, Bytes{9, 9}), c.result) << c.name;
    EXPECT_EQ(test::ReadFileBytes(dir.Path("f")), c.after) << c.name;
  }
  test::TempDir dir;
  EXPECT_EQ(OverwriteBytes(dir.Path("missing"), 0, Bytes{1}), OverwriteResult::kOpenFailed);
}

TEST(InFile, RefusesWhatIsNoRegularFileWithoutWaiting) {
  test::TempDir dir;
  ASSERT_EQ(::mkfifo(dir.Path("fifo").c_str(), 0600), 0);
  fs::create_directory(dir.Path("folder"));
  for (const std::string& path : {dir.Path("fifo"), dir.Path("folder"), std::string("/dev/null")}) {
    InFile f;
    EXPECT_FALSE(f.Open(path)) << path;  // a FIFO without a writer would block a plain open
  }
}

TEST(AtomicFile, TheNewFileTakesTheModeOfTheFileItReplaces) {
  struct Case {
    const char* name;
    int existing;  // -1: no file yet
    mode_t mask;
    std::uint32_t mode;
  };
  const Case cases[] = {
      {"private archive", 0600, 022, 0600},
      {"shared archive", 0644, 077, 0644},
      {"odd bits", 0751, 022, 0751},
      {"new file, usual mask", -1, 022, 0644},
      {"new file, private mask", -1, 077, 0600},
  };
  for (const Case& c : cases) {
    test::TempDir dir;
    const std::string target = dir.Path("a.shp");
    if (c.existing >= 0) {
      test::WriteFileBytes(target, {1});
      ::chmod(target.c_str(), static_cast<mode_t>(c.existing));
    }
    const mode_t old_mask = ::umask(c.mask);
    EXPECT_EQ(WriteTwoBytes(target), AtomicFile::Result::kOk) << c.name;
    ::umask(old_mask);
    EXPECT_EQ(ModeOf(target), c.mode) << c.name;
  }
}

TEST(AtomicFile, WritesThroughLinksAndIntoStreamsWithoutReplacingThem) {
  test::TempDir dir;
  test::WriteFileBytes(dir.Path("real.shp"), {1, 2, 3});
  fs::create_symlink("real.shp", dir.Path("link.shp"));
  fs::create_symlink(dir.Path("link.shp"), dir.Path("link2.shp"));
  fs::create_symlink("nowhere.shp", dir.Path("dangling.shp"));
  fs::create_directory(dir.Path("folder"));
  ASSERT_EQ(::mkfifo(dir.Path("fifo").c_str(), 0600), 0);

  EXPECT_EQ(WriteTwoBytes(dir.Path("link2.shp")), AtomicFile::Result::kOk);
  EXPECT_TRUE(fs::is_symlink(dir.Path("link.shp")) && fs::is_symlink(dir.Path("link2.shp")));
  EXPECT_EQ(test::ReadFileBytes(dir.Path("real.shp")), (Bytes{7, 8}));
  // As a copy would, a dangling link is not written through; nor is a folder.
  EXPECT_NE(WriteTwoBytes(dir.Path("dangling.shp")), AtomicFile::Result::kOk);
  EXPECT_FALSE(fs::exists(dir.Path("nowhere.shp")));
  EXPECT_NE(WriteTwoBytes(dir.Path("folder")), AtomicFile::Result::kOk);
  // A FIFO without a reader is refused at once; with one, the bytes flow through it.
  EXPECT_NE(WriteTwoBytes(dir.Path("fifo")), AtomicFile::Result::kOk);
  std::string received;
  std::thread reader([&] {
    std::ifstream in(dir.Path("fifo"), std::ios::binary);
    received.assign(std::istreambuf_iterator<char>(in), {});
  });
  AtomicFile::Result result = AtomicFile::Result::kWriteFailed;
  for (int attempt = 0; attempt < 500 && result != AtomicFile::Result::kOk; ++attempt) {
    result = WriteTwoBytes(dir.Path("fifo"));  // until the reader has opened its end
    if (result != AtomicFile::Result::kOk)
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  reader.join();
  EXPECT_EQ(result, AtomicFile::Result::kOk);
  EXPECT_EQ(received, "\x07\x08");
  EXPECT_TRUE(fs::is_fifo(dir.Path("fifo")));
  EXPECT_EQ(EntriesIn(dir.Path()), 6u) << "no temporary file is left";
}

TEST(AtomicFile, NamesUpToTheFileSystemLimit) {
  const std::string two_byte_letter = "\xC3\xA9";
  for (const std::string& name : {std::string(1, 'a'), std::string(243, 'a'), std::string(244, 'a'),
                                  std::string(255, 'a'), std::string(251, 'a') + two_byte_letter}) {
    test::TempDir dir;
    EXPECT_EQ(WriteTwoBytes(dir.Path(name)), AtomicFile::Result::kOk) << name.size();
    EXPECT_EQ(EntriesIn(dir.Path()), 1u) << name.size();
  }
}

TEST(AtomicFile, TheTemporaryFileIsNewPrivateAndNeverALink) {
  test::TempDir dir;
  test::WriteFileBytes(dir.Path("victim"), {1});
  fs::create_symlink(dir.Path("victim"), dir.Path("planted"));
  os::Handle h = os::kNoHandle;
  EXPECT_EQ(os::CreateExclusive(dir.Path("planted"), h), os::CreateResult::kExists);
  EXPECT_EQ(test::ReadFileBytes(dir.Path("victim")), Bytes{1});

  AtomicFile first;
  AtomicFile second;
  ASSERT_TRUE(first.Create(dir.Path("out.bmp")) && second.Create(dir.Path("out.bmp")));
  std::vector<std::string> temporaries;
  for (const auto& e : fs::directory_iterator(dir.Path())) {
    if (e.path().filename().string().starts_with("out.bmp.")) {
      temporaries.push_back(e.path().string());
      EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(e.path())));
      EXPECT_EQ(ModeOf(e.path().string()), 0600u);
    }
  }
  EXPECT_EQ(temporaries.size(), 2u) << "two writers of one target never share a file";
}

// Run in a child process: starts writing a temporary file, then gets the signal.
[[noreturn]] void WriteAndGetSignal(const std::string& target, int sig) {
  AtomicFile file;
  if (!file.Create(target)) std::_Exit(2);
  file.Out().Write(Bytes(300000, 1));
  std::raise(sig);
  std::_Exit(3);
}

// Run in a child process: writes past a file size limit; exits 7 when the write failed.
[[noreturn]] void WriteBeyondTheSizeLimit(const std::string& target) {
  const rlimit limit{8192, 8192};
  ::setrlimit(RLIMIT_FSIZE, &limit);
  AtomicFile file;
  if (!file.Create(target)) std::_Exit(2);
  file.Out().Write(Bytes(300000, 1));
  std::_Exit(file.Commit() == AtomicFile::Result::kWriteFailed ? 7 : 8);
}

TEST(AtomicFileDeathTest, AnEndingSignalRemovesTheTemporaryFile) {
  for (const int sig : {SIGINT, SIGTERM, SIGHUP}) {
    test::TempDir dir;
    EXPECT_EXIT(WriteAndGetSignal(dir.Path("big.shp"), sig), testing::KilledBySignal(sig), "")
        << sig;
    EXPECT_EQ(EntriesIn(dir.Path()), 0u) << sig;
  }
}

TEST(AtomicFileDeathTest, AWriteBeyondTheFileSizeLimitIsAFailureNotAnEnd) {
  test::TempDir dir;
  EXPECT_EXIT(WriteBeyondTheSizeLimit(dir.Path("big.shp")), testing::ExitedWithCode(7), "");
  EXPECT_EQ(EntriesIn(dir.Path()), 0u);
}

TEST(FileLock, ASecondWriterWaitsAndThenLocksTheFileThatTookThePlace) {
  test::TempDir dir;
  const std::string path = dir.Path("a.shp");
  test::WriteFileBytes(path, {1});
  FileLock first;
  ASSERT_EQ(first.Lock(path, true), FileLock::Result::kLocked);
  FileLock busy;
  EXPECT_EQ(busy.Lock(path, false), FileLock::Result::kBusy);
  EXPECT_EQ(busy.Lock(dir.Path("missing"), false), FileLock::Result::kMissing);
  // The editor does not wait: it says the archive is busy.
  test::RecordingReporter reporter;
  EXPECT_FALSE(LockArchive(busy, path, false, reporter));
  EXPECT_EQ(reporter.errors, std::vector<std::string>{path + " is being changed by another "
                                                             "program; try again when it has "
                                                             "finished."});

  FileLock second;
  std::thread waiter([&] { EXPECT_EQ(second.Lock(path, true), FileLock::Result::kLocked); });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  ASSERT_EQ(WriteTwoBytes(path), AtomicFile::Result::kOk);  // the first writer's new content
  first.Unlock();
  waiter.join();
  // The waiter holds the new file: a third writer finds it busy, not the old one free.
  EXPECT_EQ(busy.Lock(path, false), FileLock::Result::kBusy);
  second.Unlock();
  EXPECT_EQ(busy.Lock(path, false), FileLock::Result::kLocked);
}

TEST(TextLineReader, LongLinesComeInPieces) {
  test::TempDir dir;
  test::WriteFileText(dir.Path("t"), std::string(7, 'a') + "\nb\r\nlast");
  InFile f;
  ASSERT_TRUE(f.Open(dir.Path("t")));
  TextLineReader reader(f);
  std::string line;
  std::vector<std::string> lines;
  while (reader.ReadLine(5, line))
    lines.push_back(line);
  EXPECT_EQ(lines, (std::vector<std::string>{"aaaa", "aaa\n", "b\r\n", "last"}));
}

}  // namespace
}  // namespace pelgrin
