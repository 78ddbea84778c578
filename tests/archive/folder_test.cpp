// Unpacked folders edited and packed, and everything unpack and pack refuse.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>

#include "archive/layout.h"
#include "archive/record_pixels.h"
#include "io/files.h"
#include "io/paths.h"
#include "picture/bmp_file.h"
#include "picture/png_file.h"
#include "shp/encode.h"
#include "support/test_support.h"

namespace pelgrin {
namespace {

using test::Bytes;
namespace fs = std::filesystem;

struct Scanned {
  Bytes bytes;
  ArchiveLayout layout;
  Bytes RecordOf(std::size_t entry) const {
    const LayoutRecord& r = layout.records[static_cast<std::size_t>(layout.entries[entry].record)];
    return Bytes(bytes.begin() + r.start, bytes.begin() + r.start + r.length);
  }
  Bytes PaletteOf(std::size_t entry) const {
    const int p = layout.entries[entry].palette;
    if (p < 0) return {};
    const LayoutPalette& lp = layout.palettes[static_cast<std::size_t>(p)];
    return Bytes(bytes.begin() + lp.start, bytes.begin() + lp.start + lp.length);
  }
};

Scanned Scan(const std::string& path) {
  Scanned s{test::ReadFileBytes(path), {}};
  std::string problem;
  EXPECT_TRUE(ScanLayout(s.bytes, s.layout, problem)) << problem;
  return s;
}

class FolderTest : public ::testing::Test {
 protected:
  void Unpack(const std::vector<std::string>& extra = {}) {
    std::vector<std::string> args = {"unpack", PELGRIN_DEMO_SHP, folder_};
    args.insert(args.end(), extra.begin(), extra.end());
    const auto r = test::RunCli(args);
    ASSERT_EQ(r.status, 0) << r.err;
  }

  // A 5 x 4 picture: index `index` in the box (1, 1)-(2, 3), the rest transparent. The
  // raster of ws_ holds it, CurHeader its frame and box.
  void Paint(std::uint8_t index, const Palette& palette) {
    ClearRaster(*ws_);
    for (int x = 1; x <= 2; ++x)
      for (int y = 1; y <= 3; ++y)
        ws_->Raster[static_cast<std::size_t>(x) * RasterRows + static_cast<std::size_t>(y)] = index;
    ws_->CurHeader = test::Header(5, 4, 1, 1, 2, 3);
    ws_->ActivePalette = palette;
  }

  Bytes ExpectedRecord(std::int32_t offs_word) {
    Bytes record;
    EncodeImage(*ws_, record);
    ImageHeader h = ws_->CurHeader;
    h.OffsWord = offs_word;
    const auto head = test::HeaderBytes(h);
    std::copy(head.begin(), head.end(), record.begin());
    return record;
  }

