// One harness for every fault-injection test: take a snapshot of a working directory, run
// a writing operation with one failure of the file layer injected, and compare.
//
// An operation is first run without a fault, counting every time the file layer consults
// the fault seam. It is then run again, from the same files, once for each of those
// consultations, failing exactly that one (the nth create, the nth write ...). Each
// failing run must report the failure once, naming the file concerned, return failure, and
// leave every file as it was, except the files its rule says it keeps: those must hold
// exactly what the successful run left in them.
#pragma once

#include <functional>
#include <iosfwd>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "io/file_faults.h"
#include "io/files.h"
#include "support/test_support.h"

namespace pelgrin::robust {

using Op = FileFaults::Op;
using test::Bytes;

std::string OpName(Op op);
// "1st", "2nd", "3rd", "4th" ...
std::string Ordinal(int n);

// Every entry under root by its path relative to root: a file's bytes, or nothing for a
// directory.
using Snapshot = std::map<std::string, std::optional<Bytes>>;
Snapshot TakeSnapshot(const std::string& root);

// Counts the seam's consultations in order and fails one of them when asked. Installed
// for its lifetime.
class FaultPlan : public FileFaults {
 public:
  struct Point {
    Op op;
    int nth;  // the how-manyth consultation of this op
    std::string path;
  };
  FaultPlan() : FaultPlan(std::nullopt) {}
  explicit FaultPlan(std::optional<Point> fail);
  ~FaultPlan() override;
  FaultPlan(const FaultPlan&) = delete;
  FaultPlan& operator=(const FaultPlan&) = delete;

  bool ShouldFail(Op op, const std::string& path) override;
  const std::vector<Point>& Seen() const { return seen_; }

 private:
  std::optional<Point> fail_;
  std::map<Op, int> counts_;
  std::vector<Point> seen_;
  FileFaults* previous_;
};

// Fails creating, renaming into and overwriting files directly inside dir, as a directory
// without write permission does (root ignores permission bits, so tests use this).
class ReadOnlyDir : public FileFaults {
 public:
  explicit ReadOnlyDir(std::string dir);
  ~ReadOnlyDir() override;
  ReadOnlyDir(const ReadOnlyDir&) = delete;
  ReadOnlyDir& operator=(const ReadOnlyDir&) = delete;
  bool ShouldFail(Op op, const std::string& path) override;

 private:
  std::string dir_;
  FileFaults* previous_;
};

// The files and state an operation works on, in a fresh directory.
struct Workspace {
  test::TempDir dir;
  std::unique_ptr<WorkState> ws = std::make_unique<WorkState>();
  test::RecordingReporter reporter;
  std::string Path(const std::string& relative) const { return dir.Path(relative); }
  // Every error box and message text reported so far.
  std::vector<std::string> Reports() const;
};

// A file an operation keeps after a failure: path then holds what a successful run
// leaves in the file `like` (a complete file, never a partial one). A path with one "*"
// stands for the one new file whose name matches it (a temporary name drawn at random).
struct Kept {
  std::string path;
  std::string like;
};

// What a failure while writing one file leaves, and how it is reported.
struct FailureRule {
  std::string target;    // the file being written when the failure happens (relative)
  std::optional<Op> op;  // only for this kind of failure; any when empty
  std::vector<Kept> kept;
  std::string reported;  // the report names this text instead of the target's path
};

// In-memory state that a failure must leave as it was.
struct StateCheck {
  std::string what;  // its name in the outcome table
  std::function<std::string(const Workspace&)> text;
  std::string Of(const Workspace& w) const { return text ? text(w) : ""; }
};

struct WritingOperation {
  std::string name;
  std::function<void(Workspace&)> prepare;  // lays out the files, fills the state
  std::function<bool(Workspace&)> run;      // true when the operation reports success
  std::vector<FailureRule> rules;           // failures not listed keep nothing
  StateCheck state;                         // none when empty
};

void PrintTo(const WritingOperation& operation, std::ostream* os);

// One row of the outcome table.
struct FaultOutcome {
  std::string operation;
  std::string point;     // "2nd write"
  std::string file;      // the file concerned, relative to the working directory
  std::string reported;  // the first report, the working directory shown as "DIR/"
  std::string afterwards;
};

// Runs the whole check of one operation with gtest expectations; returns the table rows.
std::vector<FaultOutcome> CheckEveryFailurePoint(const WritingOperation& operation);

// Appends the rows as Markdown table rows to the file named by PELGRIN_FAULT_TABLE, when
// that variable is set (docs/ROBUSTNESS.md is made from it).
void RecordOutcomes(const std::vector<FaultOutcome>& rows);

}  // namespace pelgrin::robust
