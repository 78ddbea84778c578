// The collage: where cells go, when bands start and end, the "Last #" number, rejected
// images, palettes and cancel.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <optional>
#include <utility>

#include "shp/archive_builder.h"
#include "shp/collage.h"
#include "shp/load_shp.h"
#include "shp/show.h"
#include "support/test_support.h"

namespace pelgrin {
namespace {

using Cell = std::pair<int, int>;  // x, y of a cell's top-left corner on the view

// A frame of width x height whose top-left pixel is the marker index and the rest
// transparent; left 700 makes it an absent image.
ArchiveImage Marked(int width, int height, int marker, int left = 0) {
  ArchiveImage image;
  image.record = test::Record(test::Header(width, height, left, 0, 0, 0),
                              {3, static_cast<std::uint8_t>(marker), 0});
  return image;
}

class CollageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Entry e is (e, 1, 2): a marker's colour names its image, and no entry is aqua or
    // BackColor.
    for (int e = 0; e < 256; ++e)
      ws_->LoadedPalette[static_cast<std::size_t>(e)] = Rgb{static_cast<std::uint8_t>(e), 1, 2};
  }

  void Open(const std::vector<ArchiveImage>& images) {
    test::WriteFileBytes(dir_.Path("c.shp"), BuildArchive(images));
    ASSERT_EQ(LoadShp(*ws_, dir_.Path("c.shp"), reporter_), LoadShpResult::kLoaded);
    reporter_.log.clear();
  }

  // Images of the given sizes, image k (from 0) marked with index k + 1.
  void OpenSizes(const std::vector<Cell>& sizes) {
    std::vector<ArchiveImage> images;
    for (std::size_t k = 0; k < sizes.size(); ++k)
      images.push_back(Marked(sizes[k].first, sizes[k].second, static_cast<int>(k) + 1));
    Open(images);
  }

  // Where each marker index shows on the view, first occurrence in reading order.
  std::map<int, Cell> MarkersOnView() const {
    std::map<int, Cell> found;
    for (int y = 0; y < view_.Height(); ++y) {
      for (int x = 0; x < view_.Width(); ++x) {
        const std::uint32_t c = view_.GetPixel(x, y);
        if (c == kAqua || c == PackRGB(BackColor) || (c >> 8) != 0x0201) continue;
        found.emplace(static_cast<int>(c & 0xFF), Cell{x, y});
      }
    }
    return found;
  }

  test::TempDir dir_;
  std::unique_ptr<WorkState> ws_ = std::make_unique<WorkState>();
  test::RecordingReporter reporter_;
  Surface view_{kViewWidth, kViewHeight};
};

TEST_F(CollageTest, SmallFramesFillABandThenWrap) {
  OpenSizes(std::vector<Cell>(80, Cell{10, 10}));
  ASSERT_EQ(Collage(*ws_, 1, false, view_, reporter_), CollageResult::kDone);
  const auto cells = MarkersOnView();
  for (int k = 0; k < 80; ++k) {
    // 76 cells fit the first band (the 76th at 825, next = 836); the 77th would end at
    // 847 and opens the second band one row below the first.
    const Cell expected = k < 76 ? Cell{11 * k, 0} : Cell{11 * (k - 76), 11};
    if (expected.first >= kViewWidth) {
      EXPECT_EQ(cells.count(k + 1), 0u) << k;  // laid out beyond the visible surface
      continue;
    }
    ASSERT_EQ(cells.count(k + 1), 1u) << k;
    EXPECT_EQ(cells.at(k + 1), expected) << k;
  }
  EXPECT_EQ(view_.GetPixel(9, 9), PackRGB(BackColor));  // the frame's transparent pixels
  EXPECT_EQ(view_.GetPixel(10, 0), kAqua);              // one free column between cells
  EXPECT_EQ(view_.GetPixel(0, 10), kAqua);              // one free row between bands
  EXPECT_EQ(reporter_.log, std::vector<std::string>{"Last #80"});
}

