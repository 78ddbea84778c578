// pelgrin-cli collage, palette, header and set-header, end to end.
#include <gtest/gtest.h>

#include <memory>

#include "io/files.h"
#include "picture/bmp_file.h"
#include "shp/archive_builder.h"
#include "support/test_support.h"

namespace pelgrin {
namespace {

using test::Bytes;

class CliToolsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ArchiveImage plain;  // 3 x 2, measured 3 x 2
    plain.record = test::Record(test::Header(3, 2, 0, 0, 2, 1), {7, 20, 21, 22, 0, 1, 2, 3, 23, 0});
    ArchiveImage absent;
    absent.record = test::Record(test::Header(2, 1, 700, 0, 1, 0), {0});
    ArchiveImage shifted;  // Left -1, Top -2; X Offs 7, Y Offs -2
    ImageHeader h = test::Header(4, 3, -1, -2, 1, 0);
    h.OffsWord = static_cast<std::int32_t>(0xFFFE0007u);
    shifted.record = test::Record(h, {5, 24, 25, 0});
    test::WriteFileBytes(shp_, BuildArchive({plain, absent, shifted}));
  }

  // Reads a written bitmap; fails the test unless it is the whole 810 x 630 view.
  std::unique_ptr<WorkState> ReadView(const std::string& path) {
    auto ws = std::make_unique<WorkState>();
    EXPECT_EQ(ReadBmpFile(*ws, path), BmpReadResult::kOk);
    EXPECT_EQ(ws->BmpHeader.biWidth, 810);
    EXPECT_EQ(ws->BmpHeader.biHeight, 630);
    return ws;
  }

  test::TempDir dir_;
  std::string shp_ = dir_.Path("units.shp");
  const Rgb kAquaRgb{0, 255, 255};
};

TEST_F(CliToolsTest, CollageSavesTheView) {
  const auto r = test::RunCli({"collage", shp_, "1", dir_.Path("c.bmp")});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "No image #2\nLast #3\n");
  const auto view = ReadView(dir_.Path("c.bmp"));
  EXPECT_EQ(BmpPixel(*view, 0, 0), DefaultPalette[20]);
  EXPECT_EQ(BmpPixel(*view, 0, 1), BackColor);
  EXPECT_EQ(BmpPixel(*view, 3, 0), kAquaRgb);
  // The rejected image takes no cell: image 3 follows image 1, its lines from the cell's
  // corner (negative Left and Top).
  EXPECT_EQ(BmpPixel(*view, 4, 0), DefaultPalette[24]);
  EXPECT_EQ(BmpPixel(*view, 5, 0), DefaultPalette[25]);
  EXPECT_EQ(BmpPixel(*view, 4, 1), BackColor);
  EXPECT_EQ(BmpPixel(*view, 809, 629), kAquaRgb);
}

