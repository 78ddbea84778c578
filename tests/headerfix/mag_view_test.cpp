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

// A picture whose every pixel differs from its neighbours, so that a copy from the
// wrong place shows.
Surface Patterned() {
  Surface s(kMagWidth, kMagHeight);
  for (int y = 0; y < s.Height(); ++y)
    for (int x = 0; x < s.Width(); ++x)
      s.SetPixel(x, y, PackRGB(x / 3, y / 3, (x % 3) * 3 + y % 3));
  return s;
}

bool SamePicture(const Surface& a, const Surface& b) {
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x)
      if (a.GetPixel(x, y) != b.GetPixel(x, y)) return false;
  return true;
}

// Every pixel that is aqua now.
int AquaCount(const Surface& s) {
  int n = 0;
  for (int y = 0; y < s.Height(); ++y)
    for (int x = 0; x < s.Width(); ++x)
      n += s.GetPixel(x, y) == kAqua;
  return n;
}

TEST(MagView, GuidesAndTheirErasing) {
  struct Case {
    std::int64_t at;
    int line;  // the guide's x (column) or y (row); -1: off the picture
  };
  const Case cases[] = {{0, 1},        {5, 16},          {107, 322}, {108, -1}, {-1, -1},
                        {1000000, -1}, {2147483648, -1}, {kMax, -1}, {kMin, -1}};
  for (const Case& c : cases) {
    const Surface original = Patterned();
    Surface s = Patterned();
    DrawColumnGuide(s, c.at);
    DrawRowGuide(s, c.at);
    if (c.line < 0) {
      EXPECT_TRUE(SamePicture(s, original)) << c.at;
      continue;
    }
    EXPECT_EQ(AquaCount(s), 2 * kMagHeight - 1) << c.at;
    EXPECT_EQ(s.GetPixel(c.line, 0), kAqua) << c.at;
    EXPECT_EQ(s.GetPixel(c.line, kMagHeight - 1), kAqua) << c.at;
    EXPECT_EQ(s.GetPixel(kMagWidth - 1, c.line), kAqua) << c.at;
    EraseColumnGuide(s, c.at);
    EraseRowGuide(s, c.at);
    // Erasing copies the cell's first line over its middle one: each cell of the
    // patterned picture then shows its first line twice (the crossing aside).
    for (int y = 0; y < kMagHeight; y += 7) {
      if (y == c.line) continue;
      EXPECT_EQ(s.GetPixel(c.line, y), original.GetPixel(c.line - 1, y)) << c.at;
      EXPECT_EQ(s.GetPixel(y, c.line), original.GetPixel(y, c.line - 1)) << c.at;
    }
    EXPECT_EQ(AquaCount(s), 0) << c.at;
  }
}

TEST(MagView, ErasingRestoresMagnifiedCells) {
  Surface s(kMagWidth, kMagHeight);
  for (int cy = 0; cy * 3 < kMagHeight; ++cy)
    for (int cx = 0; cx * 3 < kMagWidth; ++cx)
      s.FillRect(3 * cx, 3 * cy, 3 * cx + 3, 3 * cy + 3, PackRGB(cx, cy, 7));
  const Surface original = s;
  DrawColumnGuide(s, 40);
  DrawRowGuide(s, 3);
  EraseColumnGuide(s, 40);
  EraseRowGuide(s, 3);
  EXPECT_TRUE(SamePicture(s, original));
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
