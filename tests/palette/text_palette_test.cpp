// Text palette files.
#include <gtest/gtest.h>

#include <memory>

#include "palette/text_palette.h"
#include "support/test_support.h"

namespace pelgrin {
namespace {

std::string Entries(int count, int first_value) {
  std::string text;
  for (int i = 0; i < count; ++i) {
    const int v = first_value + i;
    text += std::to_string(v) + " " + std::to_string(v) + " " + std::to_string(v) + "\n";
  }
  return text;
}

TEST(PaletteFile, CountRulesAndValues) {
  struct Case {
    const char* name;
    std::string text;
    std::vector<std::pair<int, Rgb>> expected;  // index -> colour
  };
  const Rgb old{9, 9, 9};
  const Case cases[] = {
      {"sixteen entries",
       "tag\nversion\n16\n" + Entries(20, 100),
       {{0, {100, 100, 100}}, {15, {115, 115, 115}}, {16, old}}},
      {"count above 256", "a\nb\n300\n" + Entries(300, 0), {{255, {255, 255, 255}}}},
      {"zero entries", "a\nb\n0\n" + Entries(3, 50), {{0, old}}},
      {"count with blanks and text",
       "a\nb\n   2 entries\n1 2 3\n4 5 6\n7 8 9\n",
       {{1, {4, 5, 6}}, {2, old}}},
      {"low 8 bits", "a\nb\n1\n256 -1 300\n", {{0, {0, 255, 44}}}},
      {"entry without three numbers keeps its colour",
       "a\nb\n3\n1 2 3\n4 x 6\n7 8 9\n",
       {{0, {1, 2, 3}}, {1, old}, {2, {7, 8, 9}}}},
      {"fewer lines than declared", "a\nb\n5\n1 2 3\n", {{0, {1, 2, 3}}, {1, old}}},
      {"no count", "a\nb\nnone\n1 2 3\n", {{0, old}}},
      {"crlf lines", "a\r\nb\r\n1\r\n10 20 30\r\n", {{0, {10, 20, 30}}}},
      {"long first line counts as two", std::string(200, 'x') + "\nb\n1\n5 5 5\n", {{0, old}}},
  };
  for (const Case& c : cases) {
    test::TempDir dir;
    test::WriteFileText(dir.Path("p.pal"), c.text);
    Palette a;
    a.fill(old);
    Palette b = a;
    ASSERT_TRUE(ReadPalFile(dir.Path("p.pal"), {&a, &b})) << c.name;
    for (const auto& [index, colour] : c.expected) {
      EXPECT_EQ(a[static_cast<std::size_t>(index)], colour) << c.name << " entry " << index;
      EXPECT_EQ(b[static_cast<std::size_t>(index)], colour) << c.name << " entry " << index;
    }
  }
}

TEST(PaletteFile, MissingFileFailsAndChangesNothing) {
  test::TempDir dir;
  Palette p{};
  EXPECT_FALSE(ReadPalFile(dir.Path("none.pal"), {&p}));
  EXPECT_FALSE(ReadPalFile(dir.Path(""), {&p}));  // a directory is not a palette
  EXPECT_EQ(p[0], (Rgb{0, 0, 0}));
}

}  // namespace
}  // namespace pelgrin
