// pelgrin-cli convert, replace and append, end to end.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <set>

#include "convert/color_match.h"
#include "convert/convert.h"
#include "io/byte_order.h"
#include "io/files.h"
#include "io/text.h"
#include "palette/palette_file.h"
#include "picture/bmp_file.h"
#include "shp/archive_builder.h"
#include "shp/encode.h"
#include "shp/rebuild.h"
#include "support/test_support.h"

namespace pelgrin {
namespace {

using test::Bytes;

class CliEditTest : public ::testing::Test {
 protected:
  // A width x height bitmap whose pixel (x, y) is colour(x, y).
  template <typename Colour>
  std::string Bitmap(const std::string& name, int width, int height, Colour colour) {
    BmpHeaderRecord header;
    test::RecordingReporter quiet;
    const auto fill = [&](std::int64_t y, std::uint8_t* bgr) {
      for (int x = 0; x < width; ++x) {
        const Rgb c = colour(x, static_cast<int>(y));
        bgr[3 * x] = c.b;
        bgr[3 * x + 1] = c.g;
        bgr[3 * x + 2] = c.r;
      }
    };
    WriteBmp24(dir_.Path(name), width, height, header, fill, "%s", quiet);
    return dir_.Path(name);
  }
  std::set<std::string> Files() const {
    std::set<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir_.Path()))
      names.insert(e.path().filename().string());
    return names;
  }
  static ArchiveImage Image(const Bytes& record) {
    ArchiveImage image;
    image.record = record;
    return image;
  }

  test::TempDir dir_;
};

TEST_F(CliEditTest, ConvertWritesTheRecordAndTheOneImageFile) {
  test::WriteFileText(dir_.Path("p.pal"), "palette\n\n2\n10 20 30\n200 100 50\n");
  const Rgb c0{10, 20, 30}, c1{200, 100, 50};
  const std::string bmp = Bitmap("in.bmp", 4, 2, [&](int x, int y) {
    if (y == 0) return x < 3 ? c1 : BackColor;
    return x == 1 ? c0 : BackColor;
  });
  const auto r = test::RunCli({"convert", bmp, dir_.Path("out.sdf"), "--shp", dir_.Path("out.shp"),
                               "--palette", dir_.Path("p.pal")});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out + r.err, "");
  const Bytes record = test::Record(test::Header(4, 2, 0, 0, 2, 1), {6, 1, 0, 1, 1, 3, 0, 0});
  EXPECT_EQ(test::ReadFileBytes(dir_.Path("out.sdf")), record);
  // Opened again, the one-image file shows the converted colours (to 6 bits).
  ASSERT_EQ(test::RunCli({"export", dir_.Path("out.shp"), "1", dir_.Path("back.bmp")}).status, 0);
  auto ws = std::make_unique<WorkState>();
  ASSERT_EQ(ReadBmpFile(*ws, dir_.Path("back.bmp")), BmpReadResult::kOk);
  EXPECT_EQ(BmpPixel(*ws, 0, 0), (Rgb{200, 100, 48}));
  EXPECT_EQ(BmpPixel(*ws, 1, 1), (Rgb{8, 20, 28}));
}

TEST_F(CliEditTest, NoFlashAvoidsTheFlashingIndices) {
  const std::string bmp = Bitmap("fire.bmp", 1, 1, [](int, int) { return DefaultPalette[120]; });
  for (const bool no_flash : {false, true}) {
    std::vector<std::string> args = {"convert", bmp, dir_.Path("f.sdf")};
    if (no_flash) args.push_back("--no-flash");
    ASSERT_EQ(test::RunCli(args).status, 0);
    const Bytes record = test::ReadFileBytes(dir_.Path("f.sdf"));
    ASSERT_EQ(record.size(), 27u);
    EXPECT_EQ(record[25] == 120, !no_flash);
    EXPECT_EQ(IsFlashIndex(record[25]), !no_flash);
  }
}

