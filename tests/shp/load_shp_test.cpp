// Opening an archive: paths, log lines and the image-count limit.
#include <gtest/gtest.h>

#include <memory>

#include "io/byte_order.h"
#include "io/files.h"
#include "shp/archive_builder.h"
#include "shp/load_shp.h"
#include "support/test_support.h"

namespace pelgrin {
namespace {

using test::Bytes;

Bytes ArchiveOfSizes(const std::vector<std::pair<int, int>>& sizes) {
  std::vector<ArchiveImage> images;
  for (auto [w, h] : sizes) {
    ArchiveImage image;
    image.record = test::Record(test::Header(w, h, 0, 0, 0, 0), {0});
    images.push_back(image);
  }
  return BuildArchive(images);
}

// An archive that claims count images; its index is only as long as the file allows.
Bytes CountOnly(std::int32_t count) {
  Bytes b(8 + 8 * static_cast<std::size_t>(std::max(0, std::min(count, 10001))), 0);
  PutLE32(&b[4], static_cast<std::uint32_t>(count));
  return b;
}

TEST(LoadShp, LogsNameCountAndLargestFrame) {
  test::TempDir dir;
  const std::string path = dir.Path("a_rather_long_archive_name.shp");
  test::WriteFileBytes(path, ArchiveOfSizes({{10, 48}, {32, 20}, {1, 1}}));
  auto ws = std::make_unique<WorkState>();
  test::RecordingReporter r;
  ASSERT_EQ(LoadShp(*ws, path, r), LoadShpResult::kLoaded);
  EXPECT_EQ(r.log, (std::vector<std::string>{"a_rather_long_a", "3 Icons", "47 Max Height",
                                             "31 Max Width"}));
  EXPECT_EQ(ws->ImageCount, 3);
  EXPECT_EQ(ws->ShpDir, dir.Path(""));
  EXPECT_EQ(ws->OutShpPath, dir.Path("Bignew.shp"));
  EXPECT_EQ(ws->CurHeader.MaxX, 0);  // the last image's header stays in CurHeader
  EXPECT_EQ(r.clears, 1);
}

TEST(LoadShp, ImageCountLimit) {
  struct Case {
    std::int32_t count;
    LoadShpResult result;
    std::vector<std::string> log;
    std::int32_t image_count;
  };
  const Case cases[] = {
      {10000,
       LoadShpResult::kLoaded,
       {"c.shp", "10000 Icons", "0 Max Height", "0 Max Width"},
       10000},
      {10001, LoadShpResult::kTooManyImages, {"c.shp", "10001 icons exceeds", "10000 maximum"}, 0},
      {0, LoadShpResult::kLoaded, {"c.shp", "0 Icons", "0 Max Height", "0 Max Width"}, 0},
      {-1, LoadShpResult::kLoaded, {"c.shp", "-1 Icons", "0 Max Height", "0 Max Width"}, -1},
  };
  for (const Case& c : cases) {
    test::TempDir dir;
    test::WriteFileBytes(dir.Path("c.shp"), CountOnly(c.count));
    auto ws = std::make_unique<WorkState>();
    ws->ImageCount = 7;
    test::RecordingReporter r;
    EXPECT_EQ(LoadShp(*ws, dir.Path("c.shp"), r), c.result) << c.count;
    EXPECT_EQ(r.log, c.log) << c.count;
    EXPECT_EQ(ws->ImageCount, c.image_count) << c.count;
  }
}

TEST(LoadShp, MissingFileIsReportedAfterThePathsAreSet) {
  test::TempDir dir;
  auto ws = std::make_unique<WorkState>();
  test::RecordingReporter r;
  r.log.push_back("old line");
  const std::string path = dir.Path("missing.shp");
  EXPECT_EQ(LoadShp(*ws, path, r), LoadShpResult::kOpenFailed);
  EXPECT_EQ(r.errors, std::vector<std::string>{"Could not open file " + path + "."});
  EXPECT_TRUE(r.log.empty());
  EXPECT_EQ(ws->ShpPath, path);
  EXPECT_EQ(ws->OutShpPath, dir.Path("Bignew.shp"));
}

TEST(LoadShp, TruncatedIndexAndHeadersReadAsZero) {
  test::TempDir dir;
  Bytes b = CountOnly(3);
  b.resize(12);  // the index stops after the first offset
  test::WriteFileBytes(dir.Path("t.shp"), b);
  auto ws = std::make_unique<WorkState>();
  test::RecordingReporter r;
  EXPECT_EQ(LoadShp(*ws, dir.Path("t.shp"), r), LoadShpResult::kLoaded);
  EXPECT_EQ(ws->ImageOffsets[2], 0);
  EXPECT_EQ(r.log.back(), "0 Max Width");
}

TEST(LoadShp, LabelAndShortNameAbbreviations) {
  const std::string p33(33, 'a');
  const std::string p34 = "abcdefghijkl" + std::string(3, 'x') + "0123456789abcdefghi";
  EXPECT_EQ(AbbreviatePath(p33), p33);
  ASSERT_EQ(p34.size(), 34u);
  EXPECT_EQ(AbbreviatePath(p34), "abcdefghijkl...0123456789abcdefghi");
  EXPECT_EQ(ShortName("/x/y/abcdefghijklmnopq.shp"), "abcdefghijklmno");
  EXPECT_EQ(ShortName("short.shp"), "short.shp");
}

}  // namespace
}  // namespace pelgrin
