// pelgrin-cli info and export, end to end.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <memory>

#include "io/byte_order.h"
#include "io/files.h"
#include "picture/bmp_file.h"
#include "shp/archive_builder.h"
#include "support/test_support.h"

namespace pelgrin {
namespace {

using test::Bytes;

class CliViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ArchiveImage plain;
    plain.record = test::Record(test::Header(3, 2, 0, 0, 2, 1), {7, 20, 21, 22, 0, 1, 2, 3, 23, 0});
    ArchiveImage shifted;
    shifted.record = test::Record(test::Header(2, 1, -1, 0, 1, 0), {3, 24, 0});
    ArchiveImage absent;
    absent.record = test::Record(test::Header(2, 1, 700, 0, 1, 0), {0});
    test::WriteFileBytes(shp_, BuildArchive({plain, shifted, absent}));
  }

  test::TempDir dir_;
  std::string shp_ = dir_.Path("units.shp");
};

TEST_F(CliViewTest, InfoPrintsTheLoadLog) {
  const auto r = test::RunCli({"info", shp_});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "units.shp\n3 Icons\n1 Max Height\n2 Max Width\n");
  EXPECT_EQ(r.err, "");
}

TEST_F(CliViewTest, InfoOfARefusedOrMissingFileFails) {
  Bytes big(8, 0);
  PutLE32(&big[4], 12000);
  test::WriteFileBytes(dir_.Path("big.shp"), big);
  auto r = test::RunCli({"info", dir_.Path("big.shp")});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "big.shp\n12000 icons exceeds\n10000 maximum\n");
  r = test::RunCli({"info", dir_.Path("none.shp")});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Could not open file " + dir_.Path("none.shp") + ".\n");
}

TEST_F(CliViewTest, ExportWritesTheShownImage) {
  const auto r = test::RunCli({"export", shp_, "1", dir_.Path("one.bmp")});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "cols 3, lines 2\n");
  auto ws = std::make_unique<WorkState>();
  ASSERT_EQ(ReadBmpFile(*ws, dir_.Path("one.bmp")), BmpReadResult::kOk);
  EXPECT_EQ(BmpPixel(*ws, 0, 0), DefaultPalette[20]);
  EXPECT_EQ(BmpPixel(*ws, 2, 1), DefaultPalette[23]);
  EXPECT_EQ(BmpPixel(*ws, 0, 1), BackColor);
}

