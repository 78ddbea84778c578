// pelgrin-cli convert, replace and append, end to end.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <set>

#include "convert/color_match.h"
#include "convert/convert.h"
#include "io/files.h"
#include "io/text.h"
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
  struct Case {
    std::vector<std::string> args;
    std::string err;
  };
  const Case cases[] = {
      {{"convert", empty, dir_.Path("o.sdf"), "--shp", dir_.Path("o.shp")},
       std::string(kNoOpaquePixelMessage)},
      {{"convert", none, dir_.Path("o.sdf")}, "Could not open " + none + "."},
      {{"replace", shp, "0", sdf}, "There is no image #0 in " + shp + "."},
      {{"replace", shp, "2", sdf}, "There is no image #2 in " + shp + "."},
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

}  // namespace
}  // namespace pelgrin
