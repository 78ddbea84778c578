// The round-trip law: pack(unpack(x)) is x, byte for byte, for every archive unpack takes,
// whatever picture format and palette the pictures were written with.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "io/byte_order.h"
#include "io/files.h"
#include "picture/bmp_file.h"
#include "shp/archive_builder.h"
#include "support/test_support.h"

namespace pelgrin {
namespace {

using test::Bytes;

ArchiveImage Image(const Bytes& record, int same_as = -1,
                   std::vector<std::array<std::uint8_t, 4>> palette = {}) {
  ArchiveImage image;
  image.record = record;
  image.same_as = same_as;
  image.has_palette = !palette.empty();
  image.palette = std::move(palette);
  return image;
}

// Inserts bytes at position at, moving every offset of the index that points past it.
Bytes WithGap(Bytes archive, std::size_t at, const Bytes& gap) {
  const std::int32_t count = GetLE32(&archive[4]);
  for (std::int32_t i = 0; i < 2 * count; ++i) {
    std::uint8_t* field = &archive[8 + 4 * static_cast<std::size_t>(i)];
    if (GetLE32(field) >= static_cast<std::int32_t>(at))
      PutLE32(field,
              static_cast<std::uint32_t>(GetLE32(field) + static_cast<std::int32_t>(gap.size())));
  }
  archive.insert(archive.begin() + static_cast<std::ptrdiff_t>(at), gap.begin(), gap.end());
  return archive;
}

Bytes SetField(Bytes bytes, std::size_t at, std::int32_t value) {
  PutLE32(&bytes[at], static_cast<std::uint32_t>(value));
  return bytes;
}

// Own palettes, shared entries, an absent entry, negative Left/Top with X/Y offsets,
// records not written by our encoder, a box beyond the frame, a frame beyond the raster.
Bytes OddArchive() {
  ImageHeader offset = test::Header(3, 1, 0, 0, 2, 0);
  offset.OffsWord = 0x00030002;
  ImageHeader shifted = test::Header(4, 3, -1, -2, 1, 0);
  shifted.OffsWord = static_cast<std::int32_t>(0xFFFE0007u);
  const std::vector<ArchiveImage> images = {
      Image(test::Record(test::Header(3, 2, 0, 0, 2, 1), {7, 20, 21, 22, 0, 1, 2, 3, 23, 0}), -1,
            {{20, 63, 0, 0}, {22, 63, 0, 0}}),
      Image(test::Record(test::Header(2, 1, 700, 0, 1, 0), {0})),
      Image(test::Record(shifted, {5, 24, 25, 0})),  // its lines run into the next record
      Image({}, 0),
      Image(test::Record(test::Header(3, 1, 0, 0, 2, 0), {3, 20, 3, 20, 3, 20, 0})),      // no runs
      Image(test::Record(test::Header(3, 1, 0, 0, 2, 0), {1, 0, 2, 9, 3, 30, 1, 0, 0})),  // skip 0
      Image(test::Record(test::Header(2, 2, 0, 0, 4, 1), {11, 1, 2, 3, 4, 5, 0, 0})),  // wide box
      Image(test::Record(test::Header(1000, 700, 830, 640, 840, 641), {0, 0})),
      Image(test::Record(offset, {7, 20, 21, 22, 0}), -1, {{21, 1, 2, 3}}),
  };
  Bytes archive = BuildArchive(images, {'S', 'H', 'P', '!'});
  archive = WithGap(archive, archive.size() - 8, {0xAA, 0xBB, 0xCC});  // before the last palette
  archive = WithGap(archive, 8 + 8 * images.size() + 34, {1, 2, 3, 4, 5});  // after record 1
  archive.insert(archive.end(), {0xEE, 0xEE});                              // trailing bytes
  return SetField(archive, 8 + 8 * 2 + 4, -7);  // entry 3: no palette, stored as -7
}

// The records in reverse order after the index, the palette record before its record.
Bytes ReversedArchive() {
  const Bytes a = test::Record(test::Header(2, 1, 0, 0, 1, 0), {5, 20, 21, 0});
  const Bytes b = test::Record(test::Header(1, 1, 0, 0, 0, 0), {3, 30, 0});
  const Bytes pal = {1, 0, 0, 0, 30, 9, 9, 9};
  Bytes out = {0x31, 0x2E, 0x31, 0x30, 2, 0, 0, 0};
  const auto at = [](std::size_t v) { return static_cast<std::uint8_t>(v); };
  const std::size_t b_at = 24, pal_at = b_at + b.size(), a_at = pal_at + pal.size();
  out.insert(out.end(), {at(a_at), 0, 0, 0, 0, 0, 0, 0, at(b_at), 0, 0, 0, at(pal_at), 0, 0, 0});
  for (const Bytes* part : {&b, &pal, &a})
    out.insert(out.end(), part->begin(), part->end());
  return out;
}

class RoundTripTest : public ::testing::Test {
 protected:
  std::string Bitmap(const std::string& name, int width, int height, int seed) {
    BmpHeaderRecord header;
    test::RecordingReporter quiet;
    const auto fill = [&](std::int64_t y, std::uint8_t* bgr) {
      for (int x = 0; x < width; ++x) {
        const bool clear = (x + y + seed) % 5 == 0;
        const Rgb c =
            clear ? BackColor : DefaultPalette[static_cast<std::size_t>(16 + (x * seed + y) % 200)];
        bgr[3 * x] = c.b;
        bgr[3 * x + 1] = c.g;
        bgr[3 * x + 2] = c.r;
      }
    };
    WriteBmp24(dir_.Path(name), width, height, header, fill, "%s", quiet);
    return dir_.Path(name);
  }

