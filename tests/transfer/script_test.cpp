// The transfer script: splitting lines, Save and Load Script, the copy buffer.
#include <gtest/gtest.h>

#include "support/test_support.h"
#include "transfer/script.h"

namespace pelgrin {
namespace {

ScriptFields F(std::string a, std::string b, std::string c, std::string d, std::string e) {
  return {std::move(a), std::move(b), std::move(c), std::move(d), std::move(e)};
}

TEST(ScriptLine, SplitsFiveFieldsByTheFileRules) {
  struct Case {
    const char* name;
    std::string line;
    ScriptFields expected;
  };
  const std::string x200(200, 'x');
  const Case cases[] = {
      {"plain", "tank row,armour,12,allied,3\n", F("tank row", "armour", "12", "allied", "3")},
      {"empty description", ",armour,12,allied,3\n", F("", "armour", "12", "allied", "3")},
      {"comma in description shifts", "tank, big,armour,12,allied,3\n",
       F("tank", " big", "armour", "12", "allied")},
      {"blanks", "d, a, 12,s,12 \n", F("d", " a", " 12", "s", "12")},
      {"crlf", "d,a,1,s,3\r\n", F("d", "a", "1", "s", "3")},
      {"last field ends at + and tab", "d,a,1,s,-3+4\n", F("d", "a", "1", "s", "-3")},
      {"last field ends at byte 128",
       "d,a,1,s,3\x80"
       "9\n",
       F("d", "a", "1", "s", "3")},
      {"high bytes kept before", "d\xE9,a\xFF,1,s,3", F("d\xE9", "a\xFF", "1", "s", "3")},
      {"two commas", "a,b,c\r\n", F("a", "b", "c", "", "")},
      {"no comma", "only text\n", F("only text", "", "", "", "")},
      {"empty line", "\n", F("", "", "", "", "")},
      {"empty last field", "a,b,c,d,\n", F("a", "b", "c", "d", "")},
      {"stops at NUL", std::string("a,b\0,c,d,e", 10), F("a", "b", "", "", "")},
      {"127 characters at most", x200 + ",b,c,d," + x200,
       F(std::string(127, 'x'), "b", "c", "d", std::string(127, 'x'))},
  };
  for (const Case& c : cases)
    EXPECT_EQ(SplitScriptLine(c.line), c.expected) << c.name;
}

class ScriptFileTest : public ::testing::Test {
 protected:
  // Rows 1..count filled with distinct complete rows.
  void Fill(int count) {
    for (int row = 1; row <= count; ++row)
      table_.SetRow(row, F("r" + std::to_string(row), "d", "1", "s", "2"));
  }
  std::string Load(const std::string& text) {
    test::WriteFileText(path_, text);
    EXPECT_TRUE(LoadScript(table_, path_, reporter_));
    return path_;
  }

