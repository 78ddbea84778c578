// Reading the archive's fields: byte order, signs, and image palette records.
#include <gtest/gtest.h>

#include <memory>

#include "io/byte_order.h"
#include "io/files.h"
#include "shp/archive_builder.h"
#include "shp/shp_format.h"
#include "support/test_support.h"

namespace pelgrin {
namespace {

using test::Bytes;

TEST(ShpFields, WordsAndLongsAreLittleEndianAndLongsSigned) {
  test::TempDir dir;
  const std::string path = dir.Path("fields.bin");
  test::WriteFileBytes(path, {0x34, 0x12, 0xFF, 0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0x01, 0x02, 0x03});
  InFile f;
  ASSERT_TRUE(f.Open(path));
  EXPECT_EQ(ReadWord(f), 0x1234);
  EXPECT_EQ(ReadWord(f), 65535);
  EXPECT_EQ(ReadLong(f), -2);
  // A field cut off by the end of the file reads its missing bytes as 0.
  EXPECT_EQ(ReadLong(f), 0x030201);
  EXPECT_EQ(ReadLong(f), 0);
}

TEST(ShpFields, HeaderKeepsUnsignedSizesAndSignedBox) {
  Bytes raw = test::HeaderBytes(test::Header(1, 1, 0, 0, 0, 0));
  raw[0] = raw[1] = 0xFF;  // MaxY 65535
  PutLE32(&raw[8], static_cast<std::uint32_t>(-5));
  PutLE32(&raw[4], 0xFFFF0001u);
  std::array<std::uint8_t, 24> bytes;
  std::copy(raw.begin(), raw.end(), bytes.begin());
  const ImageHeader h = ParseImageHeader(bytes);
  EXPECT_EQ(h.MaxY, 65535);
  EXPECT_EQ(h.Left, -5);
  EXPECT_EQ(h.OffsWord, static_cast<std::int32_t>(0xFFFF0001u));
}

// Builds a one-image archive whose image carries the given palette record entries.
std::string ArchiveWithPalette(const test::TempDir& dir,
                               const std::vector<std::array<std::uint8_t, 4>>& entries) {
  ArchiveImage image;
  image.record = test::Record(test::Header(1, 1, 0, 0, 0, 0), {0});
  image.has_palette = true;
  image.palette = entries;
  const std::string path = dir.Path("pal.shp");
  test::WriteFileBytes(path, BuildArchive({image}));
  return path;
}

TEST(ImagePalette, EntriesAreSixBitTimesFourWithWrapAndLaterEntriesWin) {
  struct Case {
    const char* name;
    std::vector<std::array<std::uint8_t, 4>> entries;
    int index;
    Rgb expected;
  };
  const Case cases[] = {
      {"scaled", {{7, 63, 1, 0}}, 7, {252, 4, 0}},
      {"wraps above 63", {{7, 64, 65, 127}}, 7, {0, 4, 252}},
      {"later entry wins", {{5, 1, 1, 1}, {5, 2, 3, 4}}, 5, {8, 12, 16}},
      {"unlisted stays black", {{5, 1, 1, 1}}, 6, {0, 0, 0}},
      {"no entries", {}, 0, {0, 0, 0}},
  };
  for (const Case& c : cases) {
    test::TempDir dir;
    auto ws = std::make_unique<WorkState>();
    ws->ActivePalette.fill({9, 9, 9});
    InFile f;
    ASSERT_TRUE(f.Open(ArchiveWithPalette(dir, c.entries)));
    ws->ImageCount = ReadImageCount(f);
    ReadIndex(f, *ws, ws->ImageCount);
    EXPECT_EQ(ReadImagePalette(f, *ws, 0), 0) << c.name;
    EXPECT_EQ(ws->ActivePalette[static_cast<std::size_t>(c.index)], c.expected) << c.name;
  }
}

TEST(ImagePalette, EntryOutsideTheFileChangesNothing) {
  auto ws = std::make_unique<WorkState>();
  ws->ImageCount = 1;
  ws->ActivePalette.fill({9, 9, 9});
  InFile f;  // never read
  EXPECT_EQ(ReadImagePalette(f, *ws, 1), 1);
  EXPECT_EQ(ReadImagePalette(f, *ws, -1), 1);
  EXPECT_EQ(ws->ActivePalette[0], (Rgb{9, 9, 9}));
}

TEST(ImagePalette, HugeCountStopsAtTheEndOfTheFile) {
  test::TempDir dir;
  const std::string path = dir.Path("p.shp");
  Bytes bytes = {0, 0,  0,  0,  1, 0, 0,    0,    16,   0,
                 0, 0,  16, 0,  0, 0, 0xFF, 0xFF, 0xFF, 0x7F,  // count 2^31 - 1
                 3, 10, 20, 30, 4, 1};                         // one whole entry, one cut off
  test::WriteFileBytes(path, bytes);
  auto ws = std::make_unique<WorkState>();
  InFile f;
  ASSERT_TRUE(f.Open(path));
  ws->ImageCount = ReadImageCount(f);
  ReadIndex(f, *ws, ws->ImageCount);
  EXPECT_EQ(ReadImagePalette(f, *ws, 0), 0);
  EXPECT_EQ(ws->ActivePalette[3], (Rgb{40, 80, 120}));
  EXPECT_EQ(ws->ActivePalette[4], (Rgb{0, 0, 0}));
}

}  // namespace
}  // namespace pelgrin
