// Convert of an indexed picture: its indices kept when its palette allows, else its
// colours matched, and the log line that says which.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "convert/color_match.h"
#include "convert/convert.h"
#include "picture/picture.h"
#include "support/test_support.h"

namespace pelgrin {
namespace {

// 4 x 2 pixels: 10 120 255 40 / 41 10 200 10, in a picture whose palette is the default.
constexpr std::uint8_t kIndices[2][4] = {{10, 120, 255, 40}, {41, 10, 200, 10}};

struct Case {
  const char* name;
  std::function<void(Picture&, Palette& loaded)> change;
  std::string log;
  // The raster's index at each pixel; empty: what matching the colours gives.
  std::vector<std::uint8_t> kept;
};

TEST(IndexRoad, KeptWhenEveryUsedEntryIsTheLoadedColourElseMatched) {
  const std::vector<std::uint8_t> as_painted = {10, 120, 255, 40, 41, 10, 200, 10};
  const Rgb off_by_one{DefaultPalette[40].r, DefaultPalette[40].g,
                       static_cast<std::uint8_t>(DefaultPalette[40].b ^ 1)};
  const Case cases[] = {
      {"same palette: even a flash index is kept", [](Picture&, Palette&) {},
       "7 pixels kept their palette index", as_painted},
      {"an entry that repeats a lower one's colour is kept",
       [](Picture& p, Palette& l) { p.palette[41] = l[41] = l[40]; },
       "7 pixels kept their palette index", as_painted},
      {"an entry in BackColor is kept",
       [](Picture& p, Palette& l) { p.palette[200] = l[200] = BackColor; },
       "7 pixels kept their palette index", as_painted},
      {"an entry the picture does not use may differ",
       [](Picture& p, Palette&) {
         p.palette[77] = {1, 2, 3};
       },
       "7 pixels kept their palette index", as_painted},
      {"a transparent entry may differ, and stays transparent",
       [](Picture& p, Palette&) {
         p.palette[41] = {1, 2, 3};
         p.alpha[41] = 0;
       },
       "6 pixels kept their palette index",
       {10, 120, 255, 40, 255, 10, 200, 10}},
      {"one used entry differs: every colour is matched",
       [&](Picture& p, Palette&) { p.palette[40] = off_by_one; },
       "Colours matched: index 40 is " + std::to_string(off_by_one.r) + " " +
           std::to_string(off_by_one.g) + " " + std::to_string(off_by_one.b) +
           " in the picture and " + std::to_string(DefaultPalette[40].r) + " " +
           std::to_string(DefaultPalette[40].g) + " " + std::to_string(DefaultPalette[40].b) +
           " in the loaded palette",
       {}},
  };
  for (const Case& c : cases) {
    auto ws = std::make_unique<WorkState>();
    Picture picture;
    picture.Resize(4, 2, true);
    picture.entries = 256;
    picture.palette = DefaultPalette;
    c.change(picture, ws->LoadedPalette);
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 4; ++x)
        picture.PutIndex(x, y, kIndices[y][x]);
    CommitPicture(*ws, picture);
    test::TempDir dir;
    test::RecordingReporter r;
    Surface view(16, 16);
    ASSERT_EQ(ConvertLoadedBitmap(*ws, true, view, dir.Path("n.sdf"), "", r),
              ConvertOutcome::kWritten)
        << c.name;
    EXPECT_EQ(r.log, std::vector<std::string>{c.log}) << c.name;
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 4; ++x) {
        const std::uint8_t index = kIndices[y][x];
        const Rgb colour = picture.palette[index];
        const std::uint8_t expected = c.kept.empty()
                                          ? MatchColorLinear(ws->LoadedPalette, true, colour)
                                          : c.kept[static_cast<std::size_t>(y * 4 + x)];
        EXPECT_EQ(test::RasterByte(*ws, x, y), expected) << c.name << " at " << x << "," << y;
      }
  }
}

TEST(IndexRoad, APictureThatIsNotIndexedLogsNothing) {
  auto ws = std::make_unique<WorkState>();
  Picture picture;
  picture.Resize(2, 1, false);
  picture.rgba = {1, 2, 3, 255, 4, 5, 6, 255};
  CommitPicture(*ws, picture);
  test::TempDir dir;
  test::RecordingReporter r;
  Surface view(16, 16);
  ASSERT_EQ(ConvertLoadedBitmap(*ws, false, view, dir.Path("n.sdf"), "", r),
            ConvertOutcome::kWritten);
  EXPECT_TRUE(r.log.empty());
}

}  // namespace
}  // namespace pelgrin
