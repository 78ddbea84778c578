// Bitmap files: the layout Write BMP writes, and what Load BMP accepts and refuses.
#include <gtest/gtest.h>

#include <memory>

#include "io/byte_order.h"
#include "io/files.h"
#include "picture/bmp_file.h"
#include "support/test_support.h"

namespace pelgrin {
namespace {

using test::Bytes;

// A raster frame of width x height whose pixel (x, y) has index (x + 2y) % 254.
std::unique_ptr<WorkState> Frame(int width, int height) {
  auto ws = std::make_unique<WorkState>();
  UseLoadedPalette(*ws);
  ClearRaster(*ws);
  ws->CurHeader.MaxX = width - 1;
  ws->CurHeader.MaxY = height - 1;
  for (int x = 0; x < std::min(width, RasterCols); ++x)
    for (int y = 0; y < std::min(height, RasterRows); ++y)
      ws->Raster[static_cast<std::size_t>(x) * RasterRows + static_cast<std::size_t>(y)] =
          static_cast<std::uint8_t>((x + 2 * y) % 254);
  return ws;
}

// A 24-bit bitmap file of the given size; pixel (x, y) is (x, y, x ^ y), top row first in
// the picture. header_size 40 or more; top_down stores rows from the top.
Bytes BitmapFile(int width, int height, int header_size = 40, bool top_down = false,
                 int bit_count = 24, int compression = 0) {
  const int stride = static_cast<int>(BmpRowStride(width));
  const int offset = 14 + header_size;
  Bytes b(static_cast<std::size_t>(offset + stride * height), 0);
  b[0] = 'B';
  b[1] = 'M';
  PutLE32(&b[10], static_cast<std::uint32_t>(offset));
  PutLE32(&b[14], static_cast<std::uint32_t>(header_size));
  PutLE32(&b[18], static_cast<std::uint32_t>(width));
  PutLE32(&b[22], static_cast<std::uint32_t>(top_down ? -height : height));
  PutLE16(&b[26], 1);
  PutLE16(&b[28], static_cast<std::uint32_t>(bit_count));
  PutLE32(&b[30], static_cast<std::uint32_t>(compression));
  for (int y = 0; y < height; ++y) {
    const int file_row = top_down ? y : height - 1 - y;
    for (int x = 0; x < width; ++x) {
      std::uint8_t* p = &b[static_cast<std::size_t>(offset + file_row * stride + 3 * x)];
      p[0] = static_cast<std::uint8_t>(x ^ y);
      p[1] = static_cast<std::uint8_t>(y);
      p[2] = static_cast<std::uint8_t>(x);
    }
  }
  return b;
}

TEST(WriteBmp, HeaderAndRowPadding) {
  struct Case {
    int width, height;
    std::uint32_t stride;
  };
  for (const Case& c : {Case{1, 5, 4}, Case{4, 3, 12}, Case{5, 2, 16}}) {
    test::TempDir dir;
    auto ws = Frame(c.width, c.height);
    test::RecordingReporter r;
    ASSERT_TRUE(WriteRasterBmp(*ws, dir.Path("o.bmp"), r));
    const Bytes b = test::ReadFileBytes(dir.Path("o.bmp"));
    const std::uint32_t image_size = c.stride * static_cast<std::uint32_t>(c.height);
    ASSERT_EQ(b.size(), 54 + image_size) << c.width;
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(static_cast<std::uint32_t>(GetLE32(&b[2])), 54 + image_size);
    EXPECT_EQ(GetLE32(&b[10]), 54);
    EXPECT_EQ(GetLE32(&b[14]), 40);
    EXPECT_EQ(GetLE32(&b[18]), c.width);
    EXPECT_EQ(GetLE32(&b[22]), c.height);
    EXPECT_EQ(GetLE16(&b[26]), 1);
    EXPECT_EQ(GetLE16(&b[28]), 24);
    EXPECT_EQ(static_cast<std::uint32_t>(GetLE32(&b[34])), image_size);
    // The bottom row comes first, as B, G, R; padding bytes are 0.
    const Rgb bottom_left = ws->ActivePalette[static_cast<std::size_t>((2 * (c.height - 1)) % 254)];
    EXPECT_EQ(b[54], bottom_left.b);
    EXPECT_EQ(b[56], bottom_left.r);
    for (std::uint32_t pad = 3 * static_cast<std::uint32_t>(c.width); pad < c.stride; ++pad)
      EXPECT_EQ(b[54 + pad], 0);
    EXPECT_EQ(ws->BmpHeader.biWidth, c.width);
  }
}

TEST(WriteBmp, TransparentAndOutsideTheRasterAreBackColor) {
  test::TempDir dir;
  auto ws = Frame(RasterCols + 1, 1);
  ws->Raster[0] = 255;
  ws->ActivePalette[255] = {1, 2, 3};
  test::RecordingReporter r;
  ASSERT_TRUE(WriteRasterBmp(*ws, dir.Path("o.bmp"), r));
  const Bytes b = test::ReadFileBytes(dir.Path("o.bmp"));
  EXPECT_EQ((Bytes{b[54], b[55], b[56]}), (Bytes{225, 225, 255}));
  const std::size_t beyond = 54 + 3 * RasterCols;
  EXPECT_EQ((Bytes{b[beyond], b[beyond + 1], b[beyond + 2]}), (Bytes{225, 225, 255}));
}

TEST(WriteBmp, UncreatableFileIsReportedAndLeavesNothing) {
  test::TempDir dir;
  auto ws = Frame(2, 2);
  test::RecordingReporter r;
  const std::string path = dir.Path("no/such/dir/o.bmp");
  EXPECT_FALSE(WriteRasterBmp(*ws, path, r));
  EXPECT_EQ(r.errors, std::vector<std::string>{"Could not open bmp file " + path});
}

TEST(ReadBmp, RoundTripGivesTheSameColoursTopRowFirst) {
  test::TempDir dir;
  auto ws = Frame(7, 5);
  test::RecordingReporter r;
  ASSERT_TRUE(WriteRasterBmp(*ws, dir.Path("o.bmp"), r));
  ASSERT_EQ(ReadBmpFile(*ws, dir.Path("o.bmp")), BmpReadResult::kOk);
  EXPECT_EQ(ws->BmpHeader.biWidth, 7);
  EXPECT_EQ(ws->BmpHeader.biHeight, 5);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 7; ++x)
      EXPECT_EQ(BmpPixel(*ws, x, y),
                ws->ActivePalette[static_cast<std::size_t>((x + 2 * y) % 254)]);
}

TEST(ReadBmp, AcceptsEveryUncompressedLayout) {
  struct Case {
    const char* name;
    Bytes file;
    std::uint32_t offset;
  };
  const Case cases[] = {
      {"bottom-up", BitmapFile(5, 3), 54},
      {"top-down", BitmapFile(5, 3, 40, true), 54},
      {"top-down, rows of several blocks", BitmapFile(9, 70, 40, true), 54},
      {"larger header", BitmapFile(5, 3, 124), 138},
      {"largest size", BitmapFile(RasterCols, RasterRows), 54},
  };
  for (const Case& c : cases) {
    test::TempDir dir;
    test::WriteFileBytes(dir.Path("in.bmp"), c.file);
    auto ws = std::make_unique<WorkState>();
    ASSERT_EQ(ReadBmpFile(*ws, dir.Path("in.bmp")), BmpReadResult::kOk) << c.name;
    EXPECT_EQ(ws->BmpHeader.bfOffBits, c.offset) << c.name;
    const int w = ws->BmpHeader.biWidth, h = ws->BmpHeader.biHeight;
    for (int y = 0; y < h; y += std::max(1, h / 7))
      for (int x = 0; x < w; x += std::max(1, w / 9))
        ASSERT_EQ(BmpPixel(*ws, x, y),
                  (Rgb{static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y),
                       static_cast<std::uint8_t>(x ^ y)}))
            << c.name << " at " << x << "," << y;
  }
}

