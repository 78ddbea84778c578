// The header fix window's Show and Write: log lines, fields, measuring decoder and the
// in-place rewrite of 24 bytes.
#include <gtest/gtest.h>

#include <memory>

#include "headerfix/header_fix.h"
#include "headerfix/mag_view.h"
#include "io/byte_order.h"
#include "io/files.h"
#include "shp/archive_builder.h"
#include "shp/load_shp.h"
#include "shp/show.h"
#include "support/test_support.h"

namespace pelgrin {
namespace {

using test::Bytes;

ArchiveImage Image(const ImageHeader& h, const Bytes& data) {
  ArchiveImage image;
  image.record = test::Record(h, data);
  return image;
}

class HeaderFixTest : public ::testing::Test {
 protected:
  void Open(const std::vector<ArchiveImage>& images, const Bytes& trailer = {}) {
    Bytes bytes = BuildArchive(images);
    bytes.insert(bytes.end(), trailer.begin(), trailer.end());
    test::WriteFileBytes(path_, bytes);
    ASSERT_EQ(LoadShp(*ws_, path_, reporter_), LoadShpResult::kLoaded);
    reporter_.log.clear();
  }
  HeaderShowResult Show(int number) { return HeaderFixShow(*ws_, number, false, mag_, reporter_); }

