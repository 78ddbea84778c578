// The files of tests/data/<kind>/ once broke a reader, or were made to. Each goes through
// the calls of the fuzz target of its kind (fuzz/fuzz_*.cpp) and must fail cleanly: no
// crash and, in the sanitizer build, no finding; every refusal reported; nothing written
// but what the operation may write.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <set>

#include "convert/index_road.h"
#include "headerfix/header_fix.h"
#include "io/byte_order.h"
#include "palette/palette_file.h"
#include "palette/text_palette.h"
#include "picture/bmp_file.h"
#include "picture/picture_file.h"
#include "shp/collage.h"
#include "shp/load_shp.h"
#include "shp/show.h"
#include "shp/shp_format.h"
#include "support/test_support.h"
#include "transfer/engine.h"
#include "transfer/script.h"

namespace pelgrin {
namespace {
namespace fs = std::filesystem;
using test::Bytes;

std::vector<std::string> DataFiles(const std::string& kind) {
  std::vector<std::string> files;
  for (const auto& entry : fs::directory_iterator(fs::path(PELGRIN_TEST_DATA_DIR) / kind)) {
    if (entry.is_regular_file()) files.push_back(entry.path().string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

// The image numbers the fuzz targets try: 0, the first four, the last four, count + 1.
std::vector<std::int32_t> SampleNumbers(std::int32_t count) {
  std::vector<std::int32_t> numbers;
  for (std::int32_t n = 0; n <= std::min(count, 4); ++n)
    numbers.push_back(n);
  for (std::int32_t n = std::max(5, count - 3); n <= count; ++n)
    numbers.push_back(n);
  numbers.push_back(count + 1);
  return numbers;
}

// Bytes the header fix may have written: the 24 at an image offset that lies after the
// index. Every other byte of the file must be as it was.
std::vector<std::size_t> StrayChanges(const Bytes& before, const Bytes& after,
                                      const WorkState& ws) {
  const std::int64_t index_end = ImageOffsetField(std::max(ws.ImageCount, 0));
  std::vector<std::size_t> stray;
  for (std::size_t at = 0; at < std::min(before.size(), after.size()); ++at) {
    if (before[at] == after[at]) continue;
    const auto pos = static_cast<std::int64_t>(at);
    const auto* end = ws.ImageOffsets.begin() + ws.ImageCount;
    if (std::none_of(ws.ImageOffsets.begin(), end, [&](std::int32_t offset) {
          return offset >= index_end && pos >= offset && pos < offset + kImageHeaderSize;
        }))
      stray.push_back(at);
  }
  return stray;
}

// fuzz_shp_open, fuzz_shp_collage and fuzz_shp_headerfix.
TEST(RegressionFiles, ShpOpenShowCollageAndHeaderFix) {
  const std::vector<std::string> files = DataFiles("shp");
  ASSERT_FALSE(files.empty());
  for (const std::string& file : files) {
    SCOPED_TRACE(file);
    test::TempDir dir;
    const std::string path = dir.Path("damaged.shp");
    fs::copy_file(file, path);
    const Bytes before = test::ReadFileBytes(path);
    auto ws = std::make_unique<WorkState>();
    test::RecordingReporter reporter;
    Surface view(96, 64);
    Surface mag(48, 48);
    if (LoadShp(*ws, path, reporter) != LoadShpResult::kLoaded) {
      EXPECT_GE(reporter.log.size() + reporter.errors.size(), 2u) << "a refusal says why";
      continue;
    }
    for (const std::int32_t n : SampleNumbers(ws->ImageCount)) {
      const ShowResult shown = ShowImage(*ws, n, n % 2 == 0, view, reporter);
      if (!IsImageNumber(*ws, n)) {
        EXPECT_EQ(shown, ShowResult::kNoImage) << "#" << n;
      }
      EXPECT_NE(shown, ShowResult::kOpenFailed);
    }
    Collage(*ws, 1, false, view, reporter);
    Collage(*ws, ws->ImageCount, true, view, reporter);
    for (const std::int32_t n : SampleNumbers(ws->ImageCount)) {
      const HeaderShowResult shown = HeaderFixShow(*ws, n, n % 2 == 1, mag, reporter);
      reporter.errors.clear();
      const HeaderWriteResult written = WriteImageHeader(*ws, n, shown.new_fields, reporter);
      if (!IsImageNumber(*ws, n)) {
        EXPECT_EQ(written, HeaderWriteResult::kNoImage) << "#" << n;
      }
      EXPECT_EQ(reporter.errors.size(), written == HeaderWriteResult::kWritten ? 0u : 1u)
          << "#" << n;
    }
    const Bytes after = test::ReadFileBytes(path);
    EXPECT_EQ(after.size(), before.size());
    EXPECT_TRUE(StrayChanges(before, after, *ws).empty()) << "bytes outside image headers changed";
  }
}

// fuzz_bmp_read: read, and draw what was read.
TEST(RegressionFiles, BmpReadAndDraw) {
  const std::vector<std::string> files = DataFiles("bmp");
  ASSERT_FALSE(files.empty());
  for (const std::string& file : files) {
    SCOPED_TRACE(file);
    auto ws = std::make_unique<WorkState>();
    test::RecordingReporter reporter;
    Surface bmp_view(800, 600);
    const BmpReadResult result = ReadBmpFile(*ws, file);
    if (result == BmpReadResult::kOk) {
      EXPECT_GE(ws->BmpHeader.biWidth, 1);
      EXPECT_LE(ws->BmpHeader.biWidth, RasterCols);
      EXPECT_GE(ws->BmpHeader.biHeight, 1);
      EXPECT_LE(ws->BmpHeader.biHeight, RasterRows);
      DrawBmpPixels(*ws, bmp_view, reporter);
      continue;
    }
    EXPECT_NE(BmpReadMessage(result, file), "");
    EXPECT_EQ(ws->BmpHeader.biWidth, 0) << "a refused bitmap changes nothing";
    EXPECT_EQ(ws->BmpHeader.biHeight, 0);
    EXPECT_EQ(ws->BmpHeader.bfOffBits, 54u);
    EXPECT_TRUE(std::all_of(ws->BmpPixels.begin(), ws->BmpPixels.end(),
                            [](std::uint8_t b) { return b == 0; }));
  }
}

// fuzz_bmp_kinds and fuzz_png_read: read as Load BMP reads any picture, draw it, and take
// Convert's index road when it is indexed.
TEST(RegressionFiles, PicturesReadAndDraw) {
  for (const char* kind : {"bmp", "png"}) {
    const std::vector<std::string> files = DataFiles(kind);
    ASSERT_FALSE(files.empty());
    for (const std::string& file : files) {
      SCOPED_TRACE(file);
      auto ws = std::make_unique<WorkState>();
      test::RecordingReporter reporter;
      Surface bmp_view(800, 600);
      const PictureReadResult result = ReadPictureFile(*ws, file);
      if (result.ok) {
        EXPECT_GE(ws->BmpHeader.biWidth, 1);
        EXPECT_LE(ws->BmpHeader.biWidth, RasterCols);
        EXPECT_GE(ws->BmpHeader.biHeight, 1);
        EXPECT_LE(ws->BmpHeader.biHeight, RasterRows);
        DrawBmpPixels(*ws, bmp_view, reporter);
        std::int64_t kept = 0;
        if (ws->BmpIndexInfo.indexed &&
            ChooseIndexRoad(*ws, ws->BmpHeader.biWidth, ws->BmpHeader.biHeight).keep)
          KeepIndices(*ws, ws->BmpHeader.biWidth, ws->BmpHeader.biHeight, kept);
        continue;
      }
      EXPECT_NE(result.message, "");
      EXPECT_EQ(ws->BmpHeader.biWidth, 0) << "a refused picture changes nothing";
      EXPECT_FALSE(ws->BmpIndexInfo.indexed);
      EXPECT_TRUE(std::all_of(ws->BmpPixels.begin(), ws->BmpPixels.end(),
                              [](std::uint8_t b) { return b == 0; }));
    }
  }
}

// fuzz_palette_formats: every palette file through the reader that tells the formats
// apart; a refused one changes no entry.
TEST(RegressionFiles, PaletteFormatsRead) {
  const std::vector<std::string> files = DataFiles("palette");
  ASSERT_FALSE(files.empty());
  Palette grey;
  grey.fill(Rgb{7, 7, 7});
  for (const std::string& file : files) {
    SCOPED_TRACE(file);
    Palette a = DefaultPalette;
    Palette b = grey;
    const PaletteReadResult read = ReadPaletteFile(file, {&a, &b});
    EXPECT_NE(read.status, PaletteReadStatus::kOpenFailed);
    if (read.status == PaletteReadStatus::kRefused) {
      EXPECT_NE(read.message, "");
      EXPECT_EQ(a, DefaultPalette);
      EXPECT_EQ(b, grey);
      continue;
    }
    for (std::size_t i = 0; i < a.size(); ++i)
      EXPECT_TRUE(a[i] == b[i] || (a[i] == DefaultPalette[i] && b[i] == grey[i])) << "entry " << i;
  }
}

// fuzz_palette_read: one file into two palettes.
TEST(RegressionFiles, PaletteRead) {
  const std::vector<std::string> files = DataFiles("palette");
  ASSERT_FALSE(files.empty());
  Palette grey;
  grey.fill(Rgb{7, 7, 7});
  for (const std::string& file : files) {
    SCOPED_TRACE(file);
    Palette a = DefaultPalette;
    Palette b = grey;
    EXPECT_TRUE(ReadPalFile(file, {&a, &b}));
    for (std::size_t i = 0; i < a.size(); ++i) {
      // An entry the file set holds the same colour in both; any other keeps its own.
      EXPECT_TRUE(a[i] == b[i] || (a[i] == DefaultPalette[i] && b[i] == grey[i])) << "entry " << i;
    }
  }
}

// fuzz_script_load: load, save what was loaded, load that again.
TEST(RegressionFiles, ScriptLoadSaveLoad) {
  const std::vector<std::string> files = DataFiles("script");
  ASSERT_FALSE(files.empty());
  for (const std::string& file : files) {
    SCOPED_TRACE(file);
    test::TempDir dir;
    test::RecordingReporter reporter;
    auto table = std::make_unique<ScriptTable>();
    ASSERT_TRUE(LoadScript(*table, file, reporter));
    for (int row = 1; row <= kScriptRows; ++row) {
      for (int column = 0; column < kScriptColumns; ++column) {
        const std::string& cell = table->Cell(column, row);
        EXPECT_LE(cell.size(), 127u) << "row " << row << " column " << column;
        EXPECT_EQ(cell.find('\n'), std::string::npos) << "row " << row << " column " << column;
      }
    }
    EXPECT_TRUE(SaveScript(*table, dir.Path("saved.csv"), reporter));
    EXPECT_TRUE(LoadScript(*table, dir.Path("saved.csv"), reporter));
    EXPECT_TRUE(reporter.messages.empty());
  }
}

std::set<std::string> FilesUnder(const std::string& root) {
  std::set<std::string> names;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (entry.is_regular_file())
      names.insert(entry.path().lexically_relative(root).generic_string());
  }
  return names;
}

// fuzz_transfer_row: byte 0 the source icon, byte 1 the destination icon, byte 2 bit 0
// "Use 2 Palettes", bytes 3-4 the source archive's length; the source archive follows,
// then the destination archive.
TEST(RegressionFiles, TransferRow) {
  const std::vector<std::string> files = DataFiles("transfer");
  ASSERT_FALSE(files.empty());
  for (const std::string& file : files) {
    SCOPED_TRACE(file);
    const Bytes data = test::ReadFileBytes(file);
    ASSERT_GE(data.size(), 5u);
    test::TempDir dir;
    fs::create_directory(dir.Path("source"));
    fs::create_directory(dir.Path("dest"));
    const std::size_t source_size = std::min<std::size_t>(GetLE16(&data[3]), data.size() - 5);
    const auto source_end = data.begin() + 5 + static_cast<std::ptrdiff_t>(source_size);
    const Bytes dest(source_end, data.end());
    test::WriteFileBytes(dir.Path("source/s.shp"), Bytes(data.begin() + 5, source_end));
    test::WriteFileBytes(dir.Path("dest/d.shp"), dest);
    auto ws = std::make_unique<WorkState>();
    SetProgramDir(*ws, dir.Path(""));
    for (std::size_t i = 0; i < ws->SourcePalette.size(); ++i)
      ws->SourcePalette[i] = {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(3 * i), 7};
    TransferLabels labels;
    test::RecordingReporter reporter;
    const RowResult result =
        TransferRow(*ws, {"", "d", std::to_string(data[1]), "s", std::to_string(data[0])},
                    (data[2] & 1) != 0, labels, reporter);
    if (result == RowResult::kDone) {
      EXPECT_TRUE(reporter.messages.empty());
      EXPECT_EQ(FilesUnder(dir.Path()),
                (std::set<std::string>{"TransTmp.sdf", "dest/d.shp", "source/s.shp"}));
      continue;
    }
    EXPECT_EQ(reporter.messages.size(), 1u) << "a refused row says why";
    EXPECT_EQ(test::ReadFileBytes(dir.Path("dest/d.shp")), dest);
    EXPECT_EQ(FilesUnder(dir.Path()), (std::set<std::string>{"dest/d.shp", "source/s.shp"}));
  }
}

}  // namespace
}  // namespace pelgrin
