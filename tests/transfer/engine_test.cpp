// The transfer engine on files: copies, remaps, rebuilds, refusals and runs.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>

#include <filesystem>
#include <functional>
#include <map>
#include <memory>

#include "io/byte_order.h"
#include "io/file_faults.h"
#include "io/files.h"
#include "io/text.h"
#include "shp/archive_builder.h"
#include "support/test_support.h"
#include "transfer/engine.h"
#include "transfer/record.h"

namespace pelgrin {
namespace {

namespace fs = std::filesystem;
using test::Bytes;
using test::Header;
using test::Record;

ArchiveImage Image(Bytes record, std::vector<std::array<std::uint8_t, 4>> palette = {}) {
  ArchiveImage image;
  image.record = std::move(record);
  image.has_palette = !palette.empty();
  image.palette = std::move(palette);
  return image;
}

// Codes: literal 10 255, skip 200, repeat 255 three times, skip 7, end of line.
const Bytes kRemapRecord = Record(Header(8, 1, 0, 0, 7, 0), {5, 10, 255, 1, 200, 6, 255, 1, 7, 0});

class TransferTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::make_unique<test::TempDir>();
    fs::create_directory(dir_->Path("source"));
    fs::create_directory(dir_->Path("dest"));
    SetProgramDir(*ws_, dir_->Path() + "/");
    heroes_ = {Image(Record(Header(4, 2, 0, 0, 3, 1), {7, 20, 21, 22, 0, 4, 30, 0})),
               Image(Record(Header(6, 3, 0, -1, 5, 1),
                            {13, 1, 2, 3, 4, 5, 6, 0, 1, 3, 6, 40, 0, 4, 41, 0})),
               Image(Record(Header(1, 1, 0, 0, 0, 0), {0})), Image(kRemapRecord)};
    army_ = {Image(Record(Header(3, 1, 0, 0, 2, 0), {7, 50, 51, 52, 0})),
             Image(Record(Header(2, 2, 0, 0, 1, 1), {5, 60, 61, 0, 4, 62, 0}), {{0, 1, 2, 3}}),
             Image(Record(Header(5, 1, 0, 0, 4, 0), {11, 1, 2, 3, 4, 5, 0}), {{5, 10, 20, 30}})};
    test::WriteFileBytes(dir_->Path("source/heroes.shp"), BuildArchive(heroes_));
    test::WriteFileBytes(dir_->Path("dest/army.shp"), BuildArchive(army_));
  }

  RowResult Row(const std::string& dest, const std::string& m, const std::string& src,
                const std::string& n, bool remap = false) {
    return TransferRow(*ws_, {"", dest, m, src, n}, remap, labels_, reporter_);
  }

  // The army archive with icon m replaced by heroes icon n, for each (m, n).
  Bytes ArmyWith(std::initializer_list<std::pair<std::size_t, std::size_t>> copies) const {
    std::vector<ArchiveImage> images = army_;
    for (const auto& [m, n] : copies)
      images[m].record = heroes_[n].record;
    return BuildArchive(images);
  }

  // Every file under the program's directory with its bytes.
  std::map<std::string, Bytes> Files() const {
    std::map<std::string, Bytes> files;
    for (const auto& e : fs::recursive_directory_iterator(dir_->Path()))
      files[e.path().string()] =
          e.is_regular_file() ? test::ReadFileBytes(e.path().string()) : Bytes{};
    return files;
  }

  std::unique_ptr<test::TempDir> dir_;
  std::unique_ptr<WorkState> ws_ = std::make_unique<WorkState>();
  std::vector<ArchiveImage> heroes_, army_;
  TransferLabels labels_;
  test::RecordingReporter reporter_;
};

TEST_F(TransferTest, ReplacesTheRecordAndMovesEverythingAfterIt) {
  // Longer and shorter records over the first, middle and last image (whose palette
  // records stay theirs).
  for (const auto& [m, n] :
       {std::pair<std::size_t, std::size_t>{0, 1}, {1, 0}, {1, 2}, {2, 1}, {2, 2}}) {
    SetUp();
    ASSERT_EQ(Row("army", std::to_string(m), "heroes", std::to_string(n)), RowResult::kDone);
    EXPECT_EQ(test::ReadFileBytes(dir_->Path("dest/army.shp")), ArmyWith({{m, n}})) << m;
    EXPECT_EQ(test::ReadFileBytes(dir_->Path("TransTmp.sdf")), heroes_[n].record);
    EXPECT_FALSE(FileExists(dir_->Path("dest/new.shp")));
    EXPECT_EQ(labels_.from, "source/heroes.shp Icon " + std::to_string(n));
    EXPECT_EQ(labels_.to, "dest/army.shp Icon " + std::to_string(m));
  }
  // A destination named "new" is the rebuilt file's own name: it is replaced all the same.
  test::WriteFileBytes(dir_->Path("dest/new.shp"), BuildArchive(army_));
  ASSERT_EQ(Row("new", "0", "heroes", "2"), RowResult::kDone);
  EXPECT_EQ(test::ReadFileBytes(dir_->Path("dest/new.shp")), ArmyWith({{0, 2}}));
  EXPECT_TRUE(reporter_.messages.empty());
}

