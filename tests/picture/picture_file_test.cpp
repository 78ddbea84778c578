// Pictures by content: PNG of every colour type and depth, the bitmap kinds beside the
// 24-bit one, pictures that ImageMagick wrote, the refusals, and the PNG writers.
#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <functional>
#include <memory>

#include "io/byte_order.h"
#include "io/files.h"
#include "picture/bmp_file.h"
#include "picture/picture_file.h"
#include "picture/png_file.h"
#include "support/test_support.h"

namespace pelgrin {
namespace {

using test::Bytes;

// An 8-bit channel held at depth bits, and how a reader widens it back.
int Sample(int x, int y, int c, int depth) {
  const int levels = depth >= 8 ? 256 : 1 << depth;
  return (x * 3 + y * 5 + c * 7) % levels;
}
std::uint8_t Widened(int sample, int depth) {
  if (depth >= 8) return static_cast<std::uint8_t>(sample);
  return static_cast<std::uint8_t>(sample * 255 / ((1 << depth) - 1));
}
// Alpha of pixel (x, y): 0, 127, 128 or 255.
int AlphaAt(int x, int y) {
  return std::array{0, 127, 128, 255}[static_cast<std::size_t>((x + y) % 4)];
}

// A PNG written by libpng itself: samples from Sample (16-bit ones carry 0xFF in their
// low byte), alpha from AlphaAt, a palette of entries {i, 2i, 255 - i}.
struct PngKind {
  const char* name;
  int type, depth;
  bool interlaced = false;
  bool trns = false;
};

Bytes MakePng(const PngKind& k, int width, int height) {
  test::TempDir dir;
  std::FILE* f = std::fopen(dir.Path("p.png").c_str(), "wb");
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_init_io(png, f);
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height),
               k.depth, k.type, k.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_color plte[256];
  png_byte alphas[256];
  for (int i = 0; i < 256; ++i) {
    plte[i] = {static_cast<png_byte>(i), static_cast<png_byte>(2 * i),
               static_cast<png_byte>(255 - i)};
    alphas[i] = static_cast<png_byte>(AlphaAt(i, 0));
  }
  if (k.type == PNG_COLOR_TYPE_PALETTE) png_set_PLTE(png, info, plte, 1 << k.depth);
  if (k.trns && k.type == PNG_COLOR_TYPE_PALETTE)
    png_set_tRNS(png, info, alphas, 1 << k.depth, nullptr);
  png_color_16 key{};  // the colour of pixel (0, 0)
  key.red = key.gray = static_cast<png_uint_16>(Sample(0, 0, 0, k.depth));
  key.green = static_cast<png_uint_16>(Sample(0, 0, 1, k.depth));
  key.blue = static_cast<png_uint_16>(Sample(0, 0, 2, k.depth));
  if (k.trns && k.type != PNG_COLOR_TYPE_PALETTE) png_set_tRNS(png, info, nullptr, 0, &key);
  png_write_info(png, info);
  if (k.interlaced) png_set_interlace_handling(png);
  png_set_packing(png);
  if (k.depth == 16) png_set_swap(png);  // rows below are little-endian 16-bit samples
  const int colours = (k.type & PNG_COLOR_MASK_COLOR) && k.type != PNG_COLOR_TYPE_PALETTE ? 3 : 1;
  const bool alpha = (k.type & PNG_COLOR_MASK_ALPHA) != 0;
  const int bytes = k.depth == 16 ? 2 : 1;
  std::vector<png_byte> rows(static_cast<std::size_t>(width * height * (colours + alpha) * bytes));
  std::size_t at = 0;
  const auto put = [&](int value) {
    if (bytes == 2) rows[at++] = 0xFF;
    rows[at++] = static_cast<png_byte>(value);
  };
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      for (int c = 0; c < colours; ++c)
        put(Sample(x, y, c, k.depth));
      if (alpha) put(AlphaAt(x, y));
    }
  std::vector<png_bytep> pointers;
  for (int y = 0; y < height; ++y)
    pointers.push_back(&rows[static_cast<std::size_t>(y * width * (colours + alpha) * bytes)]);
  png_write_image(png, pointers.data());
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  std::fclose(f);
  return test::ReadFileBytes(dir.Path("p.png"));
}

