// Show: which images are shown, the log lines, the palette used and the drawing.
#include <gtest/gtest.h>

#include <memory>

#include "shp/archive_builder.h"
#include "shp/load_shp.h"
#include "shp/show.h"
#include "support/test_support.h"

namespace pelgrin {
namespace {

using test::Bytes;

class ShowTest : public ::testing::Test {
 protected:
  // Opens an archive of the given images.
  void Open(const std::vector<ArchiveImage>& images) {
    test::WriteFileBytes(dir_.Path("s.shp"), BuildArchive(images));
    ASSERT_EQ(LoadShp(*ws_, dir_.Path("s.shp"), reporter_), LoadShpResult::kLoaded);
    reporter_.log.clear();
  }
  static ArchiveImage Image(const ImageHeader& h, const Bytes& data) {
    ArchiveImage image;
    image.record = test::Record(h, data);
    return image;
  }

  test::TempDir dir_;
  std::unique_ptr<WorkState> ws_ = std::make_unique<WorkState>();
  test::RecordingReporter reporter_;
  Surface view_{kViewWidth, kViewHeight};
};

TEST_F(ShowTest, PlausibleRangeOfLeftAndTop) {
  struct Case {
    int left, top;
    std::vector<std::string> log;
  };
  const Case cases[] = {
      {641, 481, {"cols 642, lines 482"}}, {642, 0, {"No image #1"}},
      {0, 482, {"No image #1"}},           {-101, 0, {"No image #1"}},
      {0, -101, {"No image #1"}},          {-100, -100, {"#1 Problem??", "cols 1, lines 1"}},
  };
  for (const Case& c : cases) {
    Open({Image(test::Header(1, 1, c.left, c.top, 0, c.top), {3, 5, 0})});
    EXPECT_EQ(ShowImage(*ws_, 1, false, view_, reporter_),
              c.log.size() == 1 && c.log[0][0] == 'N' ? ShowResult::kNoImage : ShowResult::kShown);
    EXPECT_EQ(reporter_.log, c.log) << c.left << "," << c.top;
  }
}

TEST_F(ShowTest, NumbersOutsideTheFileAreNoImage) {
  Open({Image(test::Header(1, 1, 0, 0, 0, 0), {0})});
  for (int n : {0, 2, -5, 10001, -2147483647 - 1}) {
    reporter_.log.clear();
    EXPECT_EQ(ShowImage(*ws_, n, false, view_, reporter_), ShowResult::kNoImage);
    EXPECT_EQ(reporter_.log, std::vector<std::string>{"No image #" + std::to_string(n)});
  }
}

TEST_F(ShowTest, DrawsFrameWithBackColorOnAqua) {
  Open({Image(test::Header(3, 2, 1, 0, 1, 1), {3, 12, 0, 0})});
  ASSERT_EQ(ShowImage(*ws_, 1, false, view_, reporter_), ShowResult::kShown);
  EXPECT_EQ(view_.GetPixel(1, 0), PackRGB(DefaultPalette[12]));
  EXPECT_EQ(view_.GetPixel(0, 0), PackRGB(BackColor));
  EXPECT_EQ(view_.GetPixel(2, 1), PackRGB(BackColor));
  EXPECT_EQ(view_.GetPixel(3, 0), kAqua);
  EXPECT_EQ(view_.GetPixel(0, 2), kAqua);
  EXPECT_EQ(reporter_.log, std::vector<std::string>{"cols 2, lines 1"});
}

TEST_F(ShowTest, OwnPaletteUnlessFullPal) {
  ArchiveImage own = Image(test::Header(1, 1, 0, 0, 0, 0), {3, 20, 0});
  own.has_palette = true;
  own.palette = {{20, 1, 2, 3}};
  // The next record starts with byte 20 (its MaxY): a read of one palette entry too many
  // would overwrite entry 20 of image 1.
  Open({own, Image(test::Header(1, 21, 0, 0, 0, 0), {3, 20, 0})});
  struct Case {
    int number;
    bool full_pal;
    Rgb expected;
  };
  const Case cases[] = {
      {1, false, {4, 8, 12}},
      {1, true, DefaultPalette[20]},
      {2, false, DefaultPalette[20]},  // no own palette: the loaded one, whatever came before
  };
  for (const Case& c : cases) {
    ASSERT_EQ(ShowImage(*ws_, c.number, c.full_pal, view_, reporter_), ShowResult::kShown);
    EXPECT_EQ(view_.GetPixel(0, 0), PackRGB(c.expected)) << c.number << c.full_pal;
  }
}

TEST_F(ShowTest, IndexColor255IsBackColorWhateverThePaletteSays) {
  ArchiveImage own = Image(test::Header(1, 1, 0, 0, 0, 0), {3, 255, 0});
  own.has_palette = true;
  own.palette = {{255, 63, 0, 0}};
  Open({own});
  ASSERT_EQ(ShowImage(*ws_, 1, false, view_, reporter_), ShowResult::kShown);
  EXPECT_EQ(ws_->ActivePalette[255], (Rgb{252, 0, 0}));
  EXPECT_EQ(view_.GetPixel(0, 0), PackRGB(BackColor));
}

TEST_F(ShowTest, CancelStopsTheDrawingAfterTheCurrentRow) {
  Bytes data;
  for (int y = 0; y < 120; ++y)
    data.insert(data.end(), {2, 7, 0});
  Open({Image(test::Header(1, 120, 0, 0, 0, 119), data)});
  reporter_.on_events = [this] { ws_->CancelRequested = true; };
  ASSERT_EQ(ShowImage(*ws_, 1, false, view_, reporter_), ShowResult::kShown);
  EXPECT_EQ(view_.GetPixel(0, 0), PackRGB(DefaultPalette[7]));
  EXPECT_EQ(view_.GetPixel(0, 1), kAqua);
  EXPECT_EQ(reporter_.log, std::vector<std::string>{"cols 1, lines 120"});
}

TEST_F(ShowTest, UnopenableFileIsAnError) {
  ws_->ShpPath = dir_.Path("gone.shp");
  EXPECT_EQ(ShowImage(*ws_, 1, false, view_, reporter_), ShowResult::kOpenFailed);
  EXPECT_EQ(reporter_.errors,
            std::vector<std::string>{"Could not open file " + dir_.Path("gone.shp")});
}

}  // namespace
}  // namespace pelgrin