TEST_F(CliViewTest, ExportWithPaletteAndProblemLine) {
  test::WriteFileText(dir_.Path("p.pal"), "x\ny\n25\n" + std::string(24, '\n') + "1 2 3\n");
  // Lines 4..27 are empty: only entry 24 is set.
  const auto r = test::RunCli(
      {"export", shp_, "2", dir_.Path("two.bmp"), "--palette", dir_.Path("p.pal"), "--full-pal"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "#2 Problem??\ncols 1, lines 1\n");
  auto ws = std::make_unique<WorkState>();
  ASSERT_EQ(ReadBmpFile(*ws, dir_.Path("two.bmp")), BmpReadResult::kOk);
  EXPECT_EQ(BmpPixel(*ws, 0, 0), (Rgb{1, 2, 3}));
}

TEST_F(CliViewTest, FailuresExitOneAndWriteNothing) {
  struct Case {
    std::vector<std::string> args;
    std::string out;
    std::string err;
  };
  const std::string bmp = dir_.Path("x.bmp");
  // A frame of 2000 x 700 pixels whose only pixel lies in the raster: writing it would be
  // a 4 MB bitmap of background.
  ArchiveImage wide;
  wide.record = test::Record(test::Header(2000, 700, 0, 0, 0, 0), {3, 9, 0});
  test::WriteFileBytes(dir_.Path("wide.shp"), BuildArchive({wide}));
  const std::string too_large =
      "Image #1 is 2000 x 700 pixels, larger than the 839 x 649 a "
      "picture can hold: nothing was written to ";
  const Case cases[] = {
      {{"export", shp_, "3", bmp}, "No image #3\n", ""},
      {{"export", shp_, "4", bmp},
       "No image #4\n",
       "No image #4: image numbers run from 1 to 3.\n"},
      {{"export", shp_, "-1", bmp},
       "No image #-1\n",
       "No image #-1: image numbers run from 1 to 3.\n"},
      {{"export", dir_.Path("wide.shp"), "1", bmp}, "cols 1, lines 1\n", too_large + bmp + ".\n"},
      {{"export", dir_.Path("wide.shp"), "1", dir_.Path("x.png")},
       "cols 1, lines 1\n",
       too_large + dir_.Path("x.png") + ".\n"},
      {{"export", shp_, "1", bmp, "--palette", dir_.Path("none.pal")},
       "",
       "Could not open file " + dir_.Path("none.pal") + ".\n"},
  };
  for (const Case& c : cases) {
    const auto r = test::RunCli(c.args);
    EXPECT_EQ(r.status, 1) << c.args[2];
    EXPECT_EQ(r.out, c.out) << c.args[2];
    EXPECT_EQ(r.err, c.err) << c.args[2];
    EXPECT_FALSE(FileExists(bmp)) << c.args[2];
    EXPECT_FALSE(FileExists(dir_.Path("x.png"))) << c.args[2];
  }
}

TEST_F(CliViewTest, InputsThatAreNoFilesAndOutputThatCannotBeWrittenFail) {
  const std::string fifo = dir_.Path("fifo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string out = dir_.Path("out.bmp");
  struct Case {
    std::vector<std::string> args;
    std::string stdout_to;
  };
  const Case cases[] = {
      {{"info", fifo}, ""},
      {{"export", shp_, "1", out, "--palette", fifo}, ""},
      {{"convert", fifo, dir_.Path("o.sdf")}, ""},
      {{"replace", shp_, "1", fifo, "--out", out}, ""},
      {{"transfer", fifo, dir_.Path()}, ""},
      {{"info", shp_}, ">/dev/full"},
      {{"info", shp_}, ">&-"},
      {{"list", shp_}, ">/dev/full"},
      {{"header", shp_, "1"}, ">&-"},
      {{"info", "--help"}, ">/dev/full"},
  };
  for (const Case& c : cases) {
    const auto r = test::RunCli(c.args, c.stdout_to);
    EXPECT_EQ(r.status, 1) << c.args[0] << " " << c.args[1] << " " << c.stdout_to;
    EXPECT_NE(r.err, "") << c.args[0] << " " << c.args[1] << " " << c.stdout_to;
    EXPECT_FALSE(FileExists(out)) << c.args[0];
  }
}

TEST_F(CliViewTest, ImageNumbersAreDecimal) {
  auto r = test::RunCli({"export", shp_, "0002", dir_.Path("two.bmp")});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "#2 Problem??\ncols 1, lines 1\n");
  r = test::RunCli({"export", shp_, "010", dir_.Path("ten.bmp")});  // not octal 8
  EXPECT_EQ(r.out, "No image #10\n");
}

TEST_F(CliViewTest, WrongUsageExitsTwo) {
  for (const auto& args : std::vector<std::vector<std::string>>{{},
                                                                {"info"},
                                                                {"export", shp_, "x", "o.bmp"},
                                                                {"export", shp_, "0x01", "o.bmp"},
                                                                {"export", shp_, "1e0", "o.bmp"},
                                                                {"frobnicate"},
                                                                {"info", shp_, "--bogus"}}) {
    const auto r = test::RunCli(args);
    EXPECT_EQ(r.status, 2) << (args.empty() ? "" : args[0]);
    EXPECT_FALSE(r.err.empty());
  }
}

TEST_F(CliViewTest, VersionNeedsNoVerb) {
  const auto r = test::RunCli({"--version"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "Pelgrin 0.50-qm\n");
}

}  // namespace
}  // namespace pelgrin
