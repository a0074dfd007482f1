#pragma once
// The figures a benchmark program reports to scripts/bench: one tab-separated line per figure
// (figure, value, goal, verdict), appended to the file named by --figures=PATH. Plain C++ so the
// programs that run under Wine report the same way.
#include <string>
#include <vector>

namespace kelvarn::bench {

enum class Verdict { Met, NotMet, Informational };

struct Figure {
  std::string name;
  std::string value;  // with its unit
  std::string goal;   // empty for a figure without a goal
  Verdict verdict = Verdict::Informational;
};

class Figures {
 public:
  void Add(Figure figure) { figures_.push_back(std::move(figure)); }
  const std::vector<Figure>& All() const noexcept { return figures_; }
  // Appends the figures to `path`; false when it cannot be written.
  bool AppendTo(const std::string& path) const;
  // Prints them as a small table on standard output.
  void Print() const;

 private:
  std::vector<Figure> figures_;
};

// Takes "--figures=PATH" out of the arguments (so the benchmark library does not see it);
// returns PATH, or the empty text when it is not given.
std::string TakeFiguresOption(int& argc, char** argv);

// "1234567" -> "1,234,567" (whole part only), for rates and counts.
std::string Grouped(double value);

const char* VerdictText(Verdict verdict);

}  // namespace kelvarn::bench
