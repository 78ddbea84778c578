// Replace and Add: the rebuilt archive for every layout the writers produce and a few
// they do not, the tables of the open file, and every refusal leaving the files as
// they were.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <set>

#include "io/byte_order.h"
#include "io/text.h"
#include "shp/load_shp.h"
#include "shp/rebuild.h"
#include "shp/show.h"
#include "support/test_support.h"

namespace pelgrin {
namespace {

using test::Bytes;

// An entry names the block of its record and of its palette record (-1: none).
struct Entry {
  int image;
  int palette = -1;
};

// An archive whose blocks follow the index in the order given.
Bytes Assemble(const std::vector<Entry>& entries, const std::vector<Bytes>& blocks) {
  Bytes out(8 + 8 * entries.size(), 0);
  std::copy_n("XYZW", 4, out.begin());
  PutLE32(&out[4], static_cast<std::uint32_t>(entries.size()));
  std::vector<std::uint32_t> at;
  for (const Bytes& b : blocks) {
    at.push_back(static_cast<std::uint32_t>(out.size()));
    out.insert(out.end(), b.begin(), b.end());
  }
  for (std::size_t i = 0; i < entries.size(); ++i) {
    PutLE32(&out[8 + 8 * i], at[static_cast<std::size_t>(entries[i].image)]);
    const int p = entries[i].palette;
    PutLE32(&out[12 + 8 * i], p < 0 ? 0 : at[static_cast<std::size_t>(p)]);
  }
  return out;
}

// A one-line image record of n pixels of value v (length 24 + n + 2).
Bytes Rec(std::uint8_t v, int n) {
  Bytes data{static_cast<std::uint8_t>(2 * n + 1)};
  data.insert(data.end(), static_cast<std::size_t>(n), v);
  data.push_back(0);
  return test::Record(test::Header(n, 1, 0, 0, n - 1, 0), data);
}

Bytes Pal(std::uint8_t n) {
  Bytes b{n, 0, 0, 0};
  for (std::uint8_t i = 0; i < n; ++i)
    b.insert(b.end(), {i, 10, 20, 30});
  return b;
}

const Bytes A = Rec(1, 3), pA = Pal(2), B = Rec(2, 5), pB = Pal(1), C = Rec(3, 4), X = Rec(4, 2),
            Y = Rec(5, 6), kLong = Rec(9, 105), kShort = Rec(9, 1);

std::set<std::string> Files(const std::string& dir) {
  std::set<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir))
    names.insert(e.path().filename().string());
  return names;
}

class RebuildTest : public ::testing::Test {
 protected:
  // Writes the archive and the record and opens the archive as Load SHP does.
  void Open(const Bytes& archive, const Bytes& record, const std::string& name = "units.shp") {
    test::WriteFileBytes(dir_.Path(name), archive);
    test::WriteFileBytes(dir_.Path("New_shp.sdf"), record);
    ws_ = std::make_unique<WorkState>();
    LoadShp(*ws_, dir_.Path(name), reporter_);
    ws_->NewImagePath = dir_.Path("New_shp.sdf");
    reporter_.log.clear();
  }
  RebuildPaths Paths() const { return RebuildPathsOf(*ws_); }
  Bytes Output() const { return test::ReadFileBytes(dir_.Path("Bignew.shp")); }

  test::TempDir dir_;
  test::RecordingReporter reporter_;
  std::unique_ptr<WorkState> ws_;
};