  test::TempDir dir_;
  std::string path_ = dir_.Path("kv.shp");
  std::unique_ptr<WorkState> ws_ = std::make_unique<WorkState>();
  test::RecordingReporter reporter_;
  Surface mag_{kMagWidth, kMagHeight};
};

// Two lines: eight pixels of 9, then a skip of 2 and one pixel of 9 (measured: 8 x 2).
const Bytes kTwoLines = {16, 9, 0, 1, 2, 3, 9, 0};

TEST_F(HeaderFixTest, NegativeLeftAndTopShowAtTheirGuides) {
  ImageHeader h = test::Header(12, 6, -5, -3, 30, 40);
  h.OffsWord = static_cast<std::int32_t>(0xFFFF0005u);  // X Offs 5, Y Offs -1
  Open({Image(h, kTwoLines)});
  const HeaderShowResult r = Show(1);
  ASSERT_EQ(r.status, HeaderShowStatus::kShown);
  EXPECT_EQ(reporter_.log, (std::vector<std::string>{"#1 KV Icon", "cols 8, lines 2"}));
  EXPECT_EQ(r.old_fields, (HeaderFields{5, 11, 5, -1, -5, -3, 30, 40}));
  // Right = 8 - |-5| - 1, Bottom = 2 - |-3| - 1.
  EXPECT_EQ(r.new_fields, (HeaderFields{5, 11, 5, -1, -5, -3, 2, -2}));
  EXPECT_EQ(r.x_position, -5);
  EXPECT_EQ(r.y_position, -3);
  EXPECT_EQ(r.width, 8);
  EXPECT_EQ(r.height, 2);
  // Guides through the middle of column 5 and row 3; lines start at the corner.
  EXPECT_EQ(mag_.GetPixel(16, 300), kAqua);
  EXPECT_EQ(mag_.GetPixel(300, 10), kAqua);
  EXPECT_EQ(mag_.GetPixel(15, 0), PackRGB(DefaultPalette[9]));
  EXPECT_EQ(mag_.GetPixel(0, 3), PackRGB(BackColor));
  EXPECT_EQ(mag_.GetPixel(8, 5), PackRGB(DefaultPalette[9]));
  EXPECT_EQ(mag_.GetPixel(36, 0), kSilver);  // beyond the frame's 12 columns
}

TEST_F(HeaderFixTest, RefusedImagesLeaveThePictureSilver) {
  Open({Image(test::Header(2, 2, -150, 0, 0, 0), {3, 4, 0}),
        Image(test::Header(2, 2, 0, 482, 0, 0), {3, 4, 0})});
  for (int n : {1, 2, 0, 3, -2147483647 - 1}) {
    mag_.Fill(0);
    reporter_.log.clear();
    EXPECT_EQ(Show(n).status, HeaderShowStatus::kNoImage);
    EXPECT_EQ(reporter_.log, std::vector<std::string>{"No image #" + std::to_string(n)});
    EXPECT_EQ(mag_.GetPixel(0, 0), kSilver);
  }
}

TEST_F(HeaderFixTest, UnopenableFileIsAnError) {
  EXPECT_EQ(Show(1).status, HeaderShowStatus::kOpenFailed);
  EXPECT_EQ(reporter_.errors, std::vector<std::string>{"Could not open file "});
}

TEST_F(HeaderFixTest, DecodingRunsUpToTheNextImage) {
  // One line, one pixel; the header claims a single line.
  const ImageHeader h = test::Header(4, 4, 0, 0, 0, 0);
  ArchiveImage with_palette = Image(h, {3, 5, 0});
  with_palette.has_palette = true;
  // Record bytes 1 0 0 0 | 20 1 2 3: skip 0, end of line twice, ten pixels of 1, one of 3.
  with_palette.palette = {{20, 1, 2, 3}};
  struct Case {
    const char* name;
    std::vector<ArchiveImage> images;
    Bytes trailer;
    int number;
    std::int32_t width, height;
  };
  const Case cases[] = {
      {"plain image", {Image(h, {3, 5, 0}), Image(h, {0})}, {}, 1, 1, 1},
      {"its palette record counts as codes", {with_palette, Image(h, {0})}, {}, 1, 11, 3},
      {"the last image runs to the end of the file", {Image(h, {3, 5, 0})}, {0, 6, 4, 0}, 1, 3, 3},
      {"a line wider than the raster is measured, not stored",
       {Image(h, {254, 7, 254, 7, 254, 7, 254, 7, 254, 7, 254, 7, 254, 7, 0})},
       {},
       1,
       889,
       1},
  };
  for (const Case& c : cases) {
    Open(c.images, c.trailer);
    const HeaderShowResult r = Show(c.number);
    ASSERT_EQ(r.status, HeaderShowStatus::kShown) << c.name;
    EXPECT_EQ(r.width, c.width) << c.name;
    EXPECT_EQ(r.height, c.height) << c.name;
    EXPECT_EQ(r.new_fields[kRight], c.width - 1) << c.name;
    EXPECT_EQ(r.new_fields[kBottom], c.height - 1) << c.name;
  }
  EXPECT_EQ(test::RasterByte(*ws_, 838, 0), 7);
}

TEST_F(HeaderFixTest, FramesLargerThanPictureAndRasterAreClipped) {
  ImageHeader h = test::Header(1, 1, 0, 0, 0, 0);
  h.MaxX = 65535;
  h.MaxY = 65535;
  Open({Image(h, {3, 5, 0})});
  Surface big(3 * RasterCols + 6, 3 * RasterRows + 6, 0);
  reporter_.on_events = [this] { ws_->CancelRequested = true; };  // not honoured here
  ASSERT_EQ(HeaderFixShow(*ws_, 1, false, big, reporter_).status, HeaderShowStatus::kShown);
  EXPECT_EQ(big.GetPixel(0, 0), PackRGB(DefaultPalette[5]));
  EXPECT_EQ(big.GetPixel(3 * RasterCols - 1, 3 * RasterRows - 1), PackRGB(BackColor));
  EXPECT_EQ(big.GetPixel(3 * RasterCols, 0), kSilver);
  EXPECT_EQ(big.GetPixel(0, 3 * RasterRows), kSilver);
  EXPECT_EQ(reporter_.event_rounds, 13);  // rows 0, 50, ..., 600

  ASSERT_EQ(Show(1).status, HeaderShowStatus::kShown);
  EXPECT_EQ(mag_.GetPixel(324, 324), PackRGB(BackColor));  // row and column 108, partly shown
}

TEST_F(HeaderFixTest, WriteRewritesOnlyTheHeader) {
  Open({Image(test::Header(3, 3, 0, 0, 2, 0), {3, 5, 0}),
        Image(test::Header(4, 2, 1, 0, 3, 0), {5, 6, 7, 0})});
  const Bytes before = test::ReadFileBytes(path_);
  const std::size_t at = static_cast<std::size_t>(ws_->ImageOffsets[1]);
  struct Case {
    const char* name;
    HeaderFields fields;
    Bytes header;
  };
  const Case cases[] = {
      {"Y Offs -1 is FF FF, negative box values are 32-bit",
       {1, 3, 0, -1, -5, -3, 10, 10},
       {1,    0,    3,    0,    0,  0, 0xFF, 0xFF, 0xFB, 0xFF, 0xFF, 0xFF,
        0xFD, 0xFF, 0xFF, 0xFF, 10, 0, 0,    0,    10,   0,    0,    0}},
      {"16-bit fields keep their low 16 bits",
       {65536 + 2, 3, 70000, 65535, 0, 0, 0, 0},
       {2, 0, 3, 0, 0x70, 0x11, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(WriteImageHeader(*ws_, 2, c.fields, reporter_), HeaderWriteResult::kWritten)
        << c.name;
    Bytes expected = before;
    std::copy(c.header.begin(), c.header.end(), expected.begin() + static_cast<std::ptrdiff_t>(at));
    EXPECT_EQ(test::ReadFileBytes(path_), expected) << c.name;
  }
  EXPECT_TRUE(reporter_.errors.empty());
  // Read again, the halves of the offset word show as the window shows them.
  InFile f;
  ASSERT_TRUE(f.Open(path_));
  ReadImageHeader(f, *ws_, 1);
  const HeaderFields shown = FieldsOf(ws_->CurHeader);
  EXPECT_EQ(shown[kXSize], 2);
  EXPECT_EQ(shown[kXOffs], 4464);
  EXPECT_EQ(shown[kYOffs], -1);
}

TEST_F(HeaderFixTest, WriteAfterShowKeepsTheHeaderButTheMeasuredBox) {
  ImageHeader h = test::Header(12, 6, 2, 1, 30, 40);
  h.OffsWord = static_cast<std::int32_t>(0x8000FFFFu);  // X Offs 65535, Y Offs -32768
  Open({Image(h, kTwoLines)});
  const HeaderShowResult shown = Show(1);
  ASSERT_EQ(shown.status, HeaderShowStatus::kShown);
  EXPECT_EQ(shown.old_fields[kXOffs], 65535);
  EXPECT_EQ(shown.old_fields[kYOffs], -32768);
  ASSERT_EQ(WriteImageHeader(*ws_, 1, shown.new_fields, reporter_), HeaderWriteResult::kWritten);
  h.Right = 8 - 2 - 1;
  h.Bottom = 2 - 1 - 1;
  const Bytes after = test::ReadFileBytes(path_);
  const auto at = static_cast<std::ptrdiff_t>(ws_->ImageOffsets[0]);
  EXPECT_EQ(Bytes(after.begin() + at, after.begin() + at + 24), test::HeaderBytes(h));
}

TEST_F(HeaderFixTest, RefusedWritesChangeNothing) {
  Open({Image(test::Header(3, 3, 0, 0, 2, 0), {3, 5, 0}),
        Image(test::Header(1, 1, 0, 0, 0, 0), {0})});
  // Image 2's header starts 10 bytes before the end: cut off.
  Bytes bytes = test::ReadFileBytes(path_);
  bytes.resize(static_cast<std::size_t>(ws_->ImageOffsets[1]) + 10);
  test::WriteFileBytes(path_, bytes);
  struct Case {
    int number;
    HeaderWriteResult result;
    std::string error;
  };
  const Case cases[] = {
      {0, HeaderWriteResult::kNoImage, "No image #0 in file " + path_ + ", nothing written."},
      {3, HeaderWriteResult::kNoImage, "No image #3 in file " + path_ + ", nothing written."},
      {-2147483647 - 1, HeaderWriteResult::kNoImage,
       "No image #-2147483648 in file " + path_ + ", nothing written."},
      {2, HeaderWriteResult::kOutsideFile,
       "The header of image #2 lies outside file " + path_ + ", nothing written."},
  };
  for (const Case& c : cases) {
    reporter_.errors.clear();
    EXPECT_EQ(WriteImageHeader(*ws_, c.number, HeaderFields{1, 2, 3, 4, 5, 6, 7, 8}, reporter_),
              c.result);
    EXPECT_EQ(reporter_.errors, std::vector<std::string>{c.error});
    EXPECT_EQ(test::ReadFileBytes(path_), bytes) << c.number;
  }
  // A damaged index whose entry points back into the index itself.
  for (const std::int32_t into_index : {0, 4, 23}) {
    reporter_.errors.clear();
    ws_->ImageOffsets[0] = into_index;
    EXPECT_EQ(WriteImageHeader(*ws_, 1, HeaderFields{1, 2, 3, 4, 5, 6, 7, 8}, reporter_),
              HeaderWriteResult::kInsideIndex);
    EXPECT_EQ(reporter_.errors,
              std::vector<std::string>{"The header of image #1 lies inside the index of file " +
                                       path_ + ", nothing written."});
    EXPECT_EQ(test::ReadFileBytes(path_), bytes) << into_index;
  }
  // Another writer changed the index since it was read: the offset would be stale.
  reporter_.errors.clear();
  ws_->ImageOffsets[0] = GetLE32(&bytes[8]);
  Bytes moved = bytes;
  PutLE32(&moved[12], 5);
  test::WriteFileBytes(path_, moved);
  EXPECT_EQ(WriteImageHeader(*ws_, 1, HeaderFields{1, 2, 3, 4, 5, 6, 7, 8}, reporter_),
            HeaderWriteResult::kChanged);
  EXPECT_EQ(reporter_.errors,
            std::vector<std::string>{path_ + " has changed since it was opened; open it again."});
  EXPECT_EQ(test::ReadFileBytes(path_), moved);
  reporter_.errors.clear();
  ws_->ShpPath = dir_.Path("gone.shp");
  EXPECT_EQ(WriteImageHeader(*ws_, 1, HeaderFields{}, reporter_), HeaderWriteResult::kOpenFailed);
  EXPECT_EQ(reporter_.errors, std::vector<std::string>{"Could not open file " + ws_->ShpPath});
  EXPECT_FALSE(FileExists(ws_->ShpPath));
}

}  // namespace
}  // namespace pelgrin