TEST_F(CliToolsTest, CollageWithPaletteFromLaterImage) {
  test::WriteFileText(dir_.Path("p.pal"), "x\ny\n25\n" + std::string(24, '\n') + "1 2 3\n");
  const auto r = test::RunCli(
      {"collage", shp_, "3", dir_.Path("c.bmp"), "--palette", dir_.Path("p.pal"), "--full-pal"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "Last #3\n");
  EXPECT_EQ(BmpPixel(*ReadView(dir_.Path("c.bmp")), 0, 0), (Rgb{1, 2, 3}));
}

TEST_F(CliToolsTest, PaletteSavesTheGrid) {
  test::WriteFileText(dir_.Path("p.pal"), "x\ny\n3\n9 9 9\n0 0 0\n70 80 90\n");
  struct Case {
    std::vector<std::string> extra;
    Rgb cell0, cell1;
  };
  const Case cases[] = {
      {{}, DefaultPalette[0], DefaultPalette[1]},
      {{"--palette", dir_.Path("p.pal")}, {9, 9, 9}, {70, 80, 90}},  // black entry 1 skipped
  };
  for (const Case& c : cases) {
    std::vector<std::string> args{"palette", dir_.Path("p.bmp")};
    args.insert(args.end(), c.extra.begin(), c.extra.end());
    const auto r = test::RunCli(args);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    const auto view = ReadView(dir_.Path("p.bmp"));
    EXPECT_EQ(BmpPixel(*view, 61, 30), c.cell0);
    EXPECT_EQ(BmpPixel(*view, 62, 0), c.cell1);
    EXPECT_EQ(BmpPixel(*view, 806, 0), kAquaRgb);
  }
}

TEST_F(CliToolsTest, HeaderPrintsShowAndFields) {
  struct Case {
    std::string number;
    int status;
    std::string out;
    std::string err = "";
  };
  const Case cases[] = {
      {"1", 0,
       "cols 3, lines 2\nOld: 1 2 0 0 0 0 2 1\nNew: 1 2 0 0 0 0 2 1\nWidth: 3\nHeight: 2\n"},
      // Image 3 is the last: decoding runs to the end of the file.
      {"3", 0,
       "#3 KV Icon\ncols 2, lines 1\nOld: 2 3 7 -2 -1 -2 1 0\nNew: 2 3 7 -2 -1 -2 0 -2\n"
       "Width: 2\nHeight: 1\n"},
      {"2", 1, "No image #2\n"},  // absent: a log line only
      {"4", 1, "No image #4\n", "No image #4: image numbers run from 1 to 3.\n"},
      {"-4", 1, "No image #-4\n", "No image #-4: image numbers run from 1 to 3.\n"},
  };
  for (const Case& c : cases) {
    const auto r = test::RunCli({"header", shp_, c.number});
    EXPECT_EQ(r.status, c.status) << c.number;
    EXPECT_EQ(r.out, c.out) << c.number;
    EXPECT_EQ(r.err, c.err) << c.number;
  }
}

TEST_F(CliToolsTest, SetHeaderRewritesTwentyFourBytes) {
  const Bytes before = test::ReadFileBytes(shp_);
  const auto r =
      test::RunCli({"set-header", shp_, "3", "0", "0", "70000", "-1", "-5", "-3", "10", "10"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out + r.err, "");
  // Image 3 is the last record: its 24-byte header and 4 bytes of pixel data.
  Bytes expected = before;
  const Bytes header = {0,    0,    0,    0,    0x70, 0x11, 0xFF, 0xFF, 0xFB, 0xFF, 0xFF, 0xFF,
                        0xFD, 0xFF, 0xFF, 0xFF, 10,   0,    0,    0,    10,   0,    0,    0};
  std::copy(header.begin(), header.end(), expected.end() - 28);
  EXPECT_EQ(test::ReadFileBytes(shp_), expected);
  const auto shown = test::RunCli({"header", shp_, "3"});
  EXPECT_EQ(test::Lines(shown.out).at(2), "Old: 0 0 4464 -1 -5 -3 10 10");
}

TEST_F(CliToolsTest, SetHeaderRefusals) {
  const Bytes before = test::ReadFileBytes(shp_);
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string err;
  };
  const std::vector<std::string> zeros(8, "0");
  auto with = [&](std::vector<std::string> head, std::vector<std::string> fields) {
    head.insert(head.end(), fields.begin(), fields.end());
    return head;
  };
  const Case cases[] = {
      {with({"set-header", shp_, "4"}, zeros), 1,
       "No image #4 in file " + shp_ + ", nothing written.\n"},
      {with({"set-header", shp_, "0"}, zeros), 1,
       "No image #0 in file " + shp_ + ", nothing written.\n"},
      {with({"set-header", shp_, "1"}, {"0", "0", "0", "0", "x", "0", "0", "0"}), 1,
       "'x' is not a valid integer value\n"},
      {with({"set-header", shp_, "1"}, {"0", "0", "0", "0", "0", "0", "0", "2147483648"}), 1,
       "'2147483648' is not a valid integer value\n"},
      {with({"set-header", dir_.Path("none.shp"), "1"}, zeros), 1,
       "Could not open file " + dir_.Path("none.shp") + ".\n"},
  };
  for (const Case& c : cases) {
    const auto r = test::RunCli(c.args);
    EXPECT_EQ(r.status, c.status) << c.args[2];
    EXPECT_EQ(r.err, c.err) << c.args[2];
    EXPECT_EQ(test::ReadFileBytes(shp_), before) << c.args[2];
  }
  EXPECT_FALSE(FileExists(dir_.Path("none.shp")));
}

TEST_F(CliToolsTest, RefusedViewsWriteNothing) {
  const std::string bmp = dir_.Path("x.bmp");
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string err = "";  // checked when not empty
  };
  const Case cases[] = {
      {{"collage", shp_, "4", bmp}, 1, "No image #4: image numbers run from 1 to 3.\n"},
      {{"collage", shp_, "0", bmp}, 1, "No image #0: image numbers run from 1 to 3.\n"},
      {{"collage", dir_.Path("none.shp"), "1", bmp}, 1},
      {{"palette", bmp, "--palette", dir_.Path("none.pal")}, 1},
      {{"palette", bmp, "--full-pal"}, 2},
      {{"set-header", shp_, "1", "0", "0"}, 2},
  };
  for (const Case& c : cases) {
    const auto r = test::RunCli(c.args);
    EXPECT_EQ(r.status, c.status) << c.args[0] << " " << c.args[1];
    if (!c.err.empty()) {
      EXPECT_EQ(r.err, c.err) << c.args[0] << " " << c.args[2];
    }
    EXPECT_FALSE(FileExists(bmp)) << c.args[0] << " " << c.args[1];
  }
}

}  // namespace
}  // namespace pelgrin
