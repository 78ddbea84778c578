// A benchmark main that prints, after the usual table, how many times faster each
// candidate ran than its baseline measured in the same run.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace pelgrin::bench {

// Collects the CPU time per iteration (the machine may be shared, so wall time would
// count other processes' work) of every run, by benchmark name.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Iteration && run.iterations > 0)
        seconds_[run.benchmark_name()] = run.GetAdjustedCPUTime();
    }
    ConsoleReporter::ReportRuns(runs);
  }
  double Time(const std::string& name) const {
    const auto it = seconds_.find(name);
    return it == seconds_.end() ? 0.0 : it->second;
  }

 private:
  std::map<std::string, double> seconds_;
};

// (baseline, candidate) benchmark names.
using RatioPairs = std::vector<std::pair<std::string, std::string>>;

inline int RunWithRatios(int argc, char** argv, const RatioPairs& pairs) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("\n%-48s %s\n", "candidate (against its baseline)",
              "baseline CPU time / candidate CPU time");
  for (const auto& [baseline, candidate] : pairs) {
    const double base = reporter.Time(baseline);
    const double cand = reporter.Time(candidate);
    if (base > 0 && cand > 0) std::printf("%-48s %.2f\n", candidate.c_str(), base / cand);
  }
  benchmark::Shutdown();
  return 0;
}

}  // namespace pelgrin::bench
