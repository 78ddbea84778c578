// The settings file, the start-up palette and the command-line file.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <memory>

#include "io/files.h"
#include "shell/settings.h"
#include "shell/startup.h"
#include "support/test_support.h"

namespace pelgrin {
namespace {

class SettingsTest : public ::testing::Test {
 protected:
  SettingsTest() {
    SetProgramDir(*ws_, dir_.Path() + "/");
    settings_.SettingsPath = SettingsPathFor(ws_->ProgramDir);
  }
  void Read(const std::string& text) {
    test::WriteFileText(settings_.SettingsPath, text);
    ReadSettings(settings_, *ws_);
  }
  std::string InDir(const std::string& name) const { return ws_->ProgramDir + name; }

  test::TempDir dir_;
  std::unique_ptr<WorkState> ws_ = std::make_unique<WorkState>();
  Settings settings_;
};

std::string ReadText(const std::string& path) {
  const test::Bytes bytes = test::ReadFileBytes(path);
  return std::string(bytes.begin(), bytes.end());
}

WindowPositions Positions(std::initializer_list<WindowPosition> list) {
  WindowPositions positions{};
  std::size_t i = 0;
  for (const WindowPosition& p : list)
    positions[i++] = p;
  return positions;
}

TEST_F(SettingsTest, PathIsInTheProgramDirectory) {
  EXPECT_EQ(settings_.SettingsPath, dir_.Path() + "/Pelgrin.cfg");
}

TEST_F(SettingsTest, ReadsLinesLikeAFixedLineBuffer) {
  struct Case {
    const char* name;
    std::string text;
    std::int32_t remember;
    std::string palette, source;  // expected names relative to the program directory
    WindowPositions positions;
  };
  const std::string long_name(300, 'p');
  const Case cases[] = {
      {"all eight lines", "1\nq.pal  \t\r\nsrc.pal\n10 20\n30 40\n50 60\n70 80\n-90 100\n", 1,
       "q.pal", "src.pal", Positions({{10, 20}, {30, 40}, {50, 60}, {70, 80}, {-90, 100}})},
      {"switched off", "0\nq.pal\nsrc.pal\n10 20\n", 0, "", "", {}},
      {"no number on line 1", "yes\nq.pal\n", 0, "", "", {}},
      {"missing lines repeat the last one", "7\nq.pal\nsrc.pal\n5 6\n", 7, "q.pal", "src.pal",
       Positions({{5, 6}, {5, 6}, {5, 6}, {5, 6}, {5, 6}})},
      {"only line 1", "1\n", 1, "1", "1", Positions({{1, 0}, {1, 0}, {1, 0}, {1, 0}, {1, 0}})},
      {"one number on a position line", "1\na\nb\n4\n8 9 10\n", 1, "a", "b",
       Positions({{4, 0}, {8, 9}, {8, 9}, {8, 9}, {8, 9}})},
      {"a long line is read in two pieces", "1\n" + long_name + "\n1 2\n", 1,
       long_name.substr(0, 254), long_name.substr(254),
       Positions({{1, 2}, {1, 2}, {1, 2}, {1, 2}, {1, 2}})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ws_ = std::make_unique<WorkState>();
    SetProgramDir(*ws_, dir_.Path() + "/");
    settings_ = Settings{SettingsPathFor(ws_->ProgramDir)};
    Read(c.text);
    EXPECT_EQ(settings_.RememberSettings, c.remember);
    EXPECT_EQ(ws_->PaletteName, c.remember ? InDir(c.palette) : "default");
    EXPECT_EQ(ws_->SourcePaletteName, c.remember ? InDir(c.source) : "default");
    EXPECT_EQ(settings_.SavedPositions, c.positions);
  }
}

TEST_F(SettingsTest, MissingFileChangesNothing) {
  ReadSettings(settings_, *ws_);
  EXPECT_EQ(settings_.RememberSettings, 0);
  EXPECT_EQ(ws_->PaletteName, "default");
  EXPECT_EQ(settings_.SavedPositions, WindowPositions{});
}

TEST_F(SettingsTest, WritesEightLinesWithTheCurrentPositions) {
  settings_.RememberSettings = 3;
  ws_->PaletteName = "desert.pal";
  ws_->SourcePaletteName = "default";
  const auto now = Positions({{1, 2}, {-3, 4}, {5, 6}, {7, 8}, {9, 10}});
  EXPECT_EQ(WriteSettings(settings_, *ws_, now), SettingsWrite::kWritten);
  EXPECT_EQ(ReadText(settings_.SettingsPath),
            "3\ndesert.pal\ndefault\n1 2\n-3 4\n5 6\n7 8\n9 10\n");
}

TEST_F(SettingsTest, SwitchedOffOrUnwritableWritesNothing) {
  EXPECT_EQ(WriteSettings(settings_, *ws_, {}), SettingsWrite::kSwitchedOff);
  EXPECT_FALSE(FileExists(settings_.SettingsPath));

  settings_.RememberSettings = 1;
  settings_.SettingsPath = dir_.Path("no-such-dir/Pelgrin.cfg");
  EXPECT_EQ(WriteSettings(settings_, *ws_, {}), SettingsWrite::kFailed);
  EXPECT_FALSE(FileExists(settings_.SettingsPath));
}

TEST_F(SettingsTest, StartUpPaletteFromASubdirectoryIsWrittenBackAsItsFileName) {
  std::filesystem::create_directory(dir_.Path("pals"));
  test::WriteFileText(dir_.Path("pals/x.pal"), "a\nb\n2\n10 20 30\n40 50 60\n");
  Read("1\npals/x.pal\nother/src.pal\n0 0\n0 0\n0 0\n0 0\n0 0\n");

  EXPECT_TRUE(LoadStartupPalette(*ws_));
  EXPECT_EQ(ws_->LoadedPalette[1], (Rgb{40, 50, 60}));
  EXPECT_EQ(ws_->ActivePalette[1], (Rgb{40, 50, 60}));
  EXPECT_EQ(ws_->LoadedPalette[2], DefaultPalette[2]);
  EXPECT_EQ(ws_->PaletteName, "x.pal");
  EXPECT_EQ(ws_->SourcePaletteName, "src.pal");

  ASSERT_EQ(WriteSettings(settings_, *ws_, {}), SettingsWrite::kWritten);
  EXPECT_EQ(test::Lines(ReadText(settings_.SettingsPath))[1], "x.pal");
}

TEST_F(SettingsTest, MissingStartUpPaletteStillCutsTheNames) {
  Read("1\ngone/none.pal\nsrc.pal\n");
  EXPECT_FALSE(LoadStartupPalette(*ws_));
  EXPECT_EQ(ws_->LoadedPalette, DefaultPalette);
  EXPECT_EQ(ws_->PaletteName, "none.pal");
  // A FIFO named as the start-up palette, or standing as the settings file itself, is no
  // file: start-up goes on at once instead of waiting for a writer.
  ASSERT_EQ(::mkfifo(InDir("fifo.pal").c_str(), 0600), 0);
  Read("1\nfifo.pal\nsrc.pal\n");
  EXPECT_FALSE(LoadStartupPalette(*ws_));
  EXPECT_EQ(ws_->LoadedPalette, DefaultPalette);
  std::filesystem::remove(settings_.SettingsPath);
  ASSERT_EQ(::mkfifo(settings_.SettingsPath.c_str(), 0600), 0);
  Settings fresh;
  fresh.SettingsPath = settings_.SettingsPath;
  ReadSettings(fresh, *ws_);
  EXPECT_EQ(fresh.RememberSettings, 0);
}

TEST(CommandLine, OnlyAnShpExtensionOpensAndThePathIsKeptAsGiven) {
  using Args = std::vector<std::string>;
  EXPECT_EQ(CommandLineShpFile(Args{"/Images/UNITS.SHP"}), "/Images/UNITS.SHP");
  EXPECT_EQ(CommandLineShpFile(Args{"a.Shp", "b.txt"}),
            std::filesystem::current_path().string() + "/a.Shp");
  EXPECT_EQ(CommandLineShpFile(Args{"readme.txt"}), std::nullopt);
  EXPECT_EQ(CommandLineShpFile(Args{"units.shp/readme"}), std::nullopt);
  EXPECT_EQ(CommandLineShpFile(Args{"shp"}), std::nullopt);
  EXPECT_EQ(CommandLineShpFile(Args{}), std::nullopt);
}

}  // namespace
}  // namespace pelgrin
