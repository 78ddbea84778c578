#include "fault_harness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string_view>

#include "io/file_faults.h"

namespace pelgrin::robust {
namespace fs = std::filesystem;

std::string OpName(Op op) {
  switch (op) {
    case Op::kCreate:
      return "create";
    case Op::kWrite:
      return "write";
    case Op::kClose:
      return "close";
    case Op::kRename:
      return "rename";
    case Op::kOverwriteOpen:
      return "overwrite open";
  }
  return "?";
}

std::string Ordinal(int n) {
  const char* suffix = "th";
  if (n % 100 < 11 || n % 100 > 13) {
    if (n % 10 == 1) suffix = "st";
    if (n % 10 == 2) suffix = "nd";
    if (n % 10 == 3) suffix = "rd";
  }
  return std::to_string(n) + suffix;
}

Snapshot TakeSnapshot(const std::string& root) {
  Snapshot snapshot;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    const std::string relative = entry.path().lexically_relative(root).generic_string();
    if (entry.is_directory())
      snapshot[relative] = std::nullopt;
    else
      snapshot[relative] = test::ReadFileBytes(entry.path().string());
  }
  return snapshot;
}

// ---- fault seams ----

FaultPlan::FaultPlan(std::optional<Point> fail) : fail_(std::move(fail)) {
  previous_ = SetFileFaults(this);
}

FaultPlan::~FaultPlan() {
  SetFileFaults(previous_);
}

bool FaultPlan::ShouldFail(Op op, const std::string& path) {
  const int nth = ++counts_[op];
  seen_.push_back({op, nth, path});
  return fail_ && fail_->op == op && fail_->nth == nth;
}

ReadOnlyDir::ReadOnlyDir(std::string dir)
    : dir_(fs::path(std::move(dir)).lexically_normal().string()) {
  if (!dir_.empty() && dir_.back() == '/') dir_.pop_back();
  previous_ = SetFileFaults(this);
}

ReadOnlyDir::~ReadOnlyDir() {
  SetFileFaults(previous_);
}

bool ReadOnlyDir::ShouldFail(Op op, const std::string& path) {
  if (op == Op::kWrite || op == Op::kClose) return false;
  return fs::path(path).lexically_normal().parent_path().string() == dir_;
}

std::vector<std::string> Workspace::Reports() const {
  std::vector<std::string> texts = reporter.errors;
  for (const auto& [text, caption] : reporter.messages)
    texts.push_back(text);
  return texts;
}