// What pixel (x, y) of a PngKind picture should read as.
Rgb ExpectedPng(const PngKind& k, int x, int y) {
  if (k.type == PNG_COLOR_TYPE_PALETTE) {
    const int i = Sample(x, y, 0, k.depth);
    if (k.trns && AlphaAt(i, 0) < 128) return BackColor;
    return {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(2 * i),
            static_cast<std::uint8_t>(255 - i)};
  }
  if ((k.type & PNG_COLOR_MASK_ALPHA) && AlphaAt(x, y) < 128) return BackColor;
  const bool colour = (k.type & PNG_COLOR_MASK_COLOR) != 0;
  const auto same = [&](int c) { return Sample(x, y, c, k.depth) == Sample(0, 0, c, k.depth); };
  if (k.trns && same(0) && (!colour || (same(1) && same(2)))) return BackColor;
  const auto at = [&](int c) { return Widened(Sample(x, y, colour ? c : 0, k.depth), k.depth); };
  return {at(0), at(1), at(2)};
}

PictureReadResult ReadBytes(WorkState& ws, const Bytes& bytes) {
  test::TempDir dir;
  test::WriteFileBytes(dir.Path("in"), bytes);
  return ReadPictureFile(ws, dir.Path("in"));
}

TEST(ReadPicture, PngOfEveryKind) {
  const PngKind kinds[] = {
      {"gray 1", PNG_COLOR_TYPE_GRAY, 1},
      {"gray 2", PNG_COLOR_TYPE_GRAY, 2},
      {"gray 4 with tRNS", PNG_COLOR_TYPE_GRAY, 4, false, true},
      {"gray 8", PNG_COLOR_TYPE_GRAY, 8},
      {"gray 16", PNG_COLOR_TYPE_GRAY, 16},
      {"gray alpha 8", PNG_COLOR_TYPE_GRAY_ALPHA, 8},
      {"gray alpha 16", PNG_COLOR_TYPE_GRAY_ALPHA, 16},
      {"rgb 8", PNG_COLOR_TYPE_RGB, 8},
      {"rgb 16 interlaced", PNG_COLOR_TYPE_RGB, 16, true},
      {"rgb 8 with tRNS", PNG_COLOR_TYPE_RGB, 8, false, true},
      {"rgba 8 interlaced", PNG_COLOR_TYPE_RGB_ALPHA, 8, true},
      {"rgba 16", PNG_COLOR_TYPE_RGB_ALPHA, 16},
      {"palette 1", PNG_COLOR_TYPE_PALETTE, 1},
      {"palette 2 interlaced", PNG_COLOR_TYPE_PALETTE, 2, true},
      {"palette 4 with tRNS", PNG_COLOR_TYPE_PALETTE, 4, false, true},
      {"palette 8", PNG_COLOR_TYPE_PALETTE, 8},
  };
  for (const PngKind& k : kinds) {
    auto ws = std::make_unique<WorkState>();
    const PictureReadResult read = ReadBytes(*ws, MakePng(k, 11, 9));
    ASSERT_TRUE(read.ok) << k.name << ": " << read.message;
    ASSERT_EQ(ws->BmpHeader.biWidth, 11) << k.name;
    ASSERT_EQ(ws->BmpHeader.biHeight, 9) << k.name;
    const bool indexed = k.type == PNG_COLOR_TYPE_PALETTE;
    EXPECT_EQ(ws->BmpIndexInfo.indexed, indexed) << k.name;
    for (int y = 0; y < 9; ++y)
      for (int x = 0; x < 11; ++x) {
        ASSERT_EQ(BmpPixel(*ws, x, y), ExpectedPng(k, x, y)) << k.name << " at " << x << "," << y;
        if (indexed) {
          ASSERT_EQ(ws->BmpIndices[static_cast<std::size_t>(x * RasterRows + y)],
                    Sample(x, y, 0, k.depth))
              << k.name;
        }
      }
    if (indexed && k.trns) {
      EXPECT_TRUE(ws->BmpIndexInfo.transparent[0]);
      EXPECT_TRUE(ws->BmpIndexInfo.transparent[1]);
      EXPECT_FALSE(ws->BmpIndexInfo.transparent[2]);
    }
  }
}