TEST(ReadBmp, RefusesWhatItCannotRepresentAndChangesNothing) {
  Bytes truncated = BitmapFile(10, 10);
  truncated.resize(truncated.size() - 5);
  Bytes not_bmp = BitmapFile(2, 2);
  not_bmp[0] = 'X';
  struct Case {
    const char* name;
    Bytes file;
    BmpReadResult result;
  };
  const Case cases[] = {
      {"not a bitmap", not_bmp, BmpReadResult::kNotBitmap},
      {"tiny file", {'B', 'M', 0}, BmpReadResult::kNotBitmap},
      {"8 bits", BitmapFile(4, 4, 40, false, 8), BmpReadResult::kUnsupported},
      {"compressed", BitmapFile(4, 4, 40, false, 24, 1), BmpReadResult::kUnsupported},
      {"too wide", BitmapFile(RasterCols + 1, 1), BmpReadResult::kTooLarge},
      {"too tall", BitmapFile(1, RasterRows + 1), BmpReadResult::kTooLarge},
      {"zero width", BitmapFile(0, 4), BmpReadResult::kNotBitmap},
      {"truncated rows", truncated, BmpReadResult::kTruncated},
  };
  for (const Case& c : cases) {
    test::TempDir dir;
    test::WriteFileBytes(dir.Path("in.bmp"), c.file);
    auto ws = std::make_unique<WorkState>();
    ws->BmpPixels.fill(7);
    const BmpHeaderRecord before = ws->BmpHeader;
    EXPECT_EQ(ReadBmpFile(*ws, dir.Path("in.bmp")), c.result) << c.name;
    EXPECT_EQ(ws->BmpPixels[0], 7) << c.name;
    EXPECT_EQ(ws->BmpHeader.biWidth, before.biWidth) << c.name;
    EXPECT_FALSE(BmpReadMessage(c.result, "x.bmp").empty()) << c.name;
  }
  EXPECT_EQ(BmpReadMessage(BmpReadResult::kOpenFailed, "x.bmp"), "Could not open x.bmp.");
}

TEST(WriteBmp, SharedHeaderSizesFollowTheLastWrite) {
  test::TempDir dir;
  auto ws = Frame(3, 2);
  test::WriteFileBytes(dir.Path("in.bmp"), BitmapFile(9, 8));
  ASSERT_EQ(ReadBmpFile(*ws, dir.Path("in.bmp")), BmpReadResult::kOk);
  test::RecordingReporter r;
  ASSERT_TRUE(WriteRasterBmp(*ws, dir.Path("o.bmp"), r));
  EXPECT_EQ(ws->BmpHeader.biWidth, 3);
  EXPECT_EQ(ws->BmpHeader.biHeight, 2);
}

TEST(SaveSurface, WholeSurfaceAsBitmap) {
  test::TempDir dir;
  Surface s(3, 2, PackRGB(1, 2, 3));
  s.SetPixel(2, 0, PackRGB(200, 100, 50));
  test::RecordingReporter r;
  ASSERT_TRUE(SaveSurfaceBmp(s, dir.Path("v.bmp"), r));
  auto ws = std::make_unique<WorkState>();
  ASSERT_EQ(ReadBmpFile(*ws, dir.Path("v.bmp")), BmpReadResult::kOk);
  EXPECT_EQ(BmpPixel(*ws, 2, 0), (Rgb{200, 100, 50}));
  EXPECT_EQ(BmpPixel(*ws, 0, 1), (Rgb{1, 2, 3}));
}

}  // namespace
}  // namespace pelgrin