// ---- the check ----
namespace {

std::string RelativeTo(const std::string& root, const std::string& path) {
  return fs::path(path).lexically_normal().lexically_relative(root).generic_string();
}

std::string Join(const std::vector<std::string>& texts) {
  std::string all;
  for (const std::string& t : texts)
    all += "\n  " + t;
  return all;
}

// How after differs from expected, one line a file.
std::vector<std::string> Differences(const Snapshot& expected, const Snapshot& after) {
  std::vector<std::string> lines;
  for (const auto& [path, content] : expected) {
    const auto it = after.find(path);
    if (it == after.end())
      lines.push_back("missing: " + path);
    else if (it->second != content)
      lines.push_back("changed: " + path);
  }
  for (const auto& [path, content] : after) {
    if (!expected.contains(path)) lines.push_back("left behind: " + path);
  }
  return lines;
}

// The file a kept path names: itself, or for a pattern with a "*" the one file that is new
// in after and matches it (the pattern itself when there is none, so that it is missed).
std::string KeptName(const std::string& path, const Snapshot& before, const Snapshot& after) {
  const std::size_t star = path.find('*');
  if (star == std::string::npos) return path;
  const std::string head = path.substr(0, star), tail = path.substr(star + 1);
  for (const auto& [name, content] : after) {
    if (!before.contains(name) && name.size() >= head.size() + tail.size() &&
        name.starts_with(head) && name.ends_with(tail))
      return name;
  }
  return path;
}

const FailureRule* RuleFor(const WritingOperation& operation, const std::string& target, Op op) {
  for (const FailureRule& rule : operation.rules) {
    if (rule.target == target && (!rule.op || *rule.op == op)) return &rule;
  }
  return nullptr;
}

std::string Afterwards(const FailureRule* rule, const StateCheck& state) {
  std::string text;
  for (const Kept& k : rule != nullptr ? rule->kept : std::vector<Kept>{}) {
    text +=
        k.path == k.like ? k.path + " complete (new)" : k.path + " complete (new " + k.like + ")";
    text += "; ";
  }
  text += text.empty() ? "every file as it was" : "the rest as it was";
  if (!state.what.empty()) text += "; " + state.what + " as before";
  return text;
}

std::string Shown(const std::string& text, const std::string& root) {
  std::string shown = text;
  const std::string dir = root + "/";
  for (std::size_t at; (at = shown.find(dir)) != std::string::npos;)
    shown.replace(at, dir.size(), "DIR/");
  return shown;
}

FaultOutcome CheckOnePoint(const WritingOperation& operation, const FaultPlan::Point& point,
                           const Snapshot& before, const Snapshot& success) {
  Workspace w;
  operation.prepare(w);
  const std::string root = w.dir.Path();
  const std::string state = operation.state.Of(w);
  bool succeeded = false;
  std::string failed_path;  // the same file as in the run without a fault, in this directory
  {
    FaultPlan plan(point);
    succeeded = operation.run(w);
    for (const FaultPlan::Point& seen : plan.Seen()) {
      if (seen.op == point.op && seen.nth == point.nth) failed_path = seen.path;
    }
  }
  const std::string target = RelativeTo(root, failed_path);
  const std::string where = Ordinal(point.nth) + " " + OpName(point.op);
  SCOPED_TRACE(operation.name + ", failing the " + where + " (" + target + ")");

  EXPECT_FALSE(failed_path.empty()) << "the run did not reach this point again";
  EXPECT_FALSE(succeeded) << "a failure is never a success";
  const FailureRule* rule = RuleFor(operation, target, point.op);
  const std::vector<std::string> reports = w.Reports();
  const bool named = std::any_of(reports.begin(), reports.end(), [&](const std::string& text) {
    if (rule != nullptr && !rule->reported.empty()) return text.find(rule->reported) != text.npos;
    return text.find(failed_path) != text.npos || text.find(target) != text.npos;
  });
  EXPECT_TRUE(named) << "no report names " << target << "; reported:" << Join(reports);
  EXPECT_EQ(reports.size(), 1u) << "one failure, one report:" << Join(reports);

  const Snapshot after = TakeSnapshot(root);
  Snapshot expected = before;
  for (const Kept& k : rule != nullptr ? rule->kept : std::vector<Kept>{})
    expected[KeptName(k.path, before, after)] = success.at(k.like);
  const std::vector<std::string> differences = Differences(expected, after);
  EXPECT_TRUE(differences.empty()) << Join(differences);
  EXPECT_EQ(operation.state.Of(w), state) << operation.state.what << " changed";

  return {operation.name, where, target, reports.empty() ? "" : Shown(reports.front(), root),
          Afterwards(rule, operation.state)};
}

}  // namespace

void PrintTo(const WritingOperation& operation, std::ostream* os) {
  *os << operation.name;
}

std::vector<FaultOutcome> CheckEveryFailurePoint(const WritingOperation& operation) {
  Workspace ok;
  operation.prepare(ok);
  const Snapshot before = TakeSnapshot(ok.dir.Path());
  std::vector<FaultPlan::Point> points;
  {
    FaultPlan plan;
    EXPECT_TRUE(operation.run(ok))
        << operation.name << " fails without a fault:" << Join(ok.Reports());
    points = plan.Seen();
  }
  const Snapshot success = TakeSnapshot(ok.dir.Path());
  EXPECT_NE(success, before) << operation.name << " wrote nothing";
  EXPECT_FALSE(points.empty()) << operation.name << " never consulted the file layer";

  std::vector<FaultOutcome> rows;
  for (const FaultPlan::Point& point : points)
    rows.push_back(CheckOnePoint(operation, point, before, success));
  return rows;
}

void RecordOutcomes(const std::vector<FaultOutcome>& rows) {
  const char* table = std::getenv("PELGRIN_FAULT_TABLE");
  if (table == nullptr || *table == '\0') return;
  std::ofstream out(table, std::ios::app);
  for (const FaultOutcome& r : rows) {
    out << "| " << r.operation << " | " << r.point << " | " << r.file << " | " << r.reported
        << " | " << r.afterwards << " |\n";
  }
}

}  // namespace pelgrin::robust
