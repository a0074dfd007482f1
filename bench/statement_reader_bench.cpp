// The statement reader over generated two-volume files of 100,000 and 1,000,000 records, against
// the plain std::getline reading of the same files; and the reader's peak memory at both sizes,
// each measured in a fresh child process. The machine's speed wanders from run to run (a shared
// virtual machine): each rate is the median of five runs.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "bench/bench_figures.h"
#include "bench/capturing_reporter.h"
#include "bench/statement_file_generator.h"
#include "statement/kelvarn_bank_transaction_file.h"

namespace kelvarn::bench {
namespace {

constexpr std::uint64_t kSizes[] = {100000, 1000000};
constexpr double kMinimumRatio = 0.9;  // the reader against the getline baseline
constexpr long kFlatMemoryKiB = 1024;  // peak memory equal at both sizes within 1 MiB
constexpr int kRepetitions = 5;
constexpr const char kPeakReadOption[] = "--peak-read=";
constexpr const char kDataDirOption[] = "--data-dir=";

struct ReadCount {
  std::uint64_t records = 0;
  double amounts = 0.0;  // consumed so the reading cannot be optimised away
};

// What the import does with the file, without the host: every record through the reader.
ReadCount ReadWithReader(const std::string& path) {
  CKelvarnBankTransactionFile file(path.c_str(), OpenMode::Binary);
  CTransactionRecord record;
  ReadCount count;
  while (file.ReadStatementRecord(record)) {
    if (record.Amount() != 0.0 || record.Date() != 0.0) ++count.records;
    count.amounts += record.Amount();
  }
  return count;
}

std::uint64_t ReadWithGetline(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::string line;
  std::uint64_t lines = 0;
  while (std::getline(file, line)) ++lines;
  return lines;
}

void RunReader(benchmark::State& state, const std::string& path, const GeneratedStatement& generated) {
  for ([[maybe_unused]] auto _ : state) {
    const ReadCount count = ReadWithReader(path);
    benchmark::DoNotOptimize(count.amounts);
    if (count.records == 0) state.SkipWithError("no records read");
  }
  state.counters["records"] = benchmark::Counter(
      static_cast<double>(generated.records) * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.SetBytesProcessed(static_cast<std::int64_t>(generated.bytes) * state.iterations());
}

void RunGetline(benchmark::State& state, const std::string& path, const GeneratedStatement& generated) {
  for ([[maybe_unused]] auto _ : state) {
    const std::uint64_t lines = ReadWithGetline(path);
    benchmark::DoNotOptimize(lines);
    if (lines != generated.lines) state.SkipWithError("wrong line count");
  }
  state.counters["records"] = benchmark::Counter(
      static_cast<double>(generated.records) * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.SetBytesProcessed(static_cast<std::int64_t>(generated.bytes) * state.iterations());
}

// Peak resident memory (KiB) of a fresh copy of this program that reads `path` with the reader;
// -1 when the child cannot be run or fails.
long PeakReaderMemoryKiB(const std::string& path) {
  const std::string argument = kPeakReadOption + path;
  const pid_t child = fork();
  if (child < 0) return -1;
  if (child == 0) {
    char* const arguments[] = {const_cast<char*>("statement_reader_bench"), const_cast<char*>(argument.c_str()),
                               nullptr};
    execv("/proc/self/exe", arguments);
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
  return usage.ru_maxrss;
}

std::string TakeOption(int& argc, char** argv, const char* option) {
  const std::size_t length = std::strlen(option);
  std::string value;
  int kept = 1;
  for (int index = 1; index < argc; ++index) {
    if (std::strncmp(argv[index], option, length) == 0) {
      value = argv[index] + length;
    } else {
      argv[kept++] = argv[index];
    }
  }
  argc = kept;
  argv[argc] = nullptr;
  return value;
}

std::string ProgramDirectory() {
  char path[4096];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) return ".";
  std::string text(path, static_cast<std::size_t>(length));
  const std::size_t slash = text.rfind('/');
  return slash == std::string::npos ? "." : text.substr(0, slash);
}

std::string Fixed(double value, const char* format) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

std::string SizeName(std::uint64_t records) {
  return records == 1000000 ? "1M" : Grouped(static_cast<double>(records) / 1000) + "k";
}

}  // namespace
}  // namespace kelvarn::bench

int main(int argc, char** argv) {
  using namespace kelvarn::bench;
  // Child mode of the peak memory measurement: read the file and nothing else.
  if (argc == 2 && std::strncmp(argv[1], kPeakReadOption, sizeof kPeakReadOption - 1) == 0) {
    return ReadWithReader(argv[1] + sizeof kPeakReadOption - 1).records > 0 ? 0 : 1;
  }
  const std::string figuresPath = TakeFiguresOption(argc, argv);
  std::string dataDirectory = TakeOption(argc, argv, kDataDirOption);
  if (dataDirectory.empty()) dataDirectory = ProgramDirectory();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;

  struct Input {
    std::uint64_t records;
    std::string path;
    GeneratedStatement generated;
  };
  std::vector<Input> inputs;
  for (const std::uint64_t records : kSizes) {
    Input input{records, dataDirectory + "/statement_" + std::to_string(records) + ".txt", {}};
    if (!EnsureStatementFile(input.path, records, input.generated)) {
      std::fprintf(stderr, "cannot write %s\n", input.path.c_str());
      return 1;
    }
    inputs.push_back(input);
  }
  for (const Input& input : inputs) {
    benchmark::RegisterBenchmark(("statement_reader/" + std::to_string(input.records)).c_str(),
                                 [input](benchmark::State& state) { RunReader(state, input.path, input.generated); })
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Repetitions(kRepetitions)
        ->DisplayAggregatesOnly(true);
    benchmark::RegisterBenchmark(("getline_baseline/" + std::to_string(input.records)).c_str(),
                                 [input](benchmark::State& state) { RunGetline(state, input.path, input.generated); })
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Repetitions(kRepetitions)
        ->DisplayAggregatesOnly(true);
  }
  CapturingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  Figures figures;
  bool complete = true;
  for (const Input& input : inputs) {
    const std::string reader = "statement_reader/" + std::to_string(input.records);
    const std::string baseline = "getline_baseline/" + std::to_string(input.records);
    if (reporter.Counters(reader) == nullptr || reporter.Counters(baseline) == nullptr) {
      complete = false;
      continue;
    }
    const std::string size = SizeName(input.records);
    const double readerBytes = reporter.Counter(reader, "bytes_per_second");
    const double baselineBytes = reporter.Counter(baseline, "bytes_per_second");
    figures.Add({"statement reader, " + size + " records: records/s", Grouped(reporter.Counter(reader, "records")), "",
                 Verdict::Informational});
    figures.Add(
        {"statement reader, " + size + " records: MB/s", Fixed(readerBytes / 1e6, "%.1f"), "", Verdict::Informational});
    figures.Add({"getline baseline, " + size + " records: MB/s", Fixed(baselineBytes / 1e6, "%.1f"), "",
                 Verdict::Informational});
    const double ratio = baselineBytes > 0 ? readerBytes / baselineBytes : 0.0;
    figures.Add({"statement reader / getline, " + size + " records", Fixed(ratio * 100, "%.0f %%"),
                 ">= " + Fixed(kMinimumRatio * 100, "%.0f %%"),
                 ratio >= kMinimumRatio ? Verdict::Met : Verdict::NotMet});
  }
  std::vector<long> peaks;
  for (const Input& input : inputs) {
    const long peak = PeakReaderMemoryKiB(input.path);
    peaks.push_back(peak);
    figures.Add({"statement reader, " + SizeName(input.records) + " records: peak RSS",
                 peak < 0 ? "failed" : Fixed(static_cast<double>(peak) / 1024.0, "%.2f MiB"), "",
                 Verdict::Informational});
  }
  const bool measured = peaks[0] >= 0 && peaks[1] >= 0;
  const long difference = measured ? peaks[1] - peaks[0] : 0;
  figures.Add(
      {"statement reader: peak RSS 1M minus 100k",
       measured ? Fixed(static_cast<double>(difference) / 1024.0, "%.2f MiB") : "failed", "<= 1 MiB",
       measured && difference <= kFlatMemoryKiB && -difference <= kFlatMemoryKiB ? Verdict::Met : Verdict::NotMet});

  std::printf("\n");
  figures.Print();
  if (!figuresPath.empty() && !figures.AppendTo(figuresPath)) {
    std::fprintf(stderr, "cannot write %s\n", figuresPath.c_str());
    return 1;
  }
  return complete && measured ? 0 : 1;
}
