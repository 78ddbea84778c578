// The file layer: reads past the end, replace-by-rename writing, in-place overwrite, and
// the fault seam that the failure tests use.
#include <gtest/gtest.h>

#include <filesystem>

#include "io/file_faults.h"
#include "io/files.h"
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
  OutFile out;
  ASSERT_TRUE(out.Create(dir.Path("o")));
  out.Write(Bytes(100000, 1));  // larger than the buffer: written at once, and fails
  out.Write(Bytes{2});
  EXPECT_FALSE(out.Ok());
  EXPECT_FALSE(out.Close());
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