TEST_F(RebuildTest, ReplaceKeepsEveryOtherRecordWhereItsOffsetPoints) {
  const std::vector<Entry> own = {{0, 1}, {2, 3}, {4}};  // each image followed by its palette
  const std::vector<Bytes> own_blocks = {A, pA, B, pB, C};
  const std::vector<Entry> shared = {{0, 1}, {2, 3}, {2, 3}, {4}};
  struct Case {
    const char* name;
    std::vector<Entry> entries;
    std::vector<Bytes> blocks;
    int k;
    Bytes record;
    bool keep_header = false;
  };
  // clang-format off
  const Case cases[] = {
      {"longer, own palette after it", own, own_blocks, 1, kLong},
      {"shorter, own palette after it", own, own_blocks, 1, kShort},
      {"first image", own, own_blocks, 0, kLong},
      {"keep the old header", own, own_blocks, 1, kLong, true},
      {"no palette of its own", {{0}, {1}, {2}}, {A, B, C}, 1, kLong},
      {"first of a shared record", shared, own_blocks, 1, kShort},
      {"second of a shared record", shared, own_blocks, 2, kLong},
      {"last image with palette", {{0}, {1, 2}}, {A, B, pB}, 1, kShort},
      {"last image without palette", {{0, 1}, {2}}, {A, pA, B}, 1, kLong},
      {"appended image, not last", {{0, 1}, {2, 3}, {4, 3}, {5, 3}}, {A, pA, B, pB, X, Y}, 2, kLong},
      {"appended image, last", {{0, 1}, {2, 3}, {4, 3}}, {A, pA, B, pB, X}, 2, kShort},
      {"records out of index order", {{1}, {0}}, {A, B}, 1, kLong},
      {"bytes between index and records", {{1}, {2}}, {Bytes(7, 0xEE), A, B}, 0, kShort},
  };
  // clang-format on
  for (const Case& c : cases) {
    const Bytes source = Assemble(c.entries, c.blocks);
    Open(source, c.record);
    ASSERT_TRUE(ReplaceImageInShp(*ws_, Paths(), c.k, c.keep_header, reporter_)) << c.name;
    // The old record's block becomes the new record (behind the old header if kept).
    std::vector<Bytes> blocks = c.blocks;
    Bytes& block = blocks[static_cast<std::size_t>(c.entries[static_cast<std::size_t>(c.k)].image)];
    block.resize(c.keep_header ? 24 : 0);
    block.insert(block.end(), c.record.begin() + (c.keep_header ? 24 : 0), c.record.end());
    EXPECT_EQ(Output(), Assemble(c.entries, blocks)) << c.name;
    EXPECT_EQ(test::ReadFileBytes(dir_.Path("units.shp")), source) << c.name;
    EXPECT_EQ(ws_->ImageOffsets[0], GetLE32(&source[8])) << c.name;  // tables describe the source
    EXPECT_EQ(Files(dir_.Path()), (std::set<std::string>{"Bignew.shp", "New_shp.sdf", "units.shp"}))
        << c.name;
  }
}

TEST_F(RebuildTest, AppendAddsAnEntrySharingTheLastPalette) {
  struct Case {
    const char* name;
    std::vector<Entry> entries;
    std::vector<Bytes> blocks;
    int palette_of_new;
  };
  const Case cases[] = {
      {"last image without palette", {{0, 1}, {2}}, {A, pA, B}, -1},
      {"last image with palette", {{0}, {1, 2}}, {A, B, pB}, 2},
      {"no images", {}, {}, -1},
  };
  for (const Case& c : cases) {
    const Bytes source = Assemble(c.entries, c.blocks);
    Open(source, X);
    ASSERT_TRUE(AppendImageToShp(*ws_, Paths(), reporter_)) << c.name;
    std::vector<Entry> entries = c.entries;
    entries.push_back({static_cast<int>(c.blocks.size()), c.palette_of_new});
    std::vector<Bytes> blocks = c.blocks;
    blocks.push_back(X);
    const Bytes out = Output();
    EXPECT_EQ(out, Assemble(entries, blocks)) << c.name;
    const std::size_t n = c.entries.size();
    EXPECT_EQ(GetLE32(&out[8 + 8 * n]), static_cast<std::int32_t>(source.size() + 8)) << c.name;
    EXPECT_EQ(ws_->ImageCount, static_cast<std::int32_t>(n)) << c.name;  // the source's tables
  }
}

// The open file is Bignew.shp itself: it is rebuilt in place and Show finds every image
// at its new offset without opening the file again.
TEST_F(RebuildTest, OpenFileRebuiltInPlace) {
  Open(Assemble({{0, 1}, {2, 3}, {4}}, {A, pA, B, pB, C}), kLong, "Bignew.shp");
  Surface view(kViewWidth, kViewHeight);
  const auto shows = [&](int number, std::uint8_t value, int width) {
    reporter_.log.clear();
    ShowImage(*ws_, number, true, view, reporter_);
    return test::RasterByte(*ws_, width - 1, 0) == value &&
           reporter_.log == std::vector<std::string>{"cols " + std::to_string(width) + ", lines 1"};
  };
  ASSERT_TRUE(ReplaceImageInShp(*ws_, Paths(), 1, false, reporter_));
  EXPECT_TRUE(shows(2, 9, 105));
  EXPECT_TRUE(shows(3, 3, 4));
  ASSERT_TRUE(AppendImageToShp(*ws_, Paths(), reporter_));
  EXPECT_EQ(ws_->ImageCount, 4);
  EXPECT_TRUE(shows(1, 1, 3));
  EXPECT_TRUE(shows(3, 3, 4));
  EXPECT_TRUE(shows(4, 9, 105));
  EXPECT_EQ(Files(dir_.Path()), (std::set<std::string>{"Bignew.shp", "New_shp.sdf"}));
}

