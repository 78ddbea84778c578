// The header fix window's guides and the rules of its up-down controls.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "headerfix/mag_view.h"
#include "shp/show.h"

namespace pelgrin {
namespace {

constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();

// A magnified picture: uniform 3 x 3 cells, each of its own colour.
Surface Cells() {
  Surface s(kMagWidth, kMagHeight);
  for (int cy = 0; cy * 3 < kMagHeight; ++cy)
    for (int cx = 0; cx * 3 < kMagWidth; ++cx)
      s.FillRect(3 * cx, 3 * cy, 3 * cx + 3, 3 * cy + 3, PackRGB(cx, cy, 7));
  return s;
}

bool SamePicture(const Surface& a, const Surface& b) {
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x)
      if (a.GetPixel(x, y) != b.GetPixel(x, y)) return false;
  return true;
}

TEST(MagView, GuidesStandInTheMiddleOfTheirCellAndEraseCleanly) {
  struct Case {
    std::int64_t at;
    int line;  // the guide's x (column) and y (row); -1: off the picture
  };
  const Case cases[] = {{0, 1},        {5, 16},          {107, 322}, {108, -1}, {-1, -1},
                        {1000000, -1}, {2147483648, -1}, {kMax, -1}, {kMin, -1}};
  const Surface original = Cells();
  for (const Case& c : cases) {
    Surface s = Cells();
    DrawColumnGuide(s, c.at);
    DrawRowGuide(s, c.at);
    if (c.line >= 0) {
      for (int k : {0, 100, kMagWidth - 1}) {
        EXPECT_EQ(s.GetPixel(c.line, k), kAqua) << c.at;
        EXPECT_EQ(s.GetPixel(k, c.line), kAqua) << c.at;
      }
      EXPECT_NE(s.GetPixel(c.line - 1, 200), kAqua) << c.at;
      EXPECT_NE(s.GetPixel(c.line + 1, 200), kAqua) << c.at;
    }
    EraseColumnGuide(s, c.at);
    EraseRowGuide(s, c.at);
    EXPECT_TRUE(SamePicture(s, original)) << c.at;
  }
}

TEST(MagView, UpDownRules) {
  struct Case {
    const char* name;
    bool column;
    GuideFields before;
    bool raised;
    GuideFields after;
  };
  const Case cases[] = {
      {"column raise moves right while Right > 0", true, {-5, 2}, true, {-6, 1}},
      {"column raise stops at Right 0", true, {-5, 0}, true, {-5, 0}},
      {"column raise stops below Right 0", true, {-5, -3}, true, {-5, -3}},
      {"column lower moves left while Left < 0", true, {-5, 2}, false, {-4, 3}},
      {"column lower stops at Left 0", true, {0, 3}, false, {0, 3}},
      {"row raise from 0", false, {0, 5}, true, {1, 6}},
      {"row lower has no stop", false, {-3, -2}, false, {-4, -3}},
      {"row held at the range", false, {kMax, kMin}, true, {kMax, kMin + 1}},
      {"row held at the range, lowered", false, {kMax, kMin}, false, {kMax - 1, kMin}},
  };
  for (const Case& c : cases) {
    const GuideFields got =
        c.column ? StepColumnGuide(c.before, c.raised) : StepRowGuide(c.before, c.raised);
    EXPECT_EQ(got, c.after) << c.name;
  }
}

TEST(MagView, ClicksMoveTheGuide) {
  Surface s(kMagWidth, kMagHeight, kSilver);
  DrawColumnGuide(s, 5);
  GuideFields lr = ColumnUpDownClick(s, {-5, 2}, true);
  EXPECT_EQ(lr, (GuideFields{-6, 1}));
  EXPECT_EQ(s.GetPixel(16, 100), kSilver);
  EXPECT_EQ(s.GetPixel(19, 100), kAqua);
  lr = ColumnUpDownClick(s, {-6, 0}, true);  // at its stop: the guide stays
  EXPECT_EQ(s.GetPixel(19, 100), kAqua);

  DrawRowGuide(s, 0);
  const GuideFields tb = RowUpDownClick(s, {0, 4}, true);
  EXPECT_EQ(tb, (GuideFields{1, 5}));
  EXPECT_EQ(s.GetPixel(100, 1), kSilver);
  EXPECT_EQ(s.GetPixel(100, 4), kAqua);
  // |INT64_MIN| does not overflow; the guide is off the picture.
  EXPECT_EQ(RowUpDownClick(s, {kMin, 0}, false), (GuideFields{kMin, -1}));
}

}  // namespace
}  // namespace pelgrin