// Colour table entry i of the bitmaps below.
Rgb Entry(int i) {
  return {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(2 * i),
          static_cast<std::uint8_t>(255 - i)};
}
constexpr Rgb T = BackColor;  // a transparent pixel

struct BmpKind {
  const char* name;
  int bits, compression, header_size, width, height;  // negative height: top-down
  int table;                                          // colour table entries
  std::vector<std::uint32_t> masks;
  Bytes pixels;
  std::vector<Rgb> expected;  // top row first
  bool indexed = true;
};

Bytes MakeBmp(const BmpKind& k) {
  const bool core = k.header_size == 12;
  const std::size_t masks_after = k.header_size == 40 ? 4 * k.masks.size() : 0;
  const std::size_t table = static_cast<std::size_t>(k.table) * (core ? 3 : 4);
  const std::size_t offset = 14 + static_cast<std::size_t>(k.header_size) + masks_after + table;
  Bytes b(offset, 0);
  b[0] = 'B';
  b[1] = 'M';
  PutLE32(&b[10], static_cast<std::uint32_t>(offset));
  PutLE32(&b[14], static_cast<std::uint32_t>(k.header_size));
  if (core) {
    PutLE16(&b[18], static_cast<std::uint32_t>(k.width));
    PutLE16(&b[20], static_cast<std::uint32_t>(k.height));
    PutLE16(&b[22], 1);
    PutLE16(&b[24], static_cast<std::uint32_t>(k.bits));
  } else {
    PutLE32(&b[18], static_cast<std::uint32_t>(k.width));
    PutLE32(&b[22], static_cast<std::uint32_t>(k.height));
    PutLE16(&b[26], 1);
    PutLE16(&b[28], static_cast<std::uint32_t>(k.bits));
    PutLE32(&b[30], static_cast<std::uint32_t>(k.compression));
    PutLE32(&b[46], static_cast<std::uint32_t>(k.table));
  }
  const std::size_t masks_at = k.header_size == 40 ? 54 : 14 + 40;
  for (std::size_t i = 0; i < k.masks.size(); ++i)
    PutLE32(&b[masks_at + 4 * i], k.masks[i]);
  std::uint8_t* t = &b[offset - table];
  for (int i = 0; i < k.table; ++i, t += core ? 3 : 4) {
    const Rgb c = Entry(i);
    t[0] = c.b;
    t[1] = c.g;
    t[2] = c.r;
  }
  b.insert(b.end(), k.pixels.begin(), k.pixels.end());
  return b;
}