// Export, convert and replace of an image the encoder wrote gives back the same archive;
// replace and append write nothing but their output.
TEST_F(CliEditTest, ExportConvertReplaceRoundTrip) {
  std::vector<std::uint8_t> own;  // indices whose colour no lower index has
  for (int i = 30; own.size() < 3; ++i)
    if (MatchColorLinear(DefaultPalette, false, DefaultPalette[static_cast<std::size_t>(i)]) == i)
      own.push_back(static_cast<std::uint8_t>(i));
  auto ws = std::make_unique<WorkState>();
  ClearRaster(*ws);
  ws->CurHeader = test::Header(12, 6, 1, 0, 10, 5);
  for (int x = 1; x <= 10; ++x)
    for (int y = 0; y <= 5; ++y)
      if ((x + y) % 4 != 0 || x == 10 || y == 5)
        ws->Raster[static_cast<std::size_t>(x) * RasterRows + static_cast<std::size_t>(y)] =
            own[static_cast<std::size_t>(x * y % 3)];
  Bytes record;
  EncodeImage(*ws, record);
  const std::string shp = dir_.Path("units.shp");
  const Bytes first = test::Record(test::Header(1, 1, 0, 0, 0, 0), {3, 5, 0});
  const Bytes archive = BuildArchive({Image(first), Image(record)});
  test::WriteFileBytes(shp, archive);
  ASSERT_EQ(test::RunCli({"export", shp, "2", dir_.Path("two.bmp")}).status, 0);
  ASSERT_EQ(test::RunCli({"convert", dir_.Path("two.bmp"), dir_.Path("two.sdf")}).status, 0);
  ASSERT_EQ(test::RunCli({"replace", shp, "2", dir_.Path("two.sdf")}).status, 0);
  EXPECT_EQ(test::ReadFileBytes(dir_.Path("Bignew.shp")), archive);

  // The record under the first image's header, and the record appended.
  Bytes kept(first.begin(), first.begin() + 24);
  kept.insert(kept.end(), record.begin() + 24, record.end());
  const auto r = test::RunCli({"replace", shp, "1", dir_.Path("two.sdf"), "--keep-header"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out + r.err, "");
  EXPECT_EQ(test::ReadFileBytes(dir_.Path("Bignew.shp")),
            BuildArchive({Image(kept), Image(record)}));
  ASSERT_EQ(test::RunCli({"append", shp, dir_.Path("two.sdf"), "--out", dir_.Path("a.shp")}).status,
            0);
  EXPECT_EQ(test::ReadFileBytes(dir_.Path("a.shp")),
            BuildArchive({Image(first), Image(record), Image(record)}));
  EXPECT_EQ(Files(),
            (std::set<std::string>{"units.shp", "two.bmp", "two.sdf", "Bignew.shp", "a.shp"}));
}

TEST_F(CliEditTest, ConcurrentWritersOfOneArchiveBothTakeEffect) {
  const std::string shp = dir_.Path("units.shp");
  const std::string sdf = dir_.Path("r.sdf");
  const Bytes record = test::Record(test::Header(1, 1, 0, 0, 0, 0), {3, 6, 0});
  test::WriteFileBytes(sdf, record);
  const std::string append =
      test::CliCommand({"append", shp, sdf, "--out", shp}) + " >/dev/null 2>&1";
  for (int attempt = 0; attempt < 10; ++attempt) {
    test::WriteFileBytes(shp, BuildArchive({Image(record)}));
    const std::string both = "(" + append + " & " + append + " & wait)";
    ASSERT_EQ(std::system(both.c_str()), 0);
    EXPECT_EQ(test::ReadFileBytes(shp), BuildArchive({Image(record), Image(record), Image(record)}))
        << attempt;
  }
}

TEST_F(CliEditTest, FailuresExitOneAndWriteNothing) {
  const std::string empty = Bitmap("empty.bmp", 5, 5, [](int, int) { return BackColor; });
  const std::string shp = dir_.Path("units.shp");
  test::WriteFileBytes(
      shp, BuildArchive({Image(test::Record(test::Header(1, 1, 0, 0, 0, 0), {3, 5, 0}))}));
  const std::string sdf = dir_.Path("r.sdf");
  test::WriteFileBytes(sdf, test::Record(test::Header(1, 1, 0, 0, 0, 0), {3, 6, 0}));
  const std::string none = dir_.Path("none");
  Bytes huge(54, 0);  // an 8-bit bitmap header declaring 60000 x 60000 pixels
  huge[0] = 'B';
  huge[1] = 'M';
  PutLE32(&huge[14], 40);
  PutLE32(&huge[18], 60000);
  PutLE32(&huge[22], 60000);
  PutLE16(&huge[28], 8);
  test::WriteFileBytes(dir_.Path("huge.bmp"), huge);
  test::WriteFileText(dir_.Path("words.txt"), "no\npalette\nhere\n");
  // Two lines promised, one given; a box whose Bottom is above its Top.
  test::WriteFileBytes(dir_.Path("short.sdf"),
                       test::Record(test::Header(1, 2, 0, 0, 0, 1), {3, 6, 0}));
  test::WriteFileBytes(dir_.Path("upside.sdf"),
                       test::Record(test::Header(1, 1, 0, 1, 0, 0), {3, 6, 0}));
  struct Case {
    std::vector<std::string> args;
    std::string err;
  };
  const Case cases[] = {
      {{"convert", empty, dir_.Path("o.sdf"), "--shp", dir_.Path("o.shp")},
       std::string(kNoOpaquePixelMessage)},
      {{"convert", none, dir_.Path("o.sdf")}, "Could not open " + none + "."},
      {{"convert", dir_.Path("huge.bmp"), dir_.Path("o.sdf")},
       dir_.Path("huge.bmp") + " is larger than 839 x 649 pixels."},
      {{"convert", empty, dir_.Path("o.sdf"), "--palette", dir_.Path("words.txt")},
       FillPattern(kNotAPaletteFile, {dir_.Path("words.txt")})},
      {{"palette", dir_.Path("o.gpl"), "--palette", empty},
       empty + " holds no palette: it is not an indexed picture."},
      {{"replace", shp, "0", sdf}, "There is no image #0 in " + shp + "."},
      {{"replace", shp, "2", sdf}, "There is no image #2 in " + shp + "."},
      {{"replace", shp, "-2147483648", sdf}, "There is no image #-2147483648 in " + shp + "."},
      {{"append", shp, empty}, FillPattern(kNotAnImageRecord, {empty})},
      {{"replace", shp, "1", dir_.Path("short.sdf")},
       FillPattern(kNotAnImageRecord, {dir_.Path("short.sdf")})},
      {{"append", shp, dir_.Path("upside.sdf")},
       FillPattern(kNotAnImageRecord, {dir_.Path("upside.sdf")})},
      {{"replace", shp, "1", none}, "Could not open file " + none + "."},
      {{"append", none, sdf}, "Could not open file " + none + "."},
      {{"append", shp, sdf, "--out", dir_.Path("no/a.shp")},
       "Could not open file " + dir_.Path("no/a.shp") + "."},
  };
  const auto before = Files();
  for (const Case& c : cases) {
    const auto r = test::RunCli(c.args);
    EXPECT_EQ(r.status, 1) << c.args[0] << " " << c.args[2];
    EXPECT_EQ(r.err, c.err + "\n") << c.args[0] << " " << c.args[2];
    EXPECT_EQ(Files(), before) << c.args[0] << " " << c.args[2];
  }
  for (const auto& args : std::vector<std::vector<std::string>>{{"convert", empty},
                                                                {"replace", shp, "1"},
                                                                {"replace", shp, "x", sdf},
                                                                {"append", shp}}) {
    EXPECT_EQ(test::RunCli(args).status, 2) << args[0];
  }
}

// An image with its own palette, exported to PNG and converted against the palette that
// PNG holds; an image in the loaded palette through export-all --format png. Both come
// back byte for byte, a flash index under --no-flash and repeated colours included.
TEST_F(CliEditTest, PngRoundTripKeepsEveryIndex) {
  auto ws = std::make_unique<WorkState>();
  ClearRaster(*ws);
  ws->CurHeader = test::Header(6, 4, 0, 0, 5, 3);
  int opaque = 0;
  for (int x = 0; x < 6; ++x)
    for (int y = 0; y < 4; ++y) {
      if ((x + y) % 4 == 3) continue;
      ws->Raster[static_cast<std::size_t>(x) * RasterRows + static_cast<std::size_t>(y)] =
          std::array<std::uint8_t, 4>{20, 84, 120, 31}[static_cast<std::size_t>(x * y % 4)];
      ++opaque;
    }
  Bytes record;
  EncodeImage(*ws, record);
  ArchiveImage own = Image(record);
  own.has_palette = true;
  for (int i = 0; i < 256; ++i)  // entry 84 repeats 20's colour, 95 repeats 31's
    own.palette.push_back({static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i % 64),
                           static_cast<std::uint8_t>(2 * i % 64),
                           static_cast<std::uint8_t>(3 * i % 64)});
  const std::string shp = dir_.Path("units.shp");
  test::WriteFileBytes(shp, BuildArchive({own, Image(record)}));
  Palette game = DefaultPalette;
  game[31] = game[30];
  test::RecordingReporter quiet;
  ASSERT_TRUE(WritePaletteFile(dir_.Path("game.pal"), game, quiet));
  const std::string kept = std::to_string(opaque) + " pixels kept their palette index\n";

  ASSERT_EQ(test::RunCli({"export", shp, "1", dir_.Path("one.png")}).status, 0);
  auto r = test::RunCli({"convert", dir_.Path("one.png"), dir_.Path("one.sdf"), "--palette",
                         dir_.Path("one.png"), "--no-flash"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, kept);
  EXPECT_EQ(test::ReadFileBytes(dir_.Path("one.sdf")), record);

  r = test::RunCli({"export-all", shp, dir_.Path("all"), "--format", "png", "--full-pal",
                    "--palette", dir_.Path("game.pal")});
  ASSERT_EQ(r.status, 0) << r.err;
  r = test::RunCli({"convert", dir_.Path("all/0002.png"), dir_.Path("two.sdf"), "--palette",
                    dir_.Path("game.pal"), "--no-flash"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, kept);
  EXPECT_EQ(test::ReadFileBytes(dir_.Path("two.sdf")), record);
}

// Indexed pictures as ImageMagick writes them (tests/data/make_imagemagick_inputs.sh):
// against their own palette every index is kept; when one used entry of the loaded
// palette differs, every colour is matched exactly as in a 24-bit bitmap of the picture.
TEST_F(CliEditTest, IndexedPicturesKeepOrMatch) {
  const auto colour = [](int x, int y) {
    const int k = (x + 3 * y) % 20;
    return Rgb{static_cast<std::uint8_t>(10 * k), static_cast<std::uint8_t>(255 - 12 * k),
               static_cast<std::uint8_t>(37 * k % 256)};
  };
  const std::string same = Bitmap("same.bmp", 7, 5, colour);
  for (const char* name : {"im_indexed.png", "im_8bit.bmp", "im_rle8.bmp"}) {
    const std::string picture = std::string(PELGRIN_TEST_DATA_DIR) + "/pictures/" + name;
    ASSERT_EQ(test::RunCli({"palette", dir_.Path("own.pal"), "--palette", picture}).status, 0);
    auto r = test::RunCli(
        {"convert", picture, dir_.Path("kept.sdf"), "--palette", dir_.Path("own.pal")});
    ASSERT_EQ(r.status, 0) << name << r.err;
    EXPECT_EQ(r.out, "35 pixels kept their palette index\n") << name;

    const Bytes text = test::ReadFileBytes(dir_.Path("own.pal"));
    std::vector<std::string> lines = test::Lines(std::string(text.begin(), text.end()));
    ASSERT_EQ(lines.size(), 259u) << name;
    EXPECT_EQ((std::vector<std::string>(lines.begin(), lines.begin() + 3)),
              (std::vector<std::string>{"JASC-PAL", "0100", "256"}));
    const auto used = std::find(lines.begin() + 3, lines.end(), "0 255 0");  // pixel (0, 0)
    ASSERT_NE(used, lines.end()) << name;
    *used = "0 255 1";
    std::string changed;
    for (const std::string& line : lines)
      changed += line + "\n";
    test::WriteFileText(dir_.Path("changed.pal"), changed);
    r = test::RunCli(
        {"convert", picture, dir_.Path("matched.sdf"), "--palette", dir_.Path("changed.pal")});
    ASSERT_EQ(r.status, 0) << name << r.err;
    const auto index = std::to_string(used - lines.begin() - 3);
    EXPECT_EQ(r.out, "Colours matched: index " + index +
                         " is 0 255 0 in the picture and 0 255 1 in the loaded palette\n")
        << name;
    r = test::RunCli(
        {"convert", same, dir_.Path("same.sdf"), "--palette", dir_.Path("changed.pal")});
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(test::ReadFileBytes(dir_.Path("matched.sdf")),
              test::ReadFileBytes(dir_.Path("same.sdf")))
        << name;
  }
}

TEST_F(CliEditTest, PaletteVerbWritesEveryPaletteFormat) {
  Palette colours;
  for (int i = 0; i < 256; ++i)
    colours[static_cast<std::size_t>(i)] = {static_cast<std::uint8_t>(255 - i),
                                            static_cast<std::uint8_t>(i),
                                            static_cast<std::uint8_t>(5 * i)};
  test::RecordingReporter quiet;
  ASSERT_TRUE(WritePaletteFile(dir_.Path("in.pal"), colours, quiet));
  for (const char* name : {"out.gpl", "out.ACT", "out.pal"}) {
    ASSERT_EQ(test::RunCli({"palette", dir_.Path(name), "--palette", dir_.Path("in.pal")}).status,
              0);
    Palette back{};
    ASSERT_EQ(ReadPaletteFile(dir_.Path(name), {&back}).status, PaletteReadStatus::kRead) << name;
    EXPECT_EQ(back, colours) << name;
  }
  EXPECT_EQ(test::ReadFileBytes(dir_.Path("out.ACT")).size(), 768u);
}

}  // namespace
}  // namespace pelgrin
