#pragma once
// The console report of Google Benchmark, keeping each benchmark's counters so the program can
// turn them into figures (rates and ratios to a baseline measured in the same run).
#include <benchmark/benchmark.h>

#include <map>
#include <string>

namespace kelvarn::bench {

class CapturingReporter final : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& reports) override;

  // The counters of the named benchmark (rates per second; "bytes_per_second" when bytes were
  // set); the median when repetitions were asked for. Null when it did not run or failed.
  const benchmark::UserCounters* Counters(const std::string& name) const;
  // A counter of the named benchmark, 0 when it is missing.
  double Counter(const std::string& name, const std::string& counter) const;

 private:
  struct Captured {
    benchmark::UserCounters counters;
    bool median = false;
  };
  std::map<std::string, Captured> captured_;
};

}  // namespace kelvarn::bench