TEST(ReadPicture, BitmapKinds) {
  const auto E = Entry;
  const BmpKind kinds[] = {
      {"1 bit",
       1,
       0,
       40,
       3,
       2,
       2,
       {},
       {0x60, 0, 0, 0, 0xA0, 0, 0, 0},
       {E(1), E(0), E(1), E(0), E(1), E(1)}},
      {"1 bit, 12-byte header",
       1,
       0,
       12,
       2,
       2,
       2,
       {},
       {0x80, 0, 0, 0, 0x40, 0, 0, 0},
       {E(0), E(1), E(1), E(0)}},
      {"24 bits, 12-byte header",
       24,
       0,
       12,
       1,
       2,
       0,
       {},
       {1, 2, 3, 0, 4, 5, 6, 0},
       {{6, 5, 4}, {3, 2, 1}},
       false},
      {"4 bits",
       4,
       0,
       40,
       3,
       2,
       16,
       {},
       {0x12, 0x30, 0, 0, 0x5A, 0xF0, 0, 0},
       {E(5), E(10), E(15), E(1), E(2), E(3)}},
      {"8 bits top-down",
       8,
       0,
       40,
       3,
       -2,
       256,
       {},
       {7, 8, 9, 0, 200, 201, 202, 0},
       {E(7), E(8), E(9), E(200), E(201), E(202)}},
      {"RLE8 with delta and ends of line",
       8,
       1,
       40,
       4,
       3,
       256,
       {},
       {4, 5, 0, 0, 0, 2, 1, 0, 0, 3, 6, 7, 8, 0, 0, 0, 2, 9, 0, 1},
       {E(9), E(9), T, T, T, E(6), E(7), E(8), E(5), E(5), E(5), E(5)}},
      {"RLE4",
       4,
       2,
       40,
       4,
       2,
       16,
       {},
       {4, 0x12, 0, 0, 0, 3, 0x34, 0x50, 0, 1},
       {E(3), E(4), E(5), T, E(1), E(2), E(1), E(2)}},
      {"16 bits 5-5-5, top bit ignored",
       16,
       0,
       40,
       2,
       1,
       0,
       {},
       {0x01, 0x7C, 0x1F, 0xC1},
       {{255, 0, 8}, {132, 66, 255}},
       false},
      {"16 bits 5-6-5 masks",
       16,
       3,
       40,
       2,
       1,
       0,
       {0xF800, 0x07E0, 0x001F},
       {0xE0, 0x0F, 0x10, 0xFC},
       {{8, 255, 0}, {255, 130, 132}},
       false},
      {"32 bits: the fourth byte is no alpha",
       32,
       0,
       40,
       2,
       1,
       0,
       {},
       {1, 2, 3, 0, 4, 5, 6, 0},
       {{3, 2, 1}, {6, 5, 4}},
       false},
      {"32 bits, alpha mask in a V5 header",
       32,
       3,
       124,
       2,
       1,
       0,
       {0xFF0000, 0xFF00, 0xFF, 0xFF000000},
       {1, 2, 3, 127, 4, 5, 6, 128},
       {T, {6, 5, 4}},
       false},
  };
  for (const BmpKind& k : kinds) {
    auto ws = std::make_unique<WorkState>();
    const PictureReadResult read = ReadBytes(*ws, MakeBmp(k));
    ASSERT_TRUE(read.ok) << k.name << ": " << read.message;
    const int height = std::abs(k.height);
    ASSERT_EQ(ws->BmpHeader.biWidth, k.width) << k.name;
    ASSERT_EQ(ws->BmpHeader.biHeight, height) << k.name;
    EXPECT_EQ(ws->BmpIndexInfo.indexed, k.indexed) << k.name;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < k.width; ++x)
        EXPECT_EQ(BmpPixel(*ws, x, y), k.expected[static_cast<std::size_t>(y * k.width + x)])
            << k.name << " at " << x << "," << y;
  }
}

// Pixel (x, y) of the ImageMagick pictures (tests/data/make_imagemagick_inputs.sh).
Rgb MagickColour(int x, int y, bool alpha) {
  if (alpha && x == 0 && y == 0) return BackColor;
  const int k = (x + 3 * y) % 20;
  return {static_cast<std::uint8_t>(10 * k), static_cast<std::uint8_t>(255 - 12 * k),
          static_cast<std::uint8_t>(37 * k % 256)};
}

TEST(ReadPicture, WhatImageMagickWrites) {
  const struct {
    const char* file;
    bool indexed, alpha;
  } files[] = {
      {"im_indexed.png", true, false}, {"im_8bit.bmp", true, false},
      {"im_rle8.bmp", true, false},    {"im_32bit_alpha.bmp", false, true},
      {"im_rgba16.png", false, true},
  };
  for (const auto& f : files) {
    auto ws = std::make_unique<WorkState>();
    const PictureReadResult read =
        ReadPictureFile(*ws, std::string(PELGRIN_TEST_DATA_DIR) + "/pictures/" + f.file);
    ASSERT_TRUE(read.ok) << f.file << ": " << read.message;
    EXPECT_EQ(ws->BmpIndexInfo.indexed, f.indexed) << f.file;
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 7; ++x) {
        EXPECT_EQ(BmpPixel(*ws, x, y), MagickColour(x, y, f.alpha))
            << f.file << " " << x << "," << y;
        if (f.indexed) {
          const std::uint8_t index = ws->BmpIndices[static_cast<std::size_t>(x * RasterRows + y)];
          EXPECT_EQ(ws->BmpIndexInfo.palette[index], MagickColour(x, y, false)) << f.file;
        }
      }
  }
}

