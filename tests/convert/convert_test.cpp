// Convert: the bounding box, the refusal of an empty bitmap, the one-image file and the
// whole Convert button (drawing, files, messages).
#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <memory>

#include "convert/color_match.h"
#include "convert/convert.h"
#include "shp/encode.h"
#include "shp/show.h"
#include "support/test_support.h"

namespace pelgrin {
namespace {

using test::Bytes;

struct Pixel {
  int x, y;
  Rgb colour;
};

// A loaded bitmap of width x height in BackColor, with the given pixels set.
std::unique_ptr<WorkState> Bitmap(int width, int height, const std::vector<Pixel>& pixels) {
  auto ws = std::make_unique<WorkState>();
  for (std::size_t i = 0; i < ws->BmpPixels.size(); i += 3) {
    ws->BmpPixels[i] = BackColor.r;
    ws->BmpPixels[i + 1] = BackColor.g;
    ws->BmpPixels[i + 2] = BackColor.b;
  }
  for (const Pixel& p : pixels) {
    const std::size_t at =
        3 * (static_cast<std::size_t>(p.x) * RasterRows + static_cast<std::size_t>(p.y));
    ws->BmpPixels[at] = p.colour.r;
    ws->BmpPixels[at + 1] = p.colour.g;
    ws->BmpPixels[at + 2] = p.colour.b;
  }
  ws->BmpHeader.biWidth = width;
  ws->BmpHeader.biHeight = height;
  return ws;
}

TEST(ConvertBitmap, BoundingBoxAndIndices) {
  const Rgb red = DefaultPalette[15];
  const Rgb near_back{255, 225, 224};
  struct Case {
    const char* name;
    int width, height;
    std::vector<Pixel> pixels;
    std::vector<int> header;  // Left, Top, Right, Bottom, MaxX, MaxY
  };
  const Case cases[] = {
      {"one pixel", 10, 8, {{5, 3, red}}, {5, 3, 5, 3, 9, 7}},
      {"two corners", 10, 8, {{7, 1, red}, {2, 6, red}}, {2, 1, 7, 6, 9, 7}},
      {"one column's ends", 10, 8, {{3, 1, red}, {3, 4, red}, {3, 6, red}}, {3, 1, 3, 6, 9, 7}},
      {"one off the background", 10, 8, {{4, 4, near_back}}, {4, 4, 4, 4, 9, 7}},
      {"beyond the width is not read", 5, 8, {{9, 0, red}, {1, 2, red}}, {1, 2, 1, 2, 4, 7}},
      {"full size", 839, 649, {{0, 648, red}, {838, 0, red}}, {0, 0, 838, 648, 838, 648}},
      {"larger than the buffer", 2000, 900, {{838, 648, red}}, {838, 648, 838, 648, 838, 648}},
  };
  for (const Case& c : cases) {
    auto ws = Bitmap(c.width, c.height, c.pixels);
    ws->CurHeader.OffsWord = 0x12345;
    ASSERT_EQ(ConvertBitmap(*ws, c.width, c.height, false), ConvertResult::kConverted) << c.name;
    const ImageHeader& h = ws->CurHeader;
    EXPECT_EQ((std::vector<int>{h.Left, h.Top, h.Right, h.Bottom, h.MaxX, h.MaxY}), c.header)
        << c.name;
    EXPECT_EQ(h.OffsWord, 0x12345) << c.name;
    int opaque_cells = 0;  // cells matched to a palette entry: one per opaque pixel
    for (const std::uint8_t cell : ws->Raster)
      opaque_cells += cell != kTransparent;
    const auto& last = c.pixels.back();
    EXPECT_EQ(test::RasterByte(*ws, last.x, last.y),
              MatchColorLinear(DefaultPalette, false, last.colour))
        << c.name;
    int inside = 0;
    for (const Pixel& p : c.pixels)
      inside += p.x < std::min(c.width, RasterCols) && p.y < std::min(c.height, RasterRows);
    EXPECT_EQ(opaque_cells, inside) << c.name;  // everything else is transparent
  }
}

TEST(ConvertBitmap, WithoutOpaquePixelNothingChanges) {
  for (const int width : {0, 1, 10}) {
    auto ws = Bitmap(width, 8, {{20, 2, {1, 2, 3}}});  // the pixel lies beyond the width
    ws->Raster.fill(9);
    ws->CurHeader = test::Header(3, 4, 1, 1, 2, 2);
    EXPECT_EQ(ConvertBitmap(*ws, width, 8, false), ConvertResult::kNoOpaquePixel);
    EXPECT_EQ(ws->CurHeader.MaxX, 2);
    EXPECT_EQ(test::RasterByte(*ws, 0, 0), 9);
  }
}

TEST(WriteSingleImageShp, Layout) {
  test::TempDir dir;
  Palette p;
  for (int i = 0; i < 256; ++i)
    p[static_cast<std::size_t>(i)] = {static_cast<std::uint8_t>(i),
                                      static_cast<std::uint8_t>(255 - i), 3};
  const Bytes record = test::Record(test::Header(2, 1, 0, 0, 1, 0), {5, 7, 8, 0});
  AtomicFile out;
  ASSERT_TRUE(out.Create(dir.Path("one.shp")));
  WriteSingleImageShp(record, p, out.Out());
  ASSERT_EQ(out.Commit(), AtomicFile::Result::kOk);

  Bytes expected = {'1', '.', '1', '0', 1, 0, 0, 0, 16, 0, 0, 0, 16 + 28, 0, 0, 0};
  expected.insert(expected.end(), record.begin(), record.end());
  expected.insert(expected.end(), {240, 0, 0, 0});
  for (int i = 0; i < 240; ++i)
    expected.insert(expected.end(),
                    {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i >> 2),
                     static_cast<std::uint8_t>((255 - i) >> 2), 0});
  EXPECT_EQ(test::ReadFileBytes(dir.Path("one.shp")), expected);
}

class ConvertButtonTest : public ::testing::Test {
 protected:
  ConvertOutcome Convert(WorkState& ws, const std::string& record, const std::string& single) {
    return ConvertLoadedBitmap(ws, false, view_, record, single, reporter_);
  }
  test::TempDir dir_;
  test::RecordingReporter reporter_;
  Surface view_{kViewWidth, kViewHeight};
};

TEST_F(ConvertButtonTest, DrawsThenWritesBothFiles) {
  auto ws = Bitmap(6, 4, {{1, 1, DefaultPalette[40]}, {4, 2, DefaultPalette[90]}});
  ws->LoadedPalette[255] = {1, 1, 1};
  ws->CancelRequested = true;  // left over from an earlier drawing
  ASSERT_EQ(Convert(*ws, dir_.Path("New_shp.sdf"), dir_.Path("New_shp.shp")),
            ConvertOutcome::kWritten);
  EXPECT_TRUE(reporter_.errors.empty());

  Palette active = ws->LoadedPalette;
  active[255] = BackColor;
  EXPECT_EQ(ws->ActivePalette, active);
  EXPECT_EQ(view_.GetPixel(1, 1), PackRGB(DefaultPalette[40]));
  EXPECT_EQ(view_.GetPixel(4, 2), PackRGB(DefaultPalette[90]));  // the last drawn row
  EXPECT_EQ(view_.GetPixel(0, 0), PackRGB(BackColor));
  EXPECT_EQ(view_.GetPixel(6, 0), kAqua);  // outside the frame

  Bytes record;
  EncodeImage(*ws, record);
  EXPECT_EQ(test::ReadFileBytes(dir_.Path("New_shp.sdf")), record);
  const Bytes single = test::ReadFileBytes(dir_.Path("New_shp.shp"));
  ASSERT_EQ(single.size(), 16 + record.size() + 4 + 960);
  EXPECT_TRUE(std::equal(record.begin(), record.end(), single.begin() + 16));
}

TEST_F(ConvertButtonTest, Failures) {
  const std::string record = dir_.Path("New_shp.sdf");
  const std::string single = dir_.Path("New_shp.shp");
  const std::string missing = dir_.Path("no/such.file");
  struct Case {
    const char* name;
    bool opaque;
    std::string record, single;
    ConvertOutcome outcome;
    std::string error;
    bool record_written;
  };
  const Case cases[] = {
      {"empty bitmap", false, record, single, ConvertOutcome::kRefused,
       std::string(kNoOpaquePixelMessage), false},
      {"record file", true, missing, single, ConvertOutcome::kRecordNotWritten,
       "Could not open " + missing + ".", false},
      {"one-image file", true, record, missing, ConvertOutcome::kSingleShpNotWritten,
       "Could not open file " + missing + ".", true},
  };
  for (const Case& c : cases) {
    test::WriteFileText(record, "old record");
    test::WriteFileText(single, "old single");
    reporter_.errors.clear();
    view_.Fill(0);
    auto ws = Bitmap(3, 3, c.opaque ? std::vector<Pixel>{{1, 1, {9, 9, 9}}} : std::vector<Pixel>{});
    EXPECT_EQ(Convert(*ws, c.record, c.single), c.outcome) << c.name;
    EXPECT_EQ(reporter_.errors, std::vector<std::string>{c.error}) << c.name;
    // The converted picture is shown before anything is written.
    EXPECT_EQ(view_.GetPixel(2, 2), c.opaque ? PackRGB(BackColor) : 0u) << c.name;
    EXPECT_EQ(test::ReadFileBytes(record).size() != 10, c.record_written) << c.name;
    EXPECT_EQ(test::ReadFileBytes(single),
              Bytes({'o', 'l', 'd', ' ', 's', 'i', 'n', 'g', 'l', 'e'}))
        << c.name;
  }
}

}  // namespace
}  // namespace pelgrin