  test::TempDir dir_;
  std::string path_ = dir_.Path("script.csv");
  ScriptTable table_;
  test::RecordingReporter reporter_;
};

TEST_F(ScriptFileTest, SaveWritesTheCompleteRowsFromRowOne) {
  table_.SetRow(1, F("", "armour", " 12", "allied", "12 "));
  table_.SetRow(2, F("a, b", "x", "0", "y", "-1"));
  table_.SetRow(3, F("not complete", "x", "", "y", "1"));
  table_.SetRow(4, F("after the gap", "x", "1", "y", "1"));
  ASSERT_TRUE(SaveScript(table_, path_, reporter_));
  const test::Bytes saved = test::ReadFileBytes(path_);
  EXPECT_EQ(std::string(saved.begin(), saved.end()), ",armour, 12,allied,12 \na, b,x,0,y,-1\n");

  ScriptTable loaded;
  ASSERT_TRUE(LoadScript(loaded, path_, reporter_));
  EXPECT_EQ(loaded.Row(1), F("", "armour", " 12", "allied", "12"));
  EXPECT_EQ(loaded.Row(2), F("a", " b", "x", "0", "y"));

  for (int column : {kDestFileColumn, kDestIconColumn, kSrcFileColumn, kSrcIconColumn}) {
    ScriptTable gap = table_;
    gap.SetCell(column, 1, "");
    EXPECT_EQ(ScriptLength(gap), 0) << column;
  }
  EXPECT_TRUE(reporter_.messages.empty());
}

TEST_F(ScriptFileTest, LoadFillsRowsAndClearsDownToTheFirstEmptyDestFile) {
  std::string lines150;
  for (int i = 1; i <= 150; ++i)
    lines150 += "l" + std::to_string(i) + ",d,1,s,2\n";
  struct Case {
    const char* name;
    std::string text;
    int gap_row;  // row of the prefilled grid whose Dest File is empty (0: none)
    std::vector<std::pair<int, ScriptFields>> rows;
  };
  const ScriptFields kept = F("r8", "d", "1", "s", "2");
  const Case cases[] = {
      {"150 lines",
       lines150,
       0,
       {{1, F("l1", "d", "1", "s", "2")}, {100, F("l100", "d", "1", "s", "2")}}},
      {"empty file", "", 6, {{1, {}}, {5, {}}, {6, F("r6", "", "1", "s", "2")}, {8, kept}}},
      {"3 lines",
       "a,b,1,c,2\na,b,1,c,2\na,b,1,c,2\n",
       0,
       {{3, F("a", "b", "1", "c", "2")}, {4, {}}, {10, {}}}},
      {"200-character line",
       std::string(120, 'p') + ",dst,7,src," + std::string(69, '9') + "\n",
       0,
       {{1, F(std::string(120, 'p'), "dst", "7", "", "")},  // the first 126 characters
        {2, F("", "src", std::string(69, '9'), "", "")},
        {3, {}}}},
  };
  for (const Case& c : cases) {
    table_ = ScriptTable();
    Fill(10);
    if (c.gap_row > 0) table_.SetCell(kDestFileColumn, c.gap_row, "");
    Load(c.text);
    for (const auto& [row, fields] : c.rows)
      EXPECT_EQ(table_.Row(row), fields) << c.name << " row " << row;
  }
}

TEST_F(ScriptFileTest, FilesThatCannotBeOpenedAreReportedAndChangeNothing) {
  Fill(2);
  const ScriptTable before = table_;
  EXPECT_FALSE(LoadScript(table_, dir_.Path("none.csv"), reporter_));
  EXPECT_FALSE(SaveScript(table_, dir_.Path("no/such/dir.csv"), reporter_));
  EXPECT_FALSE(SaveScript(table_, dir_.Path(""), reporter_));  // a directory
  for (int row = 1; row <= 2; ++row)
    EXPECT_EQ(table_.Row(row), before.Row(row));
  using M = std::pair<std::string, std::string>;
  EXPECT_EQ(reporter_.messages,
            (std::vector<M>{
                {"Could not open " + dir_.Path("none.csv") + ". Aborting.", "File Error"},
                {"Could not open " + dir_.Path("no/such/dir.csv") + ". Aborting.", "File Error"},
                {"Could not open " + dir_.Path("") + ". Aborting.", "File Error"}}));
}

TEST(GridCopyBufferTest, CtrlCCopiesAndCtrlVPastesOneCell) {
  ScriptTable table;
  table.SetCell(1, 1, "armour");
  table.SetCell(2, 1, "12");
  GridCopyBuffer buffer;
  buffer.KeyDown(table, 2, 1, kKeyV, true);  // nothing copied yet: the cell empties
  EXPECT_EQ(table.Cell(2, 1), "");
  buffer.KeyDown(table, 1, 1, kKeyC, true);
  buffer.KeyDown(table, 3, 4, kKeyV, false);  // no Ctrl
  buffer.KeyDown(table, 3, 4, 'X', true);     // another key
  EXPECT_EQ(table.Cell(3, 4), "");
  buffer.KeyDown(table, 3, 4, kKeyV, true);
  EXPECT_EQ(table.Cell(3, 4), "armour");
  EXPECT_EQ(table.Cell(1, 1), "armour");
  EXPECT_EQ(buffer.KeyDown(std::string("x"), kKeyC, false), std::nullopt);
  EXPECT_EQ(buffer.Text(), "armour");
}

}  // namespace
}  // namespace pelgrin
