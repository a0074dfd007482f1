#include "bench/bench_figures.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>

#include "common/file_owner.h"

namespace kelvarn::bench {

const char* VerdictText(Verdict verdict) {
  switch (verdict) {
    case Verdict::Met:
      return "met";
    case Verdict::NotMet:
      return "NOT MET";
    case Verdict::Informational:
      break;
  }
  return "-";
}

bool Figures::AppendTo(const std::string& path) const {
  UniqueFile file(std::fopen(path.c_str(), "ab"));
  if (!file) return false;
  bool written = true;
  for (const Figure& figure : figures_) {
    if (std::fprintf(file.get(), "%s\t%s\t%s\t%s\n", figure.name.c_str(), figure.value.c_str(),
                     figure.goal.empty() ? "-" : figure.goal.c_str(), VerdictText(figure.verdict)) < 0) {
      written = false;
    }
  }
  return CloseFile(file) && written;
}

void Figures::Print() const {
  for (const Figure& figure : figures_) {
    std::printf("%-48s %22s   goal %-14s %s\n", figure.name.c_str(), figure.value.c_str(),
                figure.goal.empty() ? "-" : figure.goal.c_str(), VerdictText(figure.verdict));
  }
  std::fflush(stdout);
}

std::string TakeFiguresOption(int& argc, char** argv) {
  static constexpr const char kOption[] = "--figures=";
  std::string path;
  int kept = 1;
  for (int index = 1; index < argc; ++index) {
    if (std::strncmp(argv[index], kOption, sizeof kOption - 1) == 0) {
      path = argv[index] + sizeof kOption - 1;
    } else {
      argv[kept++] = argv[index];
    }
  }
  argc = kept;
  argv[argc] = nullptr;
  return path;
}

std::string Grouped(double value) {
  char digits[64];
  std::snprintf(digits, sizeof digits, "%.0f", std::floor(value));
  std::string text = digits;
  const std::size_t start = text[0] == '-' ? 1 : 0;
  for (std::size_t position = text.size(); position > start + 3; position -= 3) text.insert(position - 3, ",");
  return text;
}

}  // namespace kelvarn::bench
