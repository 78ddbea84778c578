// The decoder: every pixel code, placement by Left and Top, truncated and hostile data.
#include <gtest/gtest.h>

#include <memory>

#include "io/files.h"
#include "shp/archive_builder.h"
#include "shp/decode.h"
#include "shp/shp_format.h"
#include "support/test_support.h"

namespace pelgrin {
namespace {

using test::Bytes;

// Decodes a one-image archive made of record; returns the state.
std::unique_ptr<WorkState> Decode(const Bytes& record) {
  test::TempDir dir;
  ArchiveImage image;
  image.record = record;
  const std::string path = dir.Path("one.shp");
  test::WriteFileBytes(path, BuildArchive({image}));
  auto ws = std::make_unique<WorkState>();
  InFile f;
  EXPECT_TRUE(f.Open(path));
  ws->ImageCount = ReadImageCount(f);
  ReadIndex(f, *ws, ws->ImageCount);
  ClearRaster(*ws);
  ReadImageHeader(f, *ws, 0);
  DecodeImage(f, *ws, 0);
  return ws;
}

// The first `count` raster bytes of row y.
Bytes Row(const WorkState& ws, int y, int count) {
  Bytes row;
  for (int x = 0; x < count; ++x)
    row.push_back(test::RasterByte(ws, x, y));
  return row;
}

TEST(Decode, CodesProduceTheirPixels) {
  struct Case {
    const char* name;
    Bytes data;  // one line
    Bytes row0;  // first 8 raster bytes of row 0
    int used_cols;
  };
  const Case cases[] = {
      {"empty line", {0}, {255, 255, 255, 255, 255, 255, 255, 255}, 0},
      {"skip then literal", {1, 2, 7, 7, 8, 9, 0}, {255, 255, 7, 8, 9, 255, 255, 255}, 5},
      {"repeat run", {8, 4, 0}, {4, 4, 4, 4, 255, 255, 255, 255}, 4},
      {"repeat of one and two", {2, 6, 4, 7, 0}, {6, 7, 7, 255, 255, 255, 255, 255}, 3},
      {"skip of zero emits nothing", {1, 0, 3, 9, 0}, {9, 255, 255, 255, 255, 255, 255, 255}, 1},
      {"literal 255 is transparent", {5, 255, 3, 0}, {255, 3, 255, 255, 255, 255, 255, 255}, 2},
      {"trailing skip counts in cols", {3, 1, 1, 5, 0}, {1, 255, 255, 255, 255, 255, 255, 255}, 6},
      {"zero inside a run is a value", {6, 0, 3, 0, 0}, {0, 0, 0, 0, 255, 255, 255, 255}, 4},
      {"the record ends after a skip code", {3, 9, 1}, {9, 255, 255, 255, 255, 255, 255, 255}, 1},
  };
  for (const Case& c : cases) {
    auto ws = Decode(test::Record(test::Header(8, 1, 0, 0, 7, 0), c.data));
    EXPECT_EQ(Row(*ws, 0, 8), c.row0) << c.name;
    EXPECT_EQ(ws->UsedCols, c.used_cols) << c.name;
  }
}

TEST(Decode, LinesStartAtLeftAndTopAndNegativeValuesShiftToTheEdge) {
  struct Case {
    const char* name;
    int left, top, bottom;
    int x, y;  // where the first pixel lands
  };
  const Case cases[] = {
      {"placed", 3, 2, 3, 3, 2},
      {"negative Left starts at column 0", -1, 0, 1, 0, 0},
      {"negative Top starts at row 0", 0, -3, -2, 0, 0},
  };
  for (const Case& c : cases) {
    auto ws =
        Decode(test::Record(test::Header(10, 10, c.left, c.top, 9, c.bottom), {3, 7, 0, 3, 8, 0}));
    EXPECT_EQ(test::RasterByte(*ws, c.x, c.y), 7) << c.name;
    EXPECT_EQ(test::RasterByte(*ws, c.x, c.y + 1), 8) << c.name;
    EXPECT_EQ(ws->UsedRows, c.y + 2) << c.name;
  }
}

TEST(Decode, OneLineImageEndsAtItsFirstEndOfLineCode) {
  auto ws = Decode(test::Record(test::Header(4, 4, 0, 0, 3, 0), {3, 0, 0, 3, 9, 0}));
  EXPECT_EQ(test::RasterByte(*ws, 0, 0), 0);
  EXPECT_EQ(test::RasterByte(*ws, 0, 1), 255);  // bytes after the last line are not pixels
}

TEST(Decode, TruncatedDataEndsTransparent) {
  auto ws = Decode(test::Record(test::Header(8, 4, 0, 0, 7, 3), {9, 1, 2}));  // 4 promised
  EXPECT_EQ(Row(*ws, 0, 5), (Bytes{1, 2, 255, 255, 255}));
  EXPECT_EQ(ws->UsedCols, 4);
}

TEST(Decode, PixelsOutsideTheRasterAreClippedButCounted) {
  struct Case {
    const char* name;
    Bytes record;
    int x, y, value;  // a raster byte to check
    int used_cols, used_rows;
  };
  const Case cases[] = {
      // Starts at column 836, runs 10 pixels: 3 land, 7 fall off the right edge.
      {"repeat run past the right edge",
       test::Record(test::Header(839, 1, 836, 648, 845, 648), {20, 5, 0}), 838, 648, 5, 846, 649},
      // 5 literal bytes of which 3 land, then a repeat run: the skipped bytes are consumed.
      {"literal run past the right edge",
       test::Record(test::Header(839, 1, 836, 648, 845, 648), {11, 1, 2, 3, 4, 5, 4, 6, 0}), 838,
       648, 3, 843, 649},
      // The second line is row 649, below the raster: nothing lands in the next column.
      {"line below the last row", test::Record(test::Header(2, 2, 0, 648, 1, 649), {0, 4, 5, 0}), 1,
       0, 255, 2, 650},
  };
  for (const Case& c : cases) {
    auto ws = Decode(c.record);
    EXPECT_EQ(test::RasterByte(*ws, c.x, c.y), c.value) << c.name;
    EXPECT_EQ(ws->UsedCols, c.used_cols) << c.name;
    EXPECT_EQ(ws->UsedRows, c.used_rows) << c.name;
  }
}

TEST(Decode, HugeLineRangeStopsAtTheEndOfTheFile) {
  auto ws = Decode(test::Record(test::Header(1, 1, 0, -2147483647, 0, 2147483647), {3, 4, 0}));
  EXPECT_EQ(test::RasterByte(*ws, 0, 0), 4);
}

TEST(RasterState, PutPixelAtTheLastCellAndClearRaster) {
  auto ws = std::make_unique<WorkState>();
  EXPECT_EQ(ws->Raster[0], 0);  // the raster starts as zeros
  ClearRaster(*ws);
  EXPECT_EQ(ws->Raster[RasterSize - 1], 255);
  ws->PutCol = 838;
  PutPixel(*ws, 648, 42);
  EXPECT_EQ(ws->Raster[RasterSize - 1], 42);
  EXPECT_EQ(ws->UsedCols, 839);
  EXPECT_EQ(ws->UsedRows, 649);
  EXPECT_EQ(ws->PutCol, 839);
}

}  // namespace
}  // namespace pelgrin