TEST_F(RebuildTest, RefusalsLeaveEveryFileAsItWas) {
  const Bytes good = Assemble({{0, 1}, {2}}, {A, pA, B});
  Bytes negative = good, beyond_image = good, into_index = good;
  PutLE32(&negative[4], static_cast<std::uint32_t>(-1));
  PutLE32(&beyond_image[16], static_cast<std::uint32_t>(good.size() + 1));
  PutLE32(&into_index[8], 4);
  Bytes short_index = good;
  PutLE32(&short_index[4], 5);
  std::vector<Entry> full(MaxImages, Entry{0});
  const std::string src = dir_.Path("units.shp");
  const std::string rec = dir_.Path("New_shp.sdf");
  const std::string damaged = FillPattern(kDamagedShp, {src});
  enum Op { kReplace, kAppend };
  struct Case {
    const char* name;
    Op op;
    Bytes source;
    Bytes record;
    std::int32_t k;
    std::string error;
    std::function<void(WorkState&, RebuildPaths&)> change = nullptr;
    bool keep_header = false;
  };
  const auto set = [](std::string RebuildPaths::*field, std::string path) {
    return [field, path](WorkState&, RebuildPaths& p) { p.*field = path; };
  };
  const auto huge_record = [this](WorkState&, RebuildPaths& p) {
    p.record = dir_.Path("huge.sdf");
    test::WriteFileBytes(p.record, {});
    std::filesystem::resize_file(p.record, std::uintmax_t{1} << 31);  // sparse: takes no room
  };
  // clang-format off
  const Case cases[] = {
      {"record missing", kReplace, good, X, 0, "Could not open file " + dir_.Path("none.sdf") + ".",
       set(&RebuildPaths::record, dir_.Path("none.sdf"))},
      {"no file open", kAppend, good, X, 0, "Could not open file .",
       set(&RebuildPaths::source, "")},
      {"output directory missing", kReplace, good, X, 0,
       "Could not open file " + dir_.Path("no/Bignew.shp") + ".",
       set(&RebuildPaths::output, dir_.Path("no/Bignew.shp"))},
      {"image 0", kReplace, good, X, -1, "There is no image #0 in " + src + "."},
      {"image past the last", kReplace, good, X, 2, "There is no image #3 in " + src + "."},
      {"file changed since it was opened", kReplace, good, X, 0, FillPattern(kShpChanged, {src}),
       [](WorkState& ws, RebuildPaths&) { ws.ImageOffsets[1] += 1; }},
      {"record shorter than a header", kReplace, good, Bytes(23, 1), 0,
       FillPattern(kNotARecord, {rec})},
      {"negative count", kAppend, negative, X, 0, damaged},
      {"index past the end", kReplace, short_index, X, 0, damaged},
      {"image offset past the end", kAppend, beyond_image, X, 0, damaged},
      {"record inside the index", kReplace, into_index, X, 0, damaged},
      {"old header cut off", kReplace, Assemble({{0}, {1}}, {A, Bytes(10, 1)}), X, 1, damaged,
       nullptr, true},
      {"10000 images", kAppend, Assemble(full, {A}), X, 0, FillPattern(kShpFull, {src})},
      {"beyond 2 GB", kReplace, good, X, 0, FillPattern(kShpTooLarge, {dir_.Path("Bignew.shp")}),
       huge_record},
  };
  // clang-format on
  for (const Case& c : cases) {
    Open(c.source, c.record);
    RebuildPaths paths = Paths();
    if (c.change) c.change(*ws_, paths);
    test::WriteFileText(dir_.Path("Bignew.shp"), "previous");
    const auto files = Files(dir_.Path());
    reporter_.errors.clear();
    const bool done = c.op == kReplace
                          ? ReplaceImageInShp(*ws_, paths, c.k, c.keep_header, reporter_)
                          : AppendImageToShp(*ws_, paths, reporter_);
    EXPECT_FALSE(done) << c.name;
    EXPECT_EQ(reporter_.errors, std::vector<std::string>{c.error}) << c.name;
    EXPECT_EQ(Output(), Bytes({'p', 'r', 'e', 'v', 'i', 'o', 'u', 's'})) << c.name;
    EXPECT_EQ(test::ReadFileBytes(src), c.source) << c.name;
    EXPECT_EQ(Files(dir_.Path()), files) << c.name;
    std::filesystem::remove(dir_.Path("huge.sdf"));
  }
}

}  // namespace
}  // namespace pelgrin