TEST_F(CollageTest, BandsAndTheBottom) {
  // Frames 400 wide: two to a band, the third opens the next band.
  struct Case {
    const char* name;
    std::vector<int> heights;
    std::vector<std::optional<Cell>> cells;  // nullopt: not drawn
    std::string last;
  };
  const Case cases[] = {
      {"a frame that moves on counts toward the band it leaves, not the one it opens",
       {5, 5, 40, 5, 5},
       {Cell{0, 0}, Cell{401, 0}, Cell{0, 41}, Cell{401, 41}, Cell{0, 47}},
       "Last #5"},
      {"the first band is never tested; a new band that ends on row 647 fits",
       {600, 5, 47, 700, 1, 1},
       {Cell{0, 0}, Cell{401, 0}, Cell{0, 601}, Cell{401, 601}, std::nullopt, std::nullopt},
       "Last #4"},
      {"a new band that would end on row 648 ends the collage",
       {600, 5, 48, 5},
       {Cell{0, 0}, Cell{401, 0}, std::nullopt, std::nullopt},
       "Last #2"},
      {"the last image opening a band that does not fit still logs the count",
       {600, 5, 100},
       {Cell{0, 0}, Cell{401, 0}, std::nullopt},
       "Last #3"},
  };
  for (const Case& c : cases) {
    std::vector<Cell> sizes;
    for (int h : c.heights)
      sizes.emplace_back(400, h);
    OpenSizes(sizes);
    ASSERT_EQ(Collage(*ws_, 1, false, view_, reporter_), CollageResult::kDone) << c.name;
    const auto cells = MarkersOnView();
    for (std::size_t k = 0; k < c.cells.size(); ++k) {
      const int marker = static_cast<int>(k) + 1;
      if (c.cells[k]) {
        ASSERT_EQ(cells.count(marker), 1u) << c.name << " image " << marker;
        EXPECT_EQ(cells.at(marker), *c.cells[k]) << c.name << " image " << marker;
      } else {
        EXPECT_EQ(cells.count(marker), 0u) << c.name << " image " << marker;
      }
    }
    EXPECT_EQ(reporter_.log, std::vector<std::string>{c.last}) << c.name;
    reporter_.log.clear();
  }
}

TEST_F(CollageTest, TheImageThatDoesNotFitIsDecodedButNotDrawn) {
  OpenSizes({{400, 600}, {400, 5}, {400, 48}, {400, 5}});
  ASSERT_EQ(Collage(*ws_, 1, false, view_, reporter_), CollageResult::kDone);
  EXPECT_EQ(ws_->CurHeader.MaxY, 47);
  EXPECT_EQ(test::RasterByte(*ws_, 0, 0), 3);
  EXPECT_EQ(MarkersOnView().count(4), 0u);
}

TEST_F(CollageTest, EachCellStartsFromAClearRasterAndTheCountersSpanTheCollage) {
  // A solid 100 x 50 frame between two frames that set only their top-left pixel: nothing
  // of the solid one may show through the cell after it, and the counters keep its extent.
  ArchiveImage solid;
  test::Bytes lines;
  for (int row = 0; row < 50; ++row)
    lines.insert(lines.end(), {200, 7, 0});
  solid.record = test::Record(test::Header(100, 50, 0, 0, 99, 49), lines);
  Open({Marked(10, 10, 1), solid, Marked(10, 10, 3), Marked(120, 60, 4)});
  ASSERT_EQ(Collage(*ws_, 1, false, view_, reporter_), CollageResult::kDone);
  const auto cells = MarkersOnView();
  ASSERT_EQ(cells.at(3), (Cell{112, 0}));
  ASSERT_EQ(cells.at(4), (Cell{123, 0}));
  EXPECT_EQ(view_.GetPixel(11 + 99, 49), PackRGB(Rgb{7, 1, 2}));  // the solid cell itself
  for (const Cell& cell : {Cell{112, 0}, Cell{123, 0}}) {
    const int width = cell.first == 112 ? 10 : 120;
    const int height = cell.first == 112 ? 10 : 60;
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        if (x == 0 && y == 0) continue;
        ASSERT_EQ(view_.GetPixel(cell.first + x, y), PackRGB(BackColor)) << x << "," << y;
      }
    }
  }
  EXPECT_EQ(ws_->UsedCols, 100);
  EXPECT_EQ(ws_->UsedRows, 50);
}

TEST_F(CollageTest, LastNumberCountsFromTheFirstImageOfTheFile) {
  struct Case {
    int images;
    int start;
    std::string last;
  };
  // 400 x 600 frames: two fit, the third opens a band below the area.
  const Case cases[] = {{10, 5, "Last #6"}, {10, 10, "Last #10"}, {10, 9, "Last #10"}};
  for (const Case& c : cases) {
    OpenSizes(std::vector<Cell>(static_cast<std::size_t>(c.images), Cell{400, 600}));
    ASSERT_EQ(Collage(*ws_, c.start, false, view_, reporter_), CollageResult::kDone);
    EXPECT_EQ(reporter_.log, std::vector<std::string>{c.last}) << c.start;
    EXPECT_EQ(MarkersOnView().begin()->first, c.start);
    reporter_.log.clear();
  }
}