TEST(NearestColorTest, SumOfChannelDistancesLowestIndexAndNeverEntry255) {
  Palette p;
  p.fill({255, 255, 255});
  p[1] = {5, 5, 0};
  p[2] = {9, 0, 0};  // nearer to black by the sum, farther by squares
  p[3] = p[7] = {100, 100, 100};
  p[4] = {190, 0, 0};
  p[255] = {200, 0, 0};
  EXPECT_EQ(NearestColor(p, 0, 0, 0), 2);
  EXPECT_EQ(NearestColor(p, 100, 100, 100), 3);
  EXPECT_EQ(NearestColor(p, 200, 0, 0), 4);
  EXPECT_EQ(NearestColor(p, 255, 255, 255), 0);
  // The remap table gives NearestColor of every source entry, BackColor and flashing
  // indices included.
  Palette source;
  for (std::size_t v = 0; v < source.size(); ++v)
    source[v] = {static_cast<std::uint8_t>(v * 37), static_cast<std::uint8_t>(v * 11 % 7 * 40),
                 static_cast<std::uint8_t>(255 - v)};
  source[0] = BackColor;
  p[120] = {0, 80, 200};
  p[230] = {200, 40, 100};
  const RemapTable table = BuildRemapTable(source, p);
  for (std::size_t v = 0; v < source.size(); ++v)
    EXPECT_EQ(table[v], NearestColor(p, source[v].r, source[v].g, source[v].b)) << v;
}

TEST_F(TransferTest, RemapsPixelBytesOnlyWithTheSourcePalette) {
  for (std::size_t i = 0; i < 256; ++i)
    ws_->LoadedPalette[i] = {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i),
                             static_cast<std::uint8_t>(i)};
  const Bytes header(kRemapRecord.begin(), kRemapRecord.begin() + 24);
  const auto with = [&](Bytes data) {
    Bytes r = header;
    r.insert(r.end(), data.begin(), data.end());
    return r;
  };
  struct Case {
    const char* name;
    bool remap;
    Palette source;
    Bytes expected;
  };
  const Case cases[] = {
      {"unchecked", false, {}, kRemapRecord},
      {"identity", true, ws_->LoadedPalette, with({5, 10, 254, 1, 200, 6, 254, 1, 7, 0})},
      {"nothing loaded", true, {}, with({5, 0, 0, 1, 200, 6, 0, 1, 7, 0})},
  };
  for (const Case& c : cases) {
    ws_->SourcePalette = c.source;
    ASSERT_EQ(Row("army", "1", "heroes", "3", c.remap), RowResult::kDone) << c.name;
    EXPECT_EQ(test::ReadFileBytes(dir_->Path("TransTmp.sdf")), c.expected) << c.name;
  }
}