  // An archive made by convert, append and replace.
  std::string WrittenByTheProgram() {
    const std::string shp = dir_.Path("written.shp");
    const auto run = [](const std::vector<std::string>& args) {
      const auto r = test::RunCli(args);
      EXPECT_EQ(r.status, 0) << r.err;
    };
    run({"convert", Bitmap("a.bmp", 30, 20, 1), dir_.Path("a.sdf"), "--shp", shp});
    run({"convert", Bitmap("b.bmp", 17, 41, 3), dir_.Path("b.sdf")});
    run({"convert", Bitmap("c.bmp", 64, 9, 7), dir_.Path("c.sdf")});
    run({"append", shp, dir_.Path("b.sdf")});
    run({"append", shp, dir_.Path("c.sdf")});
    run({"replace", shp, "1", dir_.Path("c.sdf")});
    return shp;
  }

  std::string Written(const std::string& name, const Bytes& bytes) {
    test::WriteFileBytes(dir_.Path(name), bytes);
    return dir_.Path(name);
  }

  test::TempDir dir_;
};

TEST_F(RoundTripTest, PackOfUnpackGivesBackTheArchive) {
  // A palette whose colours repeat: pictures cannot tell its indices apart.
  std::string repeating = "JASC-PAL\n0100\n256\n";
  for (int i = 0; i < 256; ++i)
    repeating += std::to_string(i % 4 * 60) + " 0 " + std::to_string(i % 3 * 90) + "\n";
  test::WriteFileText(dir_.Path("repeating.pal"), repeating);
  const std::vector<std::string> archives = {
      PELGRIN_DEMO_SHP,
      Written("odd.shp", OddArchive()),
      Written("reversed.shp", ReversedArchive()),
      Written("empty.shp", BuildArchive({})),
      WrittenByTheProgram(),
  };
  const std::vector<std::vector<std::string>> options = {
      {},
      {"--format", "bmp"},
      {"--full-pal"},
      {"--palette", dir_.Path("repeating.pal")},
      {"--format", "bmp", "--palette", dir_.Path("repeating.pal")},
  };
  int n = 0;
  for (const std::string& shp : archives) {
    for (const auto& extra : options) {
      SCOPED_TRACE(shp + " " + (extra.empty() ? "" : extra[0]) + " #" + std::to_string(n));
      const std::string folder = dir_.Path("folder" + std::to_string(n));
      const std::string out = dir_.Path("out" + std::to_string(n++) + ".shp");
      std::vector<std::string> args = {"unpack", shp, folder};
      args.insert(args.end(), extra.begin(), extra.end());
      const auto unpacked = test::RunCli(args);
      ASSERT_EQ(unpacked.status, 0) << unpacked.err;
      EXPECT_EQ(unpacked.err, "");  // no progress line in a pipe
      const auto packed = test::RunCli({"pack", folder, out});
      ASSERT_EQ(packed.status, 0) << packed.err;
      EXPECT_EQ(packed.out, "0 edited pictures converted\n");
      EXPECT_EQ(test::ReadFileBytes(out), test::ReadFileBytes(shp));
    }
  }
}

// Every damaged file the other tests keep: unpack takes it and the law holds, or unpack
// refuses it and leaves no folder behind.
TEST_F(RoundTripTest, KeptDamagedFilesRoundTripOrAreRefused) {
  int n = 0, taken = 0;
  for (const char* sub : {"/shp", "/transfer"}) {
    for (const auto& file :
         std::filesystem::directory_iterator(PELGRIN_TEST_DATA_DIR + std::string(sub))) {
      const std::string shp = file.path().string();
      SCOPED_TRACE(shp);
      const std::string folder = dir_.Path("f" + std::to_string(n));
      const std::string out = dir_.Path("o" + std::to_string(n++));
      const auto unpacked = test::RunCli({"unpack", shp, folder});
      if (unpacked.status != 0) {
        EXPECT_EQ(unpacked.status, 1);
        EXPECT_NE(unpacked.err.find(shp + " is damaged: "), std::string::npos) << unpacked.err;
        EXPECT_FALSE(std::filesystem::exists(folder));
        continue;
      }
      ++taken;
      ASSERT_EQ(test::RunCli({"pack", folder, out}).status, 0);
      EXPECT_EQ(test::ReadFileBytes(out), test::ReadFileBytes(shp));
    }
  }
  EXPECT_GT(taken, 0);
}

}  // namespace
}  // namespace pelgrin
