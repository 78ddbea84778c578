// The layout scan: what it finds in odd archives, and what it refuses.
#include <gtest/gtest.h>

#include "archive/layout.h"
#include "io/byte_order.h"
#include "shp/archive_builder.h"
#include "support/test_support.h"

namespace pelgrin {
namespace {

using test::Bytes;
using Kind = LayoutBlock::Kind;

Bytes Plain() {  // 2 x 1, one line
  return test::Record(test::Header(2, 1, 0, 0, 1, 0), {5, 20, 21, 0});
}

Bytes Archive(std::vector<ArchiveImage> images) {
  return BuildArchive(images);
}

ArchiveImage Image(const Bytes& record, int same_as = -1, bool palette = false) {
  ArchiveImage image;
  image.record = record;
  image.same_as = same_as;
  image.has_palette = palette;
  if (palette) image.palette = {{3, 1, 2, 3}};
  return image;
}

// Sets a 32-bit field of the archive.
Bytes With(Bytes bytes, std::size_t at, std::int32_t value) {
  PutLE32(&bytes[at], static_cast<std::uint32_t>(value));
  return bytes;
}

Bytes Appended(Bytes bytes, const Bytes& more) {
  bytes.insert(bytes.end(), more.begin(), more.end());
  return bytes;
}

Bytes Inserted(Bytes bytes, std::size_t at, std::uint8_t byte) {
  bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(at), byte);
  return bytes;
}

TEST(LayoutTest, BlocksInFileOrder) {
  const Bytes two = Archive({Image(Plain(), -1, true), Image(Plain(), 0)});
  // Record 0 at 24 (28 bytes), its palette record at 52 (8 bytes).
  struct Case {
    const char* name;
    Bytes bytes;
    std::vector<Kind> kinds;
    std::vector<std::int64_t> lengths;
  };
  // The palette record (at 16) before the record (at 24).
  const Bytes palette_first =
      Appended(Appended({0x31, 0x2E, 0x31, 0x30, 1, 0, 0, 0, 24, 0, 0, 0, 16, 0, 0, 0},
                        {1, 0, 0, 0, 3, 1, 2, 3}),
               Plain());
  const Case cases[] = {
      {"record and palette", two, {Kind::kRecord, Kind::kPalette}, {28, 8}},
      {"trailing bytes",
       Appended(two, {9, 9}),
       {Kind::kRecord, Kind::kPalette, Kind::kGap},
       {28, 8, 2}},
      {"gap before the first record",
       With(Inserted(Archive({Image(Plain())}), 16, 0), 8, 17),
       {Kind::kGap, Kind::kRecord},
       {1, 28}},
      {"no images, bytes after", Appended(Archive({}), {1, 2, 3}), {Kind::kGap}, {3}},
      {"palette record first", palette_first, {Kind::kPalette, Kind::kRecord}, {8, 28}},
      {"a record running into the next ends there",
       With(two, 12, 40),
       {Kind::kRecord, Kind::kPalette, Kind::kGap, Kind::kPalette},
       {16, 8, 4, 8}},
      {"absent image: header alone",
       Archive({Image(test::Record(test::Header(2, 1, 700, 0, 1, 0), {0, 0}))}),
       {Kind::kRecord, Kind::kGap},
       {24, 2}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ArchiveLayout layout;
    std::string problem;
    ASSERT_TRUE(ScanLayout(c.bytes, layout, problem)) << problem;
    ASSERT_EQ(layout.blocks.size(), c.kinds.size());
    for (std::size_t i = 0; i < c.kinds.size(); ++i) {
      EXPECT_EQ(layout.blocks[i].kind, c.kinds[i]) << i;
      EXPECT_EQ(layout.blocks[i].length, c.lengths[i]) << i;
    }
  }
}

TEST(LayoutTest, SharedRecordsAreOneRecord) {
  ArchiveLayout layout;
  std::string problem;
  ASSERT_TRUE(ScanLayout(Archive({Image(Plain(), -1, true), Image(Plain()), Image(Plain(), 0)}),
                         layout, problem));
  ASSERT_EQ(layout.records.size(), 2u);
  ASSERT_EQ(layout.palettes.size(), 1u);
  EXPECT_EQ(layout.entries[2].record, 0);
  EXPECT_EQ(layout.entries[2].palette, 0);
  EXPECT_EQ(layout.entries[1].palette, -1);
  EXPECT_EQ(layout.records[1].first_entry, 1);
}

TEST(LayoutTest, RefusesDamagedArchives) {
  const Bytes one = Archive({Image(Plain(), -1, true)});  // record at 16, palette at 44
  struct Case {
    const char* name;
    Bytes bytes;
    const char* problem;
  };
  const Case cases[] = {
      {"cut header", {0x31, 0x2E}, "file header is cut off"},
      {"count over 10000", With(one, 4, 10001), "image count 10001 lies outside 0..10000"},
      {"negative count", With(one, 4, -1), "image count -1 lies outside"},
      {"index past the end", With(one, 4, 9), "index runs past the end"},
      {"record offset in the index", With(one, 8, 12), "offset of entry #1 lies inside the index"},
      {"negative record offset", With(one, 8, -5), "offset of entry #1 lies inside the index"},
      {"palette offset in the index", With(one, 12, 4), "offset of entry #1 lies inside"},
      {"record past the end", With(one, 8, 40), "image record of entry #1 runs past the end"},
      {"lines past the end", Bytes(one.begin(), one.begin() + 42),
       "image record of entry #1 runs past"},
      {"palette past the end", With(one, 44, 3), "palette record of entry #1 runs past the end"},
      {"record and palette record at one byte",
       With(Archive({Image(test::Record(test::Header(1, 1, 0, 0, 0, 0), {0}), -1, true)}), 12, 16),
       "an image record and a palette record start at byte 16"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ArchiveLayout layout;
    std::string problem;
    EXPECT_FALSE(ScanLayout(c.bytes, layout, problem));
    EXPECT_NE(problem.find(c.problem), std::string::npos) << problem;
  }
}

TEST(LayoutTest, MeasuresLinesAsTheDecoderReadsThem) {
  struct Case {
    const char* name;
    ImageHeader header;
    Bytes codes;
    std::optional<std::int64_t> length;
  };
  const Case cases[] = {
      {"one line", test::Header(3, 1, 0, 0, 2, 0), {5, 1, 2, 0, 9}, 4},
      {"skip, repeat, literal", test::Header(9, 2, 0, 0, 8, 1), {1, 3, 6, 7, 0, 3, 8, 0, 9}, 8},
      {"bottom above top reads one line", test::Header(3, 3, 0, 2, 2, 0), {0, 0}, 1},
      {"negative top counts from the box", test::Header(3, 3, 0, -2, 2, 0), {0, 0, 0, 7}, 3},
      {"cut inside a literal", test::Header(3, 1, 0, 0, 2, 0), {7, 1, 2}, std::nullopt},
      {"missing end of line", test::Header(3, 2, 0, 0, 2, 1), {0, 4, 5}, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(MeasureLines(c.codes, c.header), c.length);
  }
}

}  // namespace
}  // namespace pelgrin
