// The colour matcher: the rule (nearest, lowest index on ties, exclusions, BackColor)
// and the cached search giving exactly the plain search's answer.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "convert/color_match.h"

namespace pelgrin {
namespace {

TEST(MatchColor, Rule) {
  Palette p{};
  p.fill({0, 0, 0});
  p[7] = BackColor;  // a palette entry in the background colour
  p[10] = {100, 100, 100};
  p[20] = {100, 100, 110};  // as near to (100, 100, 105) as entry 10
  p[40] = {50, 60, 70};
  p[200] = {50, 60, 70};  // a duplicate of 40
  p[120] = {1, 200, 3};
  p[121] = {1, 200, 4};  // flashes too
  p[128] = {1, 190, 3};  // the nearest that does not flash
  p[122] = {200, 1, 3};  // flashes; its equal entry 140 does not
  p[140] = {200, 1, 3};
  p[230] = {9, 9, 250};
  p[255] = {30, 30, 30};  // never chosen
  struct Case {
    Rgb colour;
    bool no_flash;
    int expected;
  };
  const Case cases[] = {
      {BackColor, false, 255},      {BackColor, true, 255},
      {{255, 225, 224}, false, 7},  // one off the background colour: opaque
      {{254, 225, 225}, true, 7},   {{100, 100, 105}, false, 10},  // a tie goes to the lower index
      {{100, 100, 109}, false, 20},                                // strictly nearer wins
      {{50, 60, 70}, false, 40},    {{1, 200, 3}, false, 120},
      {{1, 200, 3}, true, 128},     {{9, 9, 250}, false, 230},
      {{9, 9, 250}, true, 0},  // (0, 0, 0) is nearer than any other allowed entry
      {{200, 1, 3}, false, 122},    {{200, 1, 3}, true, 140},
      {{30, 30, 30}, false, 0},
  };
  for (const Case& c : cases) {
    const std::string what = std::to_string(c.colour.r) + "," + std::to_string(c.colour.g) + "," +
                             std::to_string(c.colour.b) + (c.no_flash ? " no flash" : "");
    EXPECT_EQ(MatchColorLinear(p, c.no_flash, c.colour), c.expected) << what;
    EXPECT_EQ(MatchColor(p, c.no_flash, c.colour), c.expected) << what;
    EXPECT_EQ(ColorMatcher(p, c.no_flash).Match(c.colour), c.expected) << what;
  }
  // (15, 15, 15) lies exactly at entry 0's bound distance from its cell: a tie that entry 0
  // wins, so a search that drops entries at the bound gets it wrong.
  Palette bound{};
  bound[0] = {60, 15, 15};
  EXPECT_EQ(ColorMatcher(bound, false).Match({15, 15, 15}), 0);
}

TEST(MatchColor, FlashIndices) {
  for (int i = 0; i < 256; ++i)
    EXPECT_EQ(IsFlashIndex(i), (i >= 112 && i <= 127) || i >= 224) << i;
}

// Random entries; with levels < 256 every channel takes one of that many values, so many
// entries are equal and many colours lie at equal distances from several of them.
Palette RandomPalette(std::mt19937& rng, int levels) {
  Palette p;
  for (Rgb& e : p) {
    const auto channel = [&] {
      return static_cast<std::uint8_t>(rng() % static_cast<unsigned>(levels) * 255 /
                                       static_cast<unsigned>(levels - 1));
    };
    e = {channel(), channel(), channel()};
  }
  return p;
}

// Points 32 apart in a shuffled order: the colours halfway between two are tied, and the
// lower index is not always the lower colour.
Palette LatticePalette(std::mt19937& rng) {
  std::vector<Rgb> points;
  for (int k = 0; k < 512; ++k)
    points.push_back({static_cast<std::uint8_t>(32 * (k >> 6)),
                      static_cast<std::uint8_t>(32 * (k >> 3 & 7)),
                      static_cast<std::uint8_t>(32 * (k & 7))});
  std::shuffle(points.begin(), points.end(), rng);
  Palette p;
  std::copy_n(points.begin(), p.size(), p.begin());
  return p;
}

// Against the plain search, with and without the flash exclusion: random colours, half of
// them corners of cells of 8 colours a side (where an entry at the bound of a cell's
// candidates can tie the nearest), repeated, some near BackColor; more colours than the
// cache holds. The whole cube is compared in bench/match_cube_bench.cpp.
TEST(MatchColor, CachedSearchEqualsPlainSearch) {
  std::mt19937 rng(12345);
  struct Case {
    const char* name;
    Palette palette;
  };
  const Case cases[] = {
      {"built-in", DefaultPalette},
      {"random", RandomPalette(rng, 256)},
      {"equal entries", RandomPalette(rng, 3)},
      {"lattice", LatticePalette(rng)},
  };
  const auto byte = [&rng] { return static_cast<std::uint8_t>(rng()); };
  const auto corner = [&rng] { return static_cast<std::uint8_t>(rng() % 2 * 7 + rng() % 32 * 8); };
  for (const Case& c : cases) {
    for (const bool no_flash : {false, true}) {
      std::vector<Rgb> colours;
      for (int n = 0; n < 40000; ++n) {
        Rgb colour{byte(), byte(), byte()};
        if (n % 2 == 0) colour = {corner(), corner(), corner()};
        if (n % 7 == 0) colour = {255, 225, static_cast<std::uint8_t>(220 + n % 11)};
        if (n % 3 == 2) colour = colours[rng() % colours.size()];
        // Twenty columns of new colours, then twenty of a few, a quarter of them the
        // colour before: columns switch between searching directly, looking every pixel
        // up and looking up only where the colour changes.
        if (n / (20 * RasterRows) % 2 == 1)
          colour = rng() % 4 == 0 ? colours.back() : colours[rng() % 50];
        colours.push_back(colour);
      }
      ColorMatcher matcher(c.palette, no_flash);
      ColorMatcher by_run(c.palette, no_flash);  // the same colours as columns of 649
      std::vector<std::uint8_t> rgb, run_indices(colours.size());
      for (const Rgb colour : colours)
        rgb.insert(rgb.end(), {colour.r, colour.g, colour.b});
      for (std::size_t at = 0; at < colours.size(); at += RasterRows)
        by_run.MatchRun(&rgb[3 * at], std::min<std::size_t>(RasterRows, colours.size() - at),
                        &run_indices[at]);
      for (std::size_t n = 0; n < colours.size(); ++n) {
        const Rgb colour = colours[n];
        const std::uint8_t expected = MatchColorLinear(c.palette, no_flash, colour);
        ASSERT_EQ(matcher.Match(colour), expected)
            << c.name << (no_flash ? " no flash" : "") << " colour " << +colour.r << ","
            << +colour.g << "," << +colour.b;
        ASSERT_EQ(run_indices[n], expected) << c.name << " by run, colour " << n;
        if (n % 64 == 0) {
          ASSERT_EQ(MatchColor(c.palette, no_flash, colour), expected);
        }
      }
    }
  }
}

}  // namespace
}  // namespace pelgrin