  test::TempDir dir_;
  std::string folder_ = dir_.Path("folder");
  std::string out_ = dir_.Path("out.shp");
  std::unique_ptr<WorkState> ws_ = std::make_unique<WorkState>();
  test::RecordingReporter quiet_;
};

// Editing one picture changes that record and the offsets after it, nothing else.
TEST_F(FolderTest, AnEditedPictureChangesOnlyItsRecord) {
  const Scanned before = Scan(PELGRIN_DEMO_SHP);
  const auto own_palette = [&](std::size_t entry) {
    return PaletteOfRecord(before.PaletteOf(entry));
  };
  struct Case {
    const char* name;
    std::vector<std::string> unpack;
    std::size_t entry;  // 0-based
    std::uint8_t painted;
    std::function<Palette()> palette;  // of the picture written
    bool png;
    std::uint8_t expected;  // the index pack gives the painted pixels
  };
  const Case cases[] = {
      {"indexed PNG, loaded palette: indices kept",
       {},
       1,
       77,
       [] { return DefaultPalette; },
       true,
       77},
      {"indexed PNG in its own palette: indices kept",
       {},
       4,
       9,
       [&] { return own_palette(4); },
       true,
       9},
      {"bitmap: colours matched",
       {"--format", "bmp"},
       1,
       5,
       [] { return DefaultPalette; },
       false,
       5},
      {"bitmap in the own palette: matched against it",
       {"--format", "bmp"},
       4,
       9,
       [&] { return own_palette(4); },
       false,
       9},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(folder_);
    Unpack(c.unpack);
    Paint(c.painted, c.palette());
    char name[16];
    std::snprintf(name, sizeof name, "%04zu.%s", c.entry + 1, c.png ? "png" : "bmp");
    ASSERT_TRUE(c.png ? WriteRasterPng(*ws_, JoinPath(folder_, name), quiet_)
                      : WriteRasterBmp(*ws_, JoinPath(folder_, name), quiet_));
    const auto r = test::RunCli({"pack", folder_, out_});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "1 edited pictures converted\n");
    const Scanned after = Scan(out_);
    ASSERT_EQ(after.layout.entries.size(), before.layout.entries.size());
    const LayoutRecord& edited =
        before.layout.records[static_cast<std::size_t>(before.layout.entries[c.entry].record)];
    Paint(c.expected, c.palette());
    const Bytes expected = ExpectedRecord(edited.header.OffsWord);
    EXPECT_EQ(after.RecordOf(c.entry), expected);
    const std::int64_t moved = static_cast<std::int64_t>(expected.size()) - edited.length;
    for (std::size_t i = 0; i < before.layout.entries.size(); ++i) {
      EXPECT_EQ(after.PaletteOf(i), before.PaletteOf(i)) << i;
      const std::int32_t old_at = before.layout.entries[i].image_offset;
      if (before.layout.entries[i].record == before.layout.entries[c.entry].record) continue;
      EXPECT_EQ(after.RecordOf(i), before.RecordOf(i)) << i;
      EXPECT_EQ(after.layout.entries[i].image_offset, old_at + (old_at > edited.start ? moved : 0))
          << i;
    }
  }
}

TEST_F(FolderTest, UnpackRefusals) {
  test::WriteFileBytes(dir_.Path("damaged.shp"), {0x31, 0x2E, 0x31, 0x30, 0x20, 0x4E, 0, 0});
  fs::create_directory(dir_.Path("full"));
  test::WriteFileText(dir_.Path("full/keep"), "kept");
  struct Case {
    const char* name;
    std::string shp, dir;
    std::string message;
  };
  const Case cases[] = {
      {"a folder with something in it", PELGRIN_DEMO_SHP, dir_.Path("full"),
       dir_.Path("full") +
           " is not an empty folder: unpack writes into a new folder or an empty one.\n"},
      {"a file in the way", PELGRIN_DEMO_SHP, dir_.Path("full/keep"),
       dir_.Path("full/keep") + " is not an empty folder"},
      {"a damaged archive", dir_.Path("damaged.shp"), dir_.Path("new"),
       dir_.Path("damaged.shp") + " is damaged: its image count 20000 lies outside 0..10000.\n"},
      {"a missing archive", dir_.Path("none.shp"), dir_.Path("new"),
       "Could not open file " + dir_.Path("none.shp") + ".\n"},
      {"an unwritable place", PELGRIN_DEMO_SHP, dir_.Path("no/such/new"),
       "Could not create folder " + dir_.Path("no/such/new") + ".\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto r = test::RunCli({"unpack", c.shp, c.dir});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.substr(0, c.message.size()), c.message);
    EXPECT_EQ(test::ReadFileBytes(dir_.Path("full/keep")), Bytes({'k', 'e', 'p', 't'}));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_.Path("full")), fs::directory_iterator()),
              1);
    EXPECT_FALSE(fs::exists(dir_.Path("new")));
  }
  // Nothing but the inputs is left beside them: no temporary folder.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_.Path()), fs::directory_iterator()), 2);
}

TEST_F(FolderTest, UnpackIntoAnEmptyFolder) {
  fs::create_directory(folder_);
  Unpack();
  EXPECT_TRUE(fs::exists(JoinPath(folder_, "archive.json")));
}