// A PNG chunk: length, type, data, CRC.
Bytes Chunk(const char* type, const Bytes& data) {
  Bytes c(8, 0);
  const auto n = static_cast<std::uint32_t>(data.size());
  c[0] = static_cast<std::uint8_t>(n >> 24);
  c[1] = static_cast<std::uint8_t>(n >> 16);
  c[2] = static_cast<std::uint8_t>(n >> 8);
  c[3] = static_cast<std::uint8_t>(n);
  std::copy(type, type + 4, c.begin() + 4);
  c.insert(c.end(), data.begin(), data.end());
  const auto crc = static_cast<std::uint32_t>(
      crc32(crc32(0, nullptr, 0), &c[4], static_cast<unsigned>(c.size() - 4)));
  for (int s = 24; s >= 0; s -= 8)
    c.push_back(static_cast<std::uint8_t>(crc >> s));
  return c;
}

TEST(ReadPicture, RefusalsSayWhyAndChangeNothing) {
  const PngKind palette8{"palette 8", PNG_COLOR_TYPE_PALETTE, 8};
  const Bytes good_png = MakePng(palette8, 8, 8);
  Bytes cut_png(good_png.begin(), good_png.end() - 30);
  Bytes bad_crc = good_png;
  bad_crc[bad_crc.size() - 20] ^= 0x55;  // inside IDAT
  // 60000 x 60000 pixels declared, in a file of a few dozen bytes.
  Bytes huge_png(good_png.begin(), good_png.begin() + 8);
  const Bytes ihdr = {0, 0, 0xEA, 0x60, 0, 0, 0xEA, 0x60, 8, 2, 0, 0, 0};
  for (const Bytes& c : {Chunk("IHDR", ihdr), Chunk("IEND", {})})
    huge_png.insert(huge_png.end(), c.begin(), c.end());
  BmpKind eight{"", 8, 0, 40, 3, 2, 256, {}, {7, 8, 9, 0, 200, 201, 202, 0}, {}};
  BmpKind huge_bmp = eight;
  huge_bmp.width = huge_bmp.height = 60000;
  BmpKind no_end = {"", 8, 1, 40, 4, 3, 256, {}, {4, 5, 0, 0, 2, 9}, {}};
  BmpKind short_table = eight;
  short_table.table = 4;  // pixels use index 200
  BmpKind gap_mask = {"", 16, 3, 40, 1, 1, 0, {0xF00F, 0x0FF0, 0}, {0, 0, 0, 0}, {}};
  Bytes cut_table = MakeBmp(eight);
  cut_table.resize(300);
  const struct {
    const char* name;
    Bytes file;
    std::string message;  // the part after the path
  } cases[] = {
      {"png cut short", cut_png, " is a damaged PNG picture"},
      {"png with a bad checksum", bad_crc, " is a damaged PNG picture"},
      {"png of 60000 x 60000", huge_png, " is larger than 839 x 649 pixels."},
      {"bmp of 60000 x 60000", MakeBmp(huge_bmp), " is larger than 839 x 649 pixels."},
      {"rle without its end", MakeBmp(no_end), " is a damaged bitmap (its run-length data ends"},
      {"index beyond the table", MakeBmp(short_table),
       " is a damaged bitmap (it uses a colour index"},
      {"mask with a gap", MakeBmp(gap_mask), " is a damaged bitmap (its colour masks"},
      {"table cut short", cut_table, " is a damaged bitmap (its colour table is cut short)."},
      {"neither", Bytes{'G', 'I', 'F', '8', '9', 'a'},
       " is neither a PNG picture nor a Windows bitmap."},
  };
  for (const auto& c : cases) {
    test::TempDir dir;
    test::WriteFileBytes(dir.Path("in"), c.file);
    auto ws = std::make_unique<WorkState>();
    ws->BmpPixels.fill(7);
    ws->BmpIndexInfo.indexed = true;
    const PictureReadResult read = ReadPictureFile(*ws, dir.Path("in"));
    EXPECT_FALSE(read.ok) << c.name;
    EXPECT_EQ(read.message.rfind(dir.Path("in") + c.message, 0), 0u)
        << c.name << ": " << read.message;
    EXPECT_EQ(ws->BmpPixels[0], 7) << c.name;
    EXPECT_EQ(ws->BmpHeader.biWidth, 0) << c.name;
    EXPECT_TRUE(ws->BmpIndexInfo.indexed) << c.name;
  }
}