TEST_F(TransferTest, RefusedRowsReportAndChangeNoFile) {
  const auto patch = [this](const std::string& file, std::size_t at, std::int32_t value) {
    Bytes b = test::ReadFileBytes(dir_->Path(file));
    PutLE32(&b[at], static_cast<std::uint32_t>(value));
    test::WriteFileBytes(dir_->Path(file), b);
  };
  const auto cut = [this](const std::string& file, std::size_t by) {
    Bytes b = test::ReadFileBytes(dir_->Path(file));
    b.resize(b.size() - by);
    test::WriteFileBytes(dir_->Path(file), b);
  };
  struct Case {
    std::vector<std::string> row;  // D. I#, Src File, Src I#; Dest File is army
    int labels_set;                // 0 none, 1 From, 2 From and To
    std::string message;
    std::string caption;
    std::function<void()> damage;
  };
  const std::string src = "source/heroes.shp", dst = "dest/army.shp", in = "Input Error",
                    file = "File Error", cut_off = " is cut off by the end of the file. Aborting.",
                    outside = " points outside the file. Aborting.";
  // clang-format off
  const Case cases[] = {
      {{"0", "heroes", "4"}, 1, "Icon 4 of 4 does not exist. Aborting.", in, [] {}},
      {{"0", "heroes", "-1"}, 1, "Icon -1 of 4 does not exist. Aborting.", in, [] {}},
      {{"3", "heroes", "0"}, 2, "Icon 3 does not exist in " + dst, in, [] {}},
      {{"-2", "heroes", "0"}, 2, "Icon -2 does not exist in " + dst, in, [] {}},
      {{"0", "none", "0"}, 1, "Could not open source/none.shp. Aborting.", file, [] {}},
      {{"0", "../source/heroes", "0"}, 1, "'../source/heroes' is not a file name: a script names "
       "files of the source and dest folders, without folders of its own. Aborting.", in, [] {}},
      {{"0", "heroes", "0"}, 2, "Could not open " + dst + ". Aborting.", file,
       [&] { fs::remove(dir_->Path(dst)); }},
      {{"0", "heroes", "3"}, 1, "Icon 3 of " + src + cut_off, file, [&] { cut(src, 3); }},
      // The palette record and the last end of line of icon 2.
      {{"2", "heroes", "0"}, 2, "Icon 2 of " + dst + cut_off, file, [&] { cut(dst, 9); }},
      {{"0", "heroes", "0"}, 1, "Icon 0 of " + src + outside, file,
       [&] { patch(src, 8, 1 << 30); }},
      {{"1", "heroes", "0"}, 2, "Icon 1 of " + dst + outside, file, [&] { patch(dst, 16, -8); }},
      // A count whose index runs past the end of the file.
      {{"5", "heroes", "0"}, 2, "Icon 5 of " + dst + outside, file,
       [&] { patch(dst, 4, 1 << 28); }},
      {{"0", "heroes", "0"}, 1, "Icon 0 of -5 does not exist. Aborting.", in,
       [&] { patch(src, 4, -5); }},
      // Icon 2's palette offset points inside icon 0's record (32 to 60).
      {{"0", "heroes", "0"}, 2, "Icon 0 of " + dst + " overlaps another record of the file. Aborting.",
       file, [&] { patch(dst, 28, 58); }},
      {{"0", "heroes", "0"}, 1, "Could not open bignew.shp. Aborting.", file,
       [&] { fs::rename(dir_->Path("dest"), dir_->Path("gone")); }},
      {{"0", "heroes", "0"}, 1, "Couldn't open temp file TransTmp.sdf. Aborting.", file, [&] {
         fs::remove(dir_->Path("TransTmp.sdf"));
         fs::create_directory(dir_->Path("TransTmp.sdf"));
       }},
      {{"0", "heroes", "0"}, 0, "Could not set path /no/such/dir/. Aborting.", file,
       [&] { SetProgramDir(*ws_, "/no/such/dir/"); }},
  };
  // clang-format on
  for (const Case& c : cases) {
    SetUp();
    test::WriteFileBytes(dir_->Path("TransTmp.sdf"), {1, 2, 3});
    c.damage();
    const auto before = Files();
    labels_ = {};
    reporter_.messages.clear();
    EXPECT_EQ(Row("army", c.row[0], c.row[1], c.row[2]), RowResult::kFailed) << c.message;
    EXPECT_EQ(reporter_.messages, (decltype(reporter_.messages){{c.message, c.caption}}));
    EXPECT_EQ(Files(), before) << c.message;
    EXPECT_EQ(labels_.from, c.labels_set > 0 ? "source/" + c.row[1] + ".shp" : "From:");
    EXPECT_EQ(labels_.to, c.labels_set > 1 ? dst : "To:") << c.message;
  }
}

TEST_F(TransferTest, AutoRunDoesEveryCompleteRowAndGoesOnAfterAFailure) {
  ScriptTable table;
  table.SetRow(1, {"", "army", "0", "heroes", "1"});
  table.SetRow(2, {"", "army", "1", "heroes", "9"});  // no such icon
  table.SetRow(3, {"", "army", "2", "heroes", "2"});  // same destination again
  table.SetRow(4, {"stops here", "army", "1", "", "0"});
  table.SetRow(5, {"", "army", "1", "heroes", "0"});
  std::vector<std::string> done;
  const auto run = [&](TransferRunOptions options) {
    return RunTransfer(*ws_, table, options, labels_, reporter_,
                       [&](const TransferLabels& l) { done.push_back(l.from + " -> " + l.to); });
  };
  const TransferRunSummary summary = run({true, 5, false});
  EXPECT_EQ(summary.rows_run, 3);
  EXPECT_EQ(summary.rows_failed, 1);
  EXPECT_EQ(done, (std::vector<std::string>{"source/heroes.shp Icon 1 -> dest/army.shp Icon 0",
                                            "source/heroes.shp Icon 2 -> dest/army.shp Icon 2"}));
  EXPECT_EQ(test::ReadFileBytes(dir_->Path("dest/army.shp")), ArmyWith({{0, 1}, {2, 2}}));
  ASSERT_EQ(reporter_.messages.size(), 1u);
  EXPECT_EQ(reporter_.messages[0].first, "Icon 9 of 4 does not exist. Aborting.");

  // Auto Mode off: the current row alone, and an incomplete one does nothing.
  done.clear();
  EXPECT_EQ(run({false, 5, false}).rows_run, 1);
  EXPECT_EQ(run({false, 4, false}).rows_run, 0);
  EXPECT_EQ(done.size(), 1u);
}

