// pelgrin-cli transfer, end to end.
#include <gtest/gtest.h>

#include <filesystem>

#include "io/text.h"
#include "palette/palette_file.h"
#include "shp/archive_builder.h"
#include "support/test_support.h"

namespace pelgrin {
namespace {

using test::Bytes;

class CliTransferTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directory(dir_.Path("source"));
    std::filesystem::create_directory(dir_.Path("dest"));
    for (std::uint8_t v : {3, 4}) {
      ArchiveImage image;
      image.record = test::Record(test::Header(2, 1, 0, 0, 1, 0), {4, v, 0});
      source_.push_back(image);
    }
    dest_ = source_;
    dest_[1].record = test::Record(test::Header(1, 1, 0, 0, 0, 0), {3, 9, 0});
    test::WriteFileBytes(dir_.Path("source/heroes.shp"), BuildArchive(source_));
    test::WriteFileBytes(dir_.Path("dest/army.shp"), BuildArchive(dest_));
  }
  test::CliResult Run(const std::string& script, std::vector<std::string> options = {}) {
    test::WriteFileText(dir_.Path("s.csv"), script);
    std::vector<std::string> args = {"transfer", dir_.Path("s.csv"), dir_.Path()};
    args.insert(args.end(), options.begin(), options.end());
    return test::RunCli(args);
  }
  Bytes Army() const { return test::ReadFileBytes(dir_.Path("dest/army.shp")); }

  test::TempDir dir_;
  std::vector<ArchiveImage> source_, dest_;
};

TEST_F(CliTransferTest, PrintsEachDoneRowAndGoesOnAfterAFailure) {
  const auto r = Run("one,army,1,heroes,0\nbad,army,7,heroes,1\ntwo,army,0,heroes,1\n,,,,\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out,
            "source/heroes.shp Icon 0 -> dest/army.shp Icon 1\n"
            "source/heroes.shp Icon 1 -> dest/army.shp Icon 0\n");
  EXPECT_EQ(r.err, "Icon 7 does not exist in dest/army.shp\n");
  EXPECT_EQ(Army(), BuildArchive({source_[1], source_[0]}));
}

TEST_F(CliTransferTest, SourcePaletteRemapsToTheLoadedPalette) {
  // Source entries 3 and 4 are the colours of loaded entries 12 and 13.
  test::WriteFileText(dir_.Path("src.pal"), "a\nb\n5\n0 0 0\n0 0 0\n0 0 0\n75 75 151\n43 207 51\n");
  const auto r = Run("x,army,0,heroes,1\n", {"--source-palette", dir_.Path("src.pal")});
  ASSERT_EQ(r.status, 0) << r.err;
  std::vector<ArchiveImage> expected = dest_;
  expected[0].record = test::Record(test::Header(2, 1, 0, 0, 1, 0), {4, 13, 0});
  EXPECT_EQ(Army(), BuildArchive(expected));
}

TEST_F(CliTransferTest, RunsOnOneFolderAtOnceKeepTheirOwnResults) {
  test::WriteFileBytes(dir_.Path("dest/navy.shp"), BuildArchive(dest_));
  test::WriteFileText(dir_.Path("a.csv"), "a,army,0,heroes,1\n");
  test::WriteFileText(dir_.Path("b.csv"), "b,navy,1,heroes,0\n");
  const auto run = [&](const char* script) {
    return test::CliCommand({"transfer", dir_.Path(script), dir_.Path()}) + " >/dev/null 2>&1";
  };
  std::vector<ArchiveImage> army = dest_;
  army[0] = source_[1];
  std::vector<ArchiveImage> navy = dest_;
  navy[1] = source_[0];
  for (int attempt = 0; attempt < 10; ++attempt) {
    test::WriteFileBytes(dir_.Path("dest/army.shp"), BuildArchive(dest_));
    test::WriteFileBytes(dir_.Path("dest/navy.shp"), BuildArchive(dest_));
    const std::string both = "(" + run("a.csv") + " & " + run("b.csv") + " & wait)";
    ASSERT_EQ(std::system(both.c_str()), 0);
    EXPECT_EQ(Army(), BuildArchive(army)) << attempt;
    EXPECT_EQ(test::ReadFileBytes(dir_.Path("dest/navy.shp")), BuildArchive(navy)) << attempt;
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.Path("dest")), {}), 2);
}

TEST_F(CliTransferTest, FailuresExitOneAndChangeNoArchive) {
  struct Case {
    std::string script;
    std::vector<std::string> options;
    std::string err;
  };
  const Case cases[] = {
      {"x,army,zero,heroes,1\nx,army,0,heroes,1\n", {}, "'zero' is not a valid integer value\n"},
      {"x,army,0,heroes,1\n",
       {"--source-palette", dir_.Path("none.pal")},
       "Could not open file " + dir_.Path("none.pal") + ".\n"},
      {"x,army,0,heroes,1\n",
       {"--source-palette", dir_.Path("notes.txt")},
       FillPattern(kNotAPaletteFile, {dir_.Path("notes.txt")}) + "\n"},
  };
  test::WriteFileText(dir_.Path("notes.txt"), "no\npalette\nhere\n");
  for (const Case& c : cases) {
    const auto r = Run(c.script, c.options);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, c.err);
    EXPECT_EQ(Army(), BuildArchive(dest_));
  }
  // Names that reach out of their folder fail their rows; the file outside stays as it was.
  test::WriteFileText(dir_.Path("precious.shp"), "keep me");
  auto named = Run("x,../precious,0,heroes,0\ny,army,0,../source/heroes,1\nz,.,0,heroes,0\n");
  EXPECT_EQ(named.status, 1);
  EXPECT_EQ(test::Lines(named.err).size(), 3u) << named.err;
  EXPECT_NE(named.err.find("'../precious' is not a file name"), std::string::npos) << named.err;
  EXPECT_EQ(test::ReadFileBytes(dir_.Path("precious.shp")),
            (Bytes{'k', 'e', 'e', 'p', ' ', 'm', 'e'}));
  EXPECT_EQ(Army(), BuildArchive(dest_));
  // A script whose first row is incomplete transfers nothing, and says so.
  const auto idle = Run(",army,,heroes,0\nx,army,0,heroes,1\n");
  EXPECT_EQ(idle.status, 1);
  EXPECT_NE(idle.err.find("transfers nothing"), std::string::npos) << idle.err;
  EXPECT_EQ(Army(), BuildArchive(dest_));
  auto r = test::RunCli({"transfer", dir_.Path("none.csv"), dir_.Path()});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Could not open " + dir_.Path("none.csv") + ". Aborting.\n");
  EXPECT_EQ(test::RunCli({"transfer", dir_.Path("none.csv")}).status, 2);
}

}  // namespace
}  // namespace pelgrin
