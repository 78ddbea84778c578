// The encoder: runs, skips, trailing transparency and the decode round trip.
#include <gtest/gtest.h>

#include <memory>

#include "io/byte_order.h"
#include "io/files.h"
#include "shp/archive_builder.h"
#include "shp/decode.h"
#include "shp/encode.h"
#include "shp/shp_format.h"
#include "support/test_support.h"

namespace pelgrin {
namespace {

using test::Bytes;

// Puts indices into row 0 from column 0 and encodes columns left..right.
Bytes EncodeRow(const Bytes& indices, int left, int right) {
  auto ws = std::make_unique<WorkState>();
  ClearRaster(*ws);
  for (std::size_t x = 0; x < indices.size(); ++x)
    ws->Raster[x * RasterRows] = indices[x];
  Bytes line;
  EncodeLine(*ws, 0, left, right, line);
  return line;
}

Bytes Repeated(int count, std::uint8_t v) {
  return Bytes(static_cast<std::size_t>(count), v);
}

TEST(EncodeLine, Codes) {
  Bytes wide_gap = Repeated(300, 255);
  wide_gap.push_back(4);
  Bytes full_width_end = Repeated(RasterCols, 255);
  full_width_end[RasterCols - 1] = 6;
  full_width_end[RasterCols - 2] = 6;
  Bytes alternating(127);
  for (std::size_t i = 0; i < alternating.size(); ++i)
    alternating[i] = static_cast<std::uint8_t>(i % 2);
  Bytes literal_127 = alternating;
  literal_127.insert(literal_127.begin(), 255);
  literal_127.push_back(0);
  Bytes gap_255 = Repeated(255, 255);
  gap_255.push_back(4);
  Bytes gap_510 = Repeated(510, 255);
  gap_510.push_back(4);
  Bytes full_width_tail = Repeated(RasterCols, 255);
  full_width_tail[RasterCols - 2] = 1;
  full_width_tail[RasterCols - 1] = 2;
  Bytes full_width_runs;  // 839 = 6 * 127 + 77
  for (int i = 0; i < 6; ++i)
    full_width_runs.insert(full_width_runs.end(), {254, 7});
  full_width_runs.insert(full_width_runs.end(), {154, 7, 0});
  struct Case {
    const char* name;
    Bytes row;
    int left, right;
    Bytes expected;
  };
  const Case cases[] = {
      {"300 equal pixels", Repeated(300, 9), 0, 299, {254, 9, 254, 9, 92, 9, 0}},
      {"two equal then other is literal", {5, 5, 7}, 0, 2, {7, 5, 5, 7, 0}},
      {"literal stops where a repeat starts", {1, 2, 3, 3, 3}, 0, 4, {5, 1, 2, 6, 3, 0}},
      {"trailing transparency dropped", {4, 255, 255}, 0, 2, {3, 4, 0}},
      {"gap before the last pixel kept", {4, 255, 255, 8}, 0, 3, {3, 4, 1, 2, 3, 8, 0}},
      {"transparent line keeps its first skip", Repeated(10, 255), 2, 9, {1, 8, 0}},
      {"wide transparent line", Repeated(300, 255), 0, 299, {1, 255, 0}},
      {"gap wider than 255", wide_gap, 0, 300, {1, 255, 1, 45, 3, 4, 0}},
      {"repeat of 127", Repeated(127, 9), 0, 126, {254, 9, 0}},
      {"repeat of 128: the last pixel a literal", Repeated(128, 9), 0, 127, {254, 9, 3, 9, 0}},
      {"repeat of 129", Repeated(129, 9), 0, 128, {254, 9, 5, 9, 9, 0}},
      {"repeat of 130", Repeated(130, 9), 0, 129, {254, 9, 6, 9, 0}},
      {"literal of 127", alternating, 0, 126, literal_127},
      {"skip of 255", gap_255, 0, 255, {1, 255, 3, 4, 0}},
      {"skip of 510", gap_510, 0, 510, {1, 255, 1, 255, 3, 4, 0}},
      {"full-width line of one value", Repeated(RasterCols, 7), 0, RasterCols - 1, full_width_runs},
      {"full-width line ending in two values",
       full_width_tail,
       0,
       RasterCols - 1,
       {1, 255, 1, 255, 1, 255, 1, 72, 5, 1, 2, 0}},
      {"pair at the right edge of a full-width line",
       full_width_end,
       RasterCols - 2,
       RasterCols - 1,
       {5, 6, 6, 0}},
      {"starts at Left", {1, 1, 1, 2}, 3, 3, {3, 2, 0}},
      {"literal of 10 across a word, then a gap",
       {1, 2, 1, 2, 1, 2, 1, 2, 1, 2, 255, 3},
       0,
       11,
       {21, 1, 2, 1, 2, 1, 2, 1, 2, 1, 2, 1, 1, 3, 3, 0}},
      {"starts left of the raster", {4, 4, 4}, -2, 2, {1, 2, 6, 4, 0}},
      {"ends right of the raster", full_width_tail, RasterCols - 2, RasterCols + 3, {5, 1, 2, 0}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EncodeRow(c.row, c.left, c.right), c.expected) << c.name;
  }
  // A literal longer than 127 pixels is split into a run of 127 and the rest.
  alternating.insert(alternating.end(), {1, 0, 1});
  const Bytes line = EncodeRow(alternating, 0, 129);
  ASSERT_EQ(line.size(), 1u + 127 + 1 + 3 + 1);
  EXPECT_EQ(line[0], 255);
  EXPECT_EQ(line[128], 7);
}

TEST(EncodeImage, HeaderAndDecodeRoundTrip) {
  auto ws = std::make_unique<WorkState>();
  ClearRaster(*ws);
  ws->CurHeader = test::Header(40, 30, 3, 2, 36, 27);
  ws->CurHeader.OffsWord = 0x12345678;  // offsets are not carried into a new record
  for (int x = 3; x <= 36; ++x)
    for (int y = 2; y <= 27; ++y)
      if ((x * y) % 7 != 0)
        ws->Raster[static_cast<std::size_t>(x) * RasterRows + static_cast<std::size_t>(y)] =
            static_cast<std::uint8_t>((x / 4 + y / 3) % 250);
  Bytes record;
  const std::int64_t length = EncodeImage(*ws, record);
  ASSERT_EQ(length, static_cast<std::int64_t>(record.size()));
  EXPECT_EQ(GetLE16(&record[0]), 29);
  EXPECT_EQ(GetLE16(&record[2]), 39);
  EXPECT_EQ(GetLE32(&record[4]), 0);
  EXPECT_EQ(GetLE32(&record[8]), 3);
  EXPECT_EQ(GetLE32(&record[20]), 27);

  test::TempDir dir;
  {  // streamed to a file line by line, the same bytes
    AtomicFile file;
    ASSERT_TRUE(file.Create(dir.Path("r.sdf")));
    EXPECT_EQ(EncodeImage(*ws, file.Out()), length);
    ASSERT_EQ(file.Commit(), AtomicFile::Result::kOk);
  }
  EXPECT_EQ(test::ReadFileBytes(dir.Path("r.sdf")), record);
  ArchiveImage image;
  image.record = record;
  test::WriteFileBytes(dir.Path("r.shp"), BuildArchive({image}));
  auto back = std::make_unique<WorkState>();
  InFile f;
  ASSERT_TRUE(f.Open(dir.Path("r.shp")));
  back->ImageCount = ReadImageCount(f);
  ReadIndex(f, *back, 1);
  ClearRaster(*back);
  ReadImageHeader(f, *back, 0);
  DecodeImage(f, *back, 0);
  EXPECT_EQ(back->Raster, ws->Raster);
}

}  // namespace
}  // namespace pelgrin
