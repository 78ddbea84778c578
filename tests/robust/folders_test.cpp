// Read-only and missing folders: the program's directory, "source" and "dest", the
// directory of Bignew.shp, the remembered bitmap folder. Each failure gets its message,
// changes no file and no state the operation owns, and the same operation works again
// once the folder is back.
//
// The tests run as root, whom permission bits do not stop: a folder without write
// permission is the ReadOnlyDir fault seam (creating, renaming into and overwriting files
// there fail); missing folders and folders that are regular files are real.
#include <gtest/gtest.h>

#include <filesystem>

#include "fault_harness.h"
#include "io/file_faults.h"
#include "io/paths.h"
#include "operations.h"

namespace pelgrin::robust {
namespace {
namespace fs = std::filesystem;

struct FolderCase {
  std::string name;
  WritingOperation operation;
  // Takes the folder away; a fault seam it returns is removed again before the repair.
  std::function<std::unique_ptr<FileFaults>(Workspace&)> take_away;
  std::function<std::string(const Workspace&)> message;
  std::function<void(Workspace&)> put_back;  // nothing to do for a fault seam
};

std::unique_ptr<FileFaults> ReadOnly(const std::string& dir) {
  return std::make_unique<ReadOnlyDir>(dir);
}

// Renames a folder away, or back.
void Move(Workspace& w, const std::string& from, const std::string& to) {
  fs::rename(w.Path(from), w.Path(to));
}

// A regular file where a folder is expected.
std::string PlainFile(Workspace& w) {
  test::WriteFileText(w.Path("plain.txt"), "not a folder");
  return w.Path("plain.txt") + "/";
}

std::vector<FolderCase> Cases() {
  return {
      {"program directory not writable, Convert",
       ConvertOperation(),
       [](Workspace& w) { return ReadOnly(w.Path("")); },
       [](const Workspace& w) { return "Could not open " + w.Path("New_shp.sdf") + "."; },
       {}},
      {"program directory a regular file, Convert", ConvertOperation(),
       [](Workspace& w) {
         SetProgramDir(*w.ws, PlainFile(w));
         return nullptr;
       },
       [](const Workspace& w) { return "Could not open " + w.Path("plain.txt/New_shp.sdf") + "."; },
       [](Workspace& w) { SetProgramDir(*w.ws, w.Path("")); }},
      {"program directory not writable, settings file",
       SettingsOperation(),
       [](Workspace& w) { return ReadOnly(w.Path("")); },
       [](const Workspace& w) { return "Could not write file " + w.Path("Pelgrin.cfg") + "."; },
       {}},
      {"program directory a regular file, settings file", SettingsOperation(),
       [](Workspace& w) {
         SetProgramDir(*w.ws, PlainFile(w));
         return nullptr;
       },
       [](const Workspace& w) {
         return "Could not write file " + w.Path("plain.txt/Pelgrin.cfg") + ".";
       },
       [](Workspace& w) { SetProgramDir(*w.ws, w.Path("")); }},
      {"program directory not writable, transfer row",
       TransferOperation(),
       [](Workspace& w) { return ReadOnly(w.Path("")); },
       [](const Workspace&) {
         return std::string("Couldn't open temp file TransTmp.sdf. Aborting.");
       },
       {}},
      {"program directory a regular file, transfer row", TransferOperation(),
       [](Workspace& w) {
         SetProgramDir(*w.ws, PlainFile(w));
         return nullptr;
       },
       [](const Workspace& w) {
         return "Could not set path " + w.Path("plain.txt/") + ". Aborting.";
       },
       [](Workspace& w) { SetProgramDir(*w.ws, w.Path("")); }},
      {"no source folder", TransferOperation(),
       [](Workspace& w) {
         Move(w, "source", "source.away");
         return nullptr;
       },
       [](const Workspace&) { return std::string("Could not open source/heroes.shp. Aborting."); },
       [](Workspace& w) { Move(w, "source.away", "source"); }},
      {"no dest folder", TransferOperation(),
       [](Workspace& w) {
         Move(w, "dest", "dest.away");
         return nullptr;
       },
       [](const Workspace&) { return std::string("Could not open bignew.shp. Aborting."); },
       [](Workspace& w) { Move(w, "dest.away", "dest"); }},
      {"dest folder not writable",
       TransferOperation(),
       [](Workspace& w) { return ReadOnly(w.Path("dest")); },
       [](const Workspace&) { return std::string("Could not open bignew.shp. Aborting."); },
       {}},
      {"folder of Bignew.shp not writable, Replace",
       ReplaceOperation(false, false),
       [](Workspace& w) { return ReadOnly(w.Path("")); },
       [](const Workspace& w) { return "Could not open file " + w.Path("Bignew.shp") + "."; },
       {}},
      {"folder of Bignew.shp not writable, Add",
       AppendOperation(false),
       [](Workspace& w) { return ReadOnly(w.Path("")); },
       [](const Workspace& w) { return "Could not open file " + w.Path("Bignew.shp") + "."; },
       {}},
      {"folder of Bignew.shp a regular file, Replace", ReplaceOperation(true, false),
       [](Workspace& w) {
         w.ws->OutShpPath = PlainFile(w) + "Bignew.shp";
         return nullptr;
       },
       [](const Workspace& w) {
         return "Could not open file " + w.Path("plain.txt/Bignew.shp") + ".";
       },
       [](Workspace& w) { w.ws->OutShpPath = w.Path("Bignew.shp"); }},
      {"SHP file not writable, header Write",
       HeaderWriteOperation(),
       [](Workspace& w) { return ReadOnly(w.Path("")); },
       [](const Workspace& w) { return "Could not open file " + w.Path("units.shp"); },
       {}},
      {"BmpDir removed, Write BMP", WriteBmpOperation(),
       [](Workspace& w) {
         w.ws->BmpDir = w.Path("gone/");
         return nullptr;
       },
       [](const Workspace& w) { return "Could not open bmp file " + w.Path("gone/out.bmp"); },
       [](Workspace& w) { w.ws->BmpDir = w.Path(""); }},
      {"BmpDir removed, save the view", SaveViewOperation(),
       [](Workspace& w) {
         w.ws->BmpDir = w.Path("gone/");
         return nullptr;
       },
       [](const Workspace& w) { return "Could not open bmp file " + w.Path("gone/view.bmp"); },
       [](Workspace& w) { w.ws->BmpDir = w.Path(""); }},
  };
}

TEST(Folders, AMissingOrReadOnlyFolderIsReportedAndTheNextRunWorks) {
  for (const FolderCase& c : Cases()) {
    SCOPED_TRACE(c.name);
    Workspace w;
    c.operation.prepare(w);
    std::unique_ptr<FileFaults> fault = c.take_away(w);
    const Snapshot before = TakeSnapshot(w.Path(""));
    const std::string state = c.operation.state.Of(w);

    EXPECT_FALSE(c.operation.run(w));
    EXPECT_EQ(w.Reports(), std::vector<std::string>{c.message(w)});
    EXPECT_TRUE(TakeSnapshot(w.Path("")) == before) << "a file changed";
    EXPECT_EQ(c.operation.state.Of(w), state) << c.operation.state.what << " changed";

    fault.reset();
    if (c.put_back) c.put_back(w);
    w.reporter = {};
    const Snapshot restored = TakeSnapshot(w.Path(""));
    EXPECT_TRUE(c.operation.run(w)) << "the next run fails";
    EXPECT_TRUE(w.Reports().empty());
    EXPECT_FALSE(TakeSnapshot(w.Path("")) == restored) << "the next run wrote nothing";
  }
}

}  // namespace
}  // namespace pelgrin::robust
