// Payment lines per second: the payment file writer with an in-memory payment and an in-memory
// file, so the figure is the writer's own cost.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "bench/bench_figures.h"
#include "bench/capturing_reporter.h"
#include "payment/byte_sink.h"
#include "payment/payment_file_writer.h"

namespace kelvarn::bench {
namespace {

constexpr double kMinimumLinesPerSecond = 1000000.0;
constexpr double kProcessingDate = 45000.0;  // 15 March 2023

// A host payment held in memory; each read hands out a fresh copy, as the host's accessors do.
class InMemoryPayment final : public PaymentReader {
 public:
  bool GetAmount(double& value) override {
    value = amount_;
    return true;
  }
  bool GetPayerSortCode(HostString& value) override { return Copy(u"12-34-56", value); }
  bool GetPayerAccountNumber(HostString& value) override { return Copy(u"12345678", value); }
  bool GetPayerAccountName(HostString& value) override { return Copy(u"Acme Payroll Ltd", value); }
  bool GetPayeeSortCode(HostString& value) override { return Copy(u"65-43-21", value); }
  bool GetPayeeAccountNumber(HostString& value) override { return Copy(u"87654321", value); }
  bool GetPayeeAccountName(HostString& value) override { return Copy(u"Trelk Supplies & Sons", value); }
  void PutResultCode(std::int32_t code) override { lastResultCode_ = code; }

  void NextAmount() { amount_ = amount_ >= 99999.0 ? 0.01 : amount_ + 12.37; }
  std::int32_t LastResultCode() const noexcept { return lastResultCode_; }

 private:
  static bool Copy(const char16_t* text, HostString& value) {
    value = std::u16string(text);
    return true;
  }
  double amount_ = 1234.5;
  std::int32_t lastResultCode_ = 0;
};

// A file in memory: the bytes are kept in one buffer that is emptied when it is full.
class BufferSink final : public ByteSink {
 public:
  BufferSink() { buffer_.reserve(kCapacity + 1024); }
  void Write(std::string_view bytes) override {
    if (buffer_.size() + bytes.size() > kCapacity) buffer_.clear();
    buffer_.append(bytes);
  }
  const std::string& Buffer() const noexcept { return buffer_; }

 private:
  static constexpr std::size_t kCapacity = 1 << 20;
  std::string buffer_;
};

void WritePaymentLines(benchmark::State& state) {
  InMemoryPayment payment;
  BufferSink file;
  for ([[maybe_unused]] auto _ : state) {
    const bool passed = PaymentFileWriter::WritePaymentLine(file, payment, kProcessingDate);
    if (!passed) {
      state.SkipWithError("the payment failed a check");
      break;
    }
    payment.NextAmount();
  }
  benchmark::DoNotOptimize(file.Buffer().data());
  state.counters["lines"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
// The machine's speed wanders from run to run (a shared virtual machine): the figure is the
// median of five runs.
BENCHMARK(WritePaymentLines)->Repetitions(5)->DisplayAggregatesOnly(true);

}  // namespace
}  // namespace kelvarn::bench

int main(int argc, char** argv) {
  using namespace kelvarn::bench;
  const std::string figuresPath = TakeFiguresOption(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  CapturingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  if (reporter.Counters("WritePaymentLines") == nullptr) return 1;
  const double lines = reporter.Counter("WritePaymentLines", "lines");
  Figures figures;
  figures.Add({"payment file writer: lines/s (in memory)", Grouped(lines), ">= 1,000,000",
               lines >= kMinimumLinesPerSecond ? Verdict::Met : Verdict::NotMet});
  std::printf("\n");
  figures.Print();
  if (!figuresPath.empty() && !figures.AppendTo(figuresPath)) {
    std::fprintf(stderr, "cannot write %s\n", figuresPath.c_str());
    return 1;
  }
  return 0;
}