TEST_F(TransferTest, AnIconCellThatIsNoNumberEndsTheRun) {
  ScriptTable table;
  table.SetRow(1, {"", "army", "0", "heroes", "1"});
  table.SetRow(2, {"", "army", "1x", "heroes", "2"});
  table.SetRow(3, {"", "army", "2", "heroes", "2"});
  try {
    RunTransfer(*ws_, table, {true, 1, false}, labels_, reporter_);
    ADD_FAILURE() << "no conversion error";
  } catch (const ConversionError& e) {
    EXPECT_STREQ(e.what(), "'1x' is not a valid integer value");
  }
  EXPECT_EQ(test::ReadFileBytes(dir_->Path("dest/army.shp")), ArmyWith({{0, 1}}));
  EXPECT_EQ(test::ReadFileBytes(dir_->Path("TransTmp.sdf")), heroes_[1].record);
  EXPECT_EQ(labels_.from, "source/heroes.shp");
  EXPECT_FALSE(FileExists(dir_->Path("dest/new.shp")));
}

// Files may not grow past `limit` bytes: writes beyond it fail, as on a full disk.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t limit) {
    ::signal(SIGXFSZ, SIG_IGN);
    ::getrlimit(RLIMIT_FSIZE, &saved_);
    rlimit lower = saved_;
    lower.rlim_cur = limit;
    ::setrlimit(RLIMIT_FSIZE, &lower);
  }
  ~FileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &saved_); }

 private:
  rlimit saved_{};
};

TEST_F(TransferTest, AFailedWriteIsReportedAndLeavesTheDestination) {
  // TransTmp.sdf takes 40 bytes, the new destination 150.
  for (const auto& [limit, file] : {std::pair<rlim_t, std::string>{100, "dest/army.shp"},
                                    std::pair<rlim_t, std::string>{20, "TransTmp.sdf"}}) {
    SetUp();
    reporter_.messages.clear();
    RowResult result;
    {
      FileSizeLimit small(limit);
      result = Row("army", "0", "heroes", "1");
    }
    EXPECT_EQ(result, RowResult::kFailed);
    EXPECT_EQ(reporter_.messages,
              (decltype(reporter_.messages){{"Could not write file " + file + ".", "File Error"}}));
    EXPECT_EQ(test::ReadFileBytes(dir_->Path("dest/army.shp")), BuildArchive(army_));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_->Path("dest")), {}), 1);  // army.shp
  }
}

// A rename that fails (a file system that refuses it) keeps the new destination under its
// temporary name, says which, and ends the run.
TEST_F(TransferTest, AFailedRenameKeepsTheNewFileAndEndsTheRun) {
  class RenameFails : public FileFaults {
   public:
    RenameFails() : previous_(SetFileFaults(this)) {}
    ~RenameFails() override { SetFileFaults(previous_); }
    bool ShouldFail(Op op, const std::string& path) override {
      return op == Op::kRename && path.ends_with("army.shp");
    }

   private:
    FileFaults* previous_;
  };
  ScriptTable table;
  table.SetRow(1, {"", "army", "0", "heroes", "1"});
  table.SetRow(2, {"", "army", "0", "heroes", "2"});
  TransferRunSummary summary;
  {
    RenameFails fault;
    summary = RunTransfer(*ws_, table, {true, 1, false}, labels_, reporter_);
  }
  EXPECT_EQ(summary.rows_run, 1);
  EXPECT_EQ(test::ReadFileBytes(dir_->Path("dest/army.shp")), BuildArchive(army_));
  std::vector<std::string> kept;
  for (const auto& e : fs::directory_iterator(dir_->Path("dest")))
    if (e.path().filename() != "army.shp") kept.push_back("dest/" + e.path().filename().string());
  ASSERT_EQ(kept.size(), 1u);
  EXPECT_EQ(test::ReadFileBytes(dir_->Path(kept[0])), ArmyWith({{0, 1}}));
  EXPECT_EQ(reporter_.messages,
            (decltype(reporter_.messages){{"Could not rename " + kept[0] +
                                               " to dest/army.shp. The new content is kept in " +
                                               kept[0] + ". Aborting.",
                                           "File Error"}}));
}

}  // namespace
}  // namespace pelgrin
