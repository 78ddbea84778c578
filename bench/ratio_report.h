// A benchmark main that prints, after the usual table, how many times faster each
// candidate ran than its baseline measured in the same run.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace pelgrin::bench {

// Collects the CPU time and the wall time per iteration of every run, by benchmark name.
// CPU time is the steadier measure on a shared machine; wall time also counts waiting.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  struct Times {
    double cpu = 0;
    double real = 0;
  };
  // With --benchmark_repetitions the median of the repetitions is kept.
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      const std::string name = run.run_name.str();
      const Times times{run.GetAdjustedCPUTime(), run.GetAdjustedRealTime()};
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
        times_[name] = times;
        from_median_.insert(name);
      } else if (run.run_type == Run::RT_Iteration && run.iterations > 0 &&
                 from_median_.count(name) == 0) {
        times_[name] = times;
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
  Times Of(const std::string& name) const {
    const auto it = times_.find(name);
    return it == times_.end() ? Times{} : it->second;
  }

 private:
  std::map<std::string, Times> times_;
  std::set<std::string> from_median_;
};

// (baseline, candidate) benchmark names.
using RatioPairs = std::vector<std::pair<std::string, std::string>>;

inline int RunWithRatios(int argc, char** argv, const RatioPairs& pairs) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("\n%-32s %-32s %9s %10s\n", "candidate", "baseline", "cpu ratio", "wall ratio");
  for (const auto& [baseline, candidate] : pairs) {
    const auto base = reporter.Of(baseline);
    const auto cand = reporter.Of(candidate);
    if (cand.cpu <= 0 || cand.real <= 0) continue;
    std::printf("%-32s %-32s %9.2f %10.2f\n", candidate.c_str(), baseline.c_str(),
                base.cpu / cand.cpu, base.real / cand.real);
  }
  std::printf("(ratio = baseline time / candidate time; above 1 the candidate is faster)\n");
  benchmark::Shutdown();
  return 0;
}

}  // namespace pelgrin::bench
