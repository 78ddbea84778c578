// pelgrin-cli list and export-all.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "io/files.h"
#include "picture/bmp_file.h"
#include "shp/archive_builder.h"
#include "support/test_support.h"

namespace pelgrin {
namespace {

class CliListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ArchiveImage plain;
    plain.record = test::Record(test::Header(3, 2, 0, 0, 2, 1), {7, 20, 21, 22, 0, 3, 23, 0});
    plain.has_palette = true;
    plain.palette = {{20, 1, 2, 3}};
    ArchiveImage shifted;
    ImageHeader h = test::Header(2, 1, -1, 0, 1, 0);
    h.OffsWord = static_cast<std::int32_t>(0xFFFF0005u);
    shifted.record = test::Record(h, {3, 24, 0});
    ArchiveImage absent;
    absent.record = test::Record(test::Header(2, 1, 700, 0, 1, 0), {0});
    ArchiveImage shared;
    shared.same_as = 0;
    test::WriteFileBytes(shp_, BuildArchive({plain, shifted, absent, shared}));
  }

  test::TempDir dir_;
  std::string shp_ = dir_.Path("units.shp");
};

TEST_F(CliListTest, ListShowsEveryEntry) {
  const auto r = test::RunCli({"list", shp_});
  ASSERT_EQ(r.status, 0) << r.err;
  const auto lines = test::Lines(r.out);
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0],
            "    #  image at palette at  width height    left     top   right  bottom x offs y offs"
            "  note");
  // Records: index ends at 40; image 1 is 32 bytes, its palette record 8; image 2 27.
  EXPECT_EQ(
      lines[1],
      "    1        40         72      3      2       0       0       2       1      0      0");
  EXPECT_EQ(lines[2],
            "    2        80          -      2      1      -1       0       1       0      5     -1"
            "  Problem??");
  EXPECT_NE(lines[3].find("no image"), std::string::npos);
  EXPECT_NE(lines[4].find("same as #1"), std::string::npos);
}

TEST_F(CliListTest, ExportAllSkipsEntriesWithoutImage) {
  const std::string out = dir_.Path("all");
  const auto r = test::RunCli({"export-all", shp_, out});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "cols 3, lines 2\n#2 Problem??\ncols 1, lines 1\nNo image #3\ncols 3, lines 2\n");
  EXPECT_TRUE(FileExists(out + "/0001.bmp"));
  EXPECT_TRUE(FileExists(out + "/0002.bmp"));
  EXPECT_FALSE(FileExists(out + "/0003.bmp"));
  auto ws = std::make_unique<WorkState>();
  ASSERT_EQ(ReadBmpFile(*ws, out + "/0004.bmp"), BmpReadResult::kOk);
  EXPECT_EQ(BmpPixel(*ws, 0, 0), (Rgb{4, 8, 12}));  // its own (shared) palette
}

// An image too large to write is skipped with a message; a failed write ends the run.
TEST_F(CliListTest, ExportAllSkipsFramesTooLargeAndStopsAtAFailedWrite) {
  ArchiveImage wide;
  wide.record = test::Record(test::Header(900, 1, 0, 0, 0, 0), {3, 9, 0});
  ArchiveImage small;
  small.record = test::Record(test::Header(1, 1, 0, 0, 0, 0), {3, 9, 0});
  const std::string shp = dir_.Path("wide.shp");
  test::WriteFileBytes(shp, BuildArchive({wide, small}));
  const std::string out = dir_.Path("all");
  auto r = test::RunCli({"export-all", shp, out});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err,
            "Image #1 is 900 x 1 pixels, larger than the 839 x 649 a picture can hold: "
            "nothing was written to " +
                out + "/0001.bmp.\n");
  EXPECT_FALSE(FileExists(out + "/0001.bmp"));
  EXPECT_TRUE(FileExists(out + "/0002.bmp"));

  const std::string blocked = dir_.Path("blocked");
  std::filesystem::create_directories(FsPath(blocked + "/0001.bmp"));  // cannot be replaced
  r = test::RunCli({"export-all", shp_, blocked});
  EXPECT_EQ(r.status, 1);
  EXPECT_FALSE(FileExists(blocked + "/0002.bmp"));
}

TEST_F(CliListTest, ExportAllRefusesAFolderItCannotMake) {
  test::WriteFileText(dir_.Path("plain"), "a file, not a folder");
  const std::string out = dir_.Path("plain") + "/bmps";
  const auto r = test::RunCli({"export-all", shp_, out});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "Could not create folder " + out + ".\n");
}

TEST_F(CliListTest, MissingArchiveFails) {
  for (const char* verb : {"list", "export-all"}) {
    std::vector<std::string> args = {verb, dir_.Path("none.shp")};
    if (std::string(verb) == "export-all") args.push_back(dir_.Path("o"));
    const auto r = test::RunCli(args);
    EXPECT_EQ(r.status, 1) << verb;
    EXPECT_EQ(r.err, "Could not open file " + dir_.Path("none.shp") + ".\n") << verb;
  }
}

}  // namespace
}  // namespace pelgrin