TEST_F(FolderTest, PackRefusals) {
  Unpack();
  const std::string model = JoinPath(folder_, "archive.json");
  const Bytes model_bytes = test::ReadFileBytes(model);
  const std::string json(model_bytes.begin(), model_bytes.end());
  const auto replaced = [&json](const std::string& from, const std::string& to) {
    std::string text = json;
    text.replace(text.find(from), from.size(), to);
    return text;
  };
  test::WriteFileText(dir_.Path("outside.png"), "x");
  struct Case {
    const char* name;
    std::function<void(const std::string& folder)> damage;
    std::string message;  // with "DIR" for the folder
  };
  const Case cases[] = {
      {"a missing picture", [](const std::string& f) { fs::remove(JoinPath(f, "0002.png")); },
       "Could not open DIR/0002.png. (the picture of entry #2)\n"},
      {"a picture that is none",
       [](const std::string& f) { test::WriteFileText(JoinPath(f, "0002.png"), "no picture"); },
       "DIR/0002.png is neither a PNG picture nor a Windows bitmap. (the picture of entry #2)\n"},
      {"a picture without an image",
       [&](const std::string& f) {
         ClearRaster(*ws_);
         ws_->CurHeader = test::Header(3, 3, 0, 0, 0, 0);
         WriteRasterPng(*ws_, JoinPath(f, "0002.png"), quiet_);
       },
       "DIR/0002.png (the picture of entry #2) has no pixel other than the background colour"},
      {"no archive.json", [](const std::string& f) { fs::remove(JoinPath(f, "archive.json")); },
       "Could not read file DIR/archive.json.\n"},
      {"archive.json that is no JSON",
       [](const std::string& f) {
         test::WriteFileText(JoinPath(f, "archive.json"), "{\"entries\": [");
       },
       "DIR/archive.json is damaged: it is not valid JSON.\n"},
      {"a name climbing out",
       [&](const std::string& f) {
         test::WriteFileText(JoinPath(f, "archive.json"),
                             replaced("\"0002.png\"", "\"../outside.png\""));
       },
       "DIR/archive.json is damaged: record 1 names \"../outside.png\", which is not a file of the "
       "folder.\n"},
      {"an absolute name",
       [&](const std::string& f) {
         test::WriteFileText(JoinPath(f, "archive.json"),
                             replaced("\"0002.png\"", "\"/etc/passwd\""));
       },
       "DIR/archive.json is damaged: record 1 names \"/etc/passwd\""},
      {"a link leading out",
       [&](const std::string& f) {
         fs::remove(JoinPath(f, "0002.png"));
         fs::create_symlink(dir_.Path("outside.png"), JoinPath(f, "0002.png"));
       },
       "DIR/0002.png: the picture of entry #2 leads out of the folder.\n"},
      {"a record out of range",
       [&](const std::string& f) {
         test::WriteFileText(JoinPath(f, "archive.json"),
                             replaced("\"record\": 1", "\"record\": 99"));
       },
       "DIR/archive.json is damaged: entry #2 has \"record\" outside 0..42.\n"},
      {"a cut palette record",
       [](const std::string& f) { fs::resize_file(JoinPath(f, "0005-palette.bin"), 6); },
       "DIR/0005-palette.bin is not a palette record: its length does not match its count.\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string copy = dir_.Path("copy");
    fs::remove_all(copy);
    fs::copy(folder_, copy, fs::copy_options::recursive);
    c.damage(copy);
    test::WriteFileText(out_, "old");
    const auto r = test::RunCli({"pack", copy, out_});
    EXPECT_EQ(r.status, 1);
    std::string message = c.message;
    for (std::size_t at; (at = message.find("DIR")) != std::string::npos;)
      message.replace(at, 3, copy);
    EXPECT_EQ(r.err.substr(0, message.size()), message);
    EXPECT_EQ(test::ReadFileBytes(out_), Bytes({'o', 'l', 'd'}));
  }
}

}  // namespace
}  // namespace pelgrin