TEST(WritePicture, IndexedPngKeepsEveryIndexAndTheShownPalette) {
  auto ws = std::make_unique<WorkState>();
  ClearRaster(*ws);
  for (int i = 0; i < 256; ++i)
    ws->ActivePalette[static_cast<std::size_t>(i)] = Entry(i);
  ws->CurHeader.MaxX = 16;  // the last column stays transparent but one cell
  ws->CurHeader.MaxY = 15;
  for (int x = 0; x < 16; ++x)
    for (int y = 0; y < 16; ++y)
      ws->Raster[static_cast<std::size_t>(x * RasterRows + y)] =
          static_cast<std::uint8_t>(16 * y + x);
  ws->Raster[16 * RasterRows] = 3;
  test::TempDir dir;
  test::RecordingReporter r;
  ASSERT_TRUE(WriteRasterPicture(*ws, dir.Path("o.PNG"), r));
  EXPECT_EQ(test::ReadFileBytes(dir.Path("o.PNG"))[1], 'P');
  auto back = std::make_unique<WorkState>();
  ASSERT_TRUE(ReadPictureFile(*back, dir.Path("o.PNG")).ok);
  ASSERT_TRUE(back->BmpIndexInfo.indexed);
  EXPECT_EQ(back->BmpIndexInfo.entries, 256);
  EXPECT_EQ(back->BmpHeader.biWidth, 17);
  for (int x = 0; x < 17; ++x)
    for (int y = 0; y < 16; ++y)
      ASSERT_EQ(back->BmpIndices[static_cast<std::size_t>(x * RasterRows + y)],
                ws->Raster[static_cast<std::size_t>(x * RasterRows + y)]);
  for (int i = 0; i < 255; ++i) {
    EXPECT_EQ(back->BmpIndexInfo.palette[static_cast<std::size_t>(i)], Entry(i));
    EXPECT_FALSE(back->BmpIndexInfo.transparent[static_cast<std::size_t>(i)]);
  }
  EXPECT_EQ(back->BmpIndexInfo.palette[255], BackColor);
  EXPECT_TRUE(back->BmpIndexInfo.transparent[255]);
  EXPECT_EQ(BmpPixel(*back, 15, 15), BackColor);
  EXPECT_TRUE(r.errors.empty());
  // A frame the raster cannot hold is refused, and the older file stays.
  ws->CurHeader.MaxX = RasterCols;
  EXPECT_FALSE(WriteRasterPicture(*ws, dir.Path("o.PNG"), r));
  EXPECT_EQ(r.errors, std::vector<std::string>{
                          "The image is 840 x 16 pixels, larger than the 839 x 649 a picture "
                          "can hold: nothing was written to " +
                          dir.Path("o.PNG") + "."});
  EXPECT_TRUE(ReadPictureFile(*back, dir.Path("o.PNG")).ok);
}

TEST(WritePicture, ViewsAsRgbPngAndBitmapsByName) {
  Surface s(3, 2, PackRGB(1, 2, 3));
  s.SetPixel(2, 0, PackRGB(200, 100, 50));
  test::TempDir dir;
  test::RecordingReporter r;
  ASSERT_TRUE(SaveSurfacePicture(s, dir.Path("v.png"), r));
  ASSERT_TRUE(SaveSurfacePicture(s, dir.Path("v.bmp"), r));
  for (const char* name : {"v.png", "v.bmp"}) {
    auto ws = std::make_unique<WorkState>();
    ASSERT_TRUE(ReadPictureFile(*ws, dir.Path(name)).ok) << name;
    EXPECT_FALSE(ws->BmpIndexInfo.indexed) << name;
    EXPECT_EQ(BmpPixel(*ws, 2, 0), (Rgb{200, 100, 50})) << name;
    EXPECT_EQ(BmpPixel(*ws, 0, 1), (Rgb{1, 2, 3})) << name;
  }
  EXPECT_EQ(test::ReadFileBytes(dir.Path("v.bmp"))[0], 'B');
  EXPECT_FALSE(SaveSurfacePicture(s, dir.Path("no/v.png"), r));
  EXPECT_EQ(r.errors, std::vector<std::string>{"Could not open png file " + dir.Path("no/v.png")});
}

}  // namespace
}  // namespace pelgrin