TEST_F(CollageTest, RejectedImagesTakeNoCell) {
  Open({Marked(10, 10, 1), Marked(10, 10, 2, 700), Marked(10, 10, 3), Marked(10, 10, 4, -101)});
  ASSERT_EQ(Collage(*ws_, 1, false, view_, reporter_), CollageResult::kDone);
  const auto cells = MarkersOnView();
  EXPECT_EQ(cells.at(1), (Cell{0, 0}));
  EXPECT_EQ(cells.at(3), (Cell{11, 0}));
  EXPECT_EQ(cells.count(2) + cells.count(4), 0u);
  EXPECT_EQ(view_.GetPixel(22, 0), kAqua);
  EXPECT_EQ(reporter_.log, (std::vector<std::string>{"No image #2", "No image #4", "Last #4"}));
}

TEST_F(CollageTest, StartOutsideTheFileIsNoImage) {
  OpenSizes({{10, 10}});
  for (int n : {0, 2, -7, -2147483647 - 1}) {
    EXPECT_EQ(Collage(*ws_, n, false, view_, reporter_), CollageResult::kNoImage);
    EXPECT_EQ(reporter_.log, std::vector<std::string>{"No image #" + std::to_string(n)});
    reporter_.log.clear();
  }
  EXPECT_EQ(view_.GetPixel(0, 0), 0u);  // untouched
}

TEST_F(CollageTest, LoadedPaletteOnlyForTheFirstCell) {
  ArchiveImage own = Marked(10, 10, 20);
  own.has_palette = true;
  own.palette = {{20, 1, 2, 3}};
  const Rgb own_colour{4, 8, 12};
  const Rgb loaded{20, 1, 2};
  struct Case {
    const char* name;
    std::vector<ArchiveImage> images;
    bool full_pal;
    std::vector<Rgb> colours;  // of each cell's marker
  };
  const Case cases[] = {
      {"a later image without a palette keeps the one before",
       {own, Marked(10, 10, 20)},
       false,
       {own_colour, own_colour}},
      {"the first cell takes the loaded one",
       {Marked(10, 10, 20), own, Marked(10, 10, 20)},
       false,
       {loaded, own_colour, own_colour}},
      {"full pal", {own, Marked(10, 10, 20), own}, true, {loaded, loaded, loaded}},
  };
  for (const Case& c : cases) {
    Open(c.images);
    ASSERT_EQ(Collage(*ws_, 1, c.full_pal, view_, reporter_), CollageResult::kDone);
    for (std::size_t k = 0; k < c.colours.size(); ++k)
      EXPECT_EQ(view_.GetPixel(11 * static_cast<int>(k), 0), PackRGB(c.colours[k]))
          << c.name << " cell " << k;
  }
}

TEST_F(CollageTest, CancelEndsAfterTheImageWithoutSummary) {
  OpenSizes({{10, 10}, {10, 10}, {10, 10}});
  for (int cancel_at : {1, 2}) {
    view_.Fill(0);
    reporter_.event_rounds = 0;
    reporter_.on_events = [&] {
      if (reporter_.event_rounds == cancel_at) ws_->CancelRequested = true;
    };
    ASSERT_EQ(Collage(*ws_, 1, false, view_, reporter_), CollageResult::kCancelled);
    EXPECT_EQ(reporter_.event_rounds, cancel_at);
    EXPECT_TRUE(reporter_.log.empty());
    // The image whose event round saw the cancel is decoded but not drawn.
    EXPECT_EQ(MarkersOnView().size(), static_cast<std::size_t>(cancel_at - 1));
  }
}

TEST_F(CollageTest, UnopenableFileIsAnError) {
  OpenSizes({{10, 10}});
  ws_->ShpPath = dir_.Path("gone.shp");
  EXPECT_EQ(Collage(*ws_, 1, false, view_, reporter_), CollageResult::kOpenFailed);
  EXPECT_EQ(reporter_.errors,
            std::vector<std::string>{"Could not open file " + dir_.Path("gone.shp")});
  EXPECT_TRUE(reporter_.log.empty());
}

}  // namespace
}  // namespace pelgrin
