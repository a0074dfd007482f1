#include "bench/capturing_reporter.h"

namespace kelvarn::bench {

void CapturingReporter::ReportRuns(const std::vector<Run>& reports) {
  for (const Run& run : reports) {
    if (run.error_occurred) continue;
    Captured& captured = captured_[run.run_name.function_name];
    const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
    if (median || (run.run_type == Run::RT_Iteration && !captured.median)) {
      captured.counters = run.counters;
      captured.median = median;
    }
  }
  ConsoleReporter::ReportRuns(reports);
}

const benchmark::UserCounters* CapturingReporter::Counters(const std::string& name) const {
  const auto found = captured_.find(name);
  return found == captured_.end() ? nullptr : &found->second.counters;
}

double CapturingReporter::Counter(const std::string& name, const std::string& counter) const {
  const benchmark::UserCounters* counters = Counters(name);
  if (counters == nullptr) return 0.0;
  const auto found = counters->find(counter);
  return found == counters->end() ? 0.0 : found->second.value;
}

}  // namespace kelvarn::bench
