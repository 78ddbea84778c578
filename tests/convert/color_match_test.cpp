// The colour matcher: the rule (nearest, lowest index on ties, exclusions, BackColor)
// and the cached search giving exactly the plain search's answer.
#include <gtest/gtest.h>

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
      {{30, 30, 30}, false, 0},
  };
  for (const Case& c : cases) {
    const std::string what = std::to_string(c.colour.r) + "," + std::to_string(c.colour.g) + "," +
                             std::to_string(c.colour.b) + (c.no_flash ? " no flash" : "");
    EXPECT_EQ(MatchColorLinear(p, c.no_flash, c.colour), c.expected) << what;
    EXPECT_EQ(MatchColor(p, c.no_flash, c.colour), c.expected) << what;
    EXPECT_EQ(ColorMatcher(p, c.no_flash).Match(c.colour), c.expected) << what;
  }
}

TEST(MatchColor, FlashIndices) {
  for (int i = 0; i < 256; ++i)
    EXPECT_EQ(IsFlashIndex(i), (i >= 112 && i <= 127) || i >= 224) << i;
}

// Random palettes, some drawn from a few channel values so that many entries tie, and
// more colours than the cache's first table holds, repeated, some near BackColor.
TEST(MatchColor, CachedSearchEqualsPlainSearch) {
  std::mt19937 rng(12345);
  const auto byte = [&rng](int levels) {
    return static_cast<std::uint8_t>(levels == 256 ? rng() % 256
                                                   : (rng() % levels) * 255 / (levels - 1));
  };
  for (int round = 0; round < 8; ++round) {
    const int levels = round % 2 == 0 ? 256 : 3;
    Palette p;
    for (Rgb& e : p)
      e = {byte(levels), byte(levels), byte(levels)};
    for (const bool no_flash : {false, true}) {
      ColorMatcher matcher(p, no_flash);
      std::vector<Rgb> seen;
      for (int n = 0; n < 30000; ++n) {
        Rgb c{byte(256), byte(256), byte(256)};
        if (n % 7 == 0) c = {255, 225, static_cast<std::uint8_t>(220 + n % 11)};
        if (n % 3 == 0 && !seen.empty()) c = seen[rng() % seen.size()];
        seen.push_back(c);
        const std::uint8_t expected = MatchColorLinear(p, no_flash, c);
        ASSERT_EQ(matcher.Match(c), expected) << "round " << round << " colour " << n;
        if (n % 16 == 0) {
          ASSERT_EQ(MatchColor(p, no_flash, c), expected);
        }
      }
    }
  }
}

}  // namespace
}  // namespace pelgrin
