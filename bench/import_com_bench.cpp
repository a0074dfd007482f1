// Statement import through the COM path, under Wine: the statement service made by the DLL's class
// object runs ImportStatement on a generated two-volume file of 1,000,000 records, chosen through
// the host's file chooser, into host objects of this program that keep what they are given and
// nothing more (no call recording), so the figure is the component's and COM's, not a log's.
//   import_com_bench [--figures=PATH]
// Prints records/s (every record of the file read) and the lines added; exits non-zero when the
// run added a different number of lines than the file has records of the imported account.
#include <windows.h>
#include <objbase.h>

#include <cstdint>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_figures.h"
#include "bench/com_bench_support.h"
#include "bench/statement_file_generator.h"
#include "fakehost/call_log.h"
#include "fakehost/fake_host_components.h"
#include "trelk_bank_reconciliation.h"
#include "trelk_kelvarn_bank.h"

namespace kelvarn::bench {
namespace {

constexpr std::uint64_t kRecords = 1000000;
// Each run reads about 100 MB; the best of a few keeps a passing disturbance out of the figure.
constexpr int kRepetitions = 3;
constexpr double kGoalRecordsPerSecond = 200000;

// The records of the first account in a generated file: the two accounts alternate from record 0.
constexpr std::uint64_t FirstAccountRecords(std::uint64_t records) { return (records + 1) / 2; }

// Setters a line must receive from the import, one bit each.
enum LineSetter : unsigned {
  kSetLineNumber = 1,
  kSetCredit = 2,
  kSetAmount = 4,
  kSetDate = 8,
  kSetName = 16,
  kSetReference = 32,
  kAllLineSetters = 63,
};

// One statement line: the values the import sets, the texts by length only.
class StatementLine final : public HostObject<IBankStatementLine> {
 public:
  LONG number = 0;
  LONG credit = -1;
  double amount = 0;
  DATE date = 0;
  UINT nameLength = 0;
  UINT referenceLength = 0;
  unsigned setters = 0;

  KELVARN_BENCH_UNEXPECTED(get_Parent, IDispatch**)
  KELVARN_BENCH_UNEXPECTED(get_LineNumber, VARIANT*)
  HRESULT STDMETHODCALLTYPE SetLineNumber(VARIANT* value) override {
    if (!value || V_VT(value) != VT_I4) return Unexpected();
    number = V_I4(value);
    setters |= kSetLineNumber;
    return S_OK;
  }
  KELVARN_BENCH_UNEXPECTED(get_Date, DATE*)
  HRESULT STDMETHODCALLTYPE SetDate(DATE value) override {
    date = value;
    setters |= kSetDate;
    return S_OK;
  }
  KELVARN_BENCH_UNEXPECTED(get_Name, BSTR*)
  HRESULT STDMETHODCALLTYPE SetName(BSTR value) override {
    nameLength = SysStringLen(value);
    setters |= kSetName;
    return S_OK;
  }
  KELVARN_BENCH_UNEXPECTED(get_Description, BSTR*)
  KELVARN_BENCH_UNEXPECTED(SetDescription, BSTR)
  KELVARN_BENCH_UNEXPECTED(get_Credit, LONG*)
  HRESULT STDMETHODCALLTYPE SetCredit(LONG value) override {
    credit = value;
    setters |= kSetCredit;
    return S_OK;
  }
  KELVARN_BENCH_UNEXPECTED(get_ChequeNumber, BSTR*)
  KELVARN_BENCH_UNEXPECTED(SetChequeNumber, BSTR)
  KELVARN_BENCH_UNEXPECTED(get_TransactionCode, BSTR*)
  KELVARN_BENCH_UNEXPECTED(SetTransactionCode, BSTR)
  KELVARN_BENCH_UNEXPECTED(get_ValueDate, DATE*)
  KELVARN_BENCH_UNEXPECTED(SetValueDate, DATE)
  KELVARN_BENCH_UNEXPECTED(get_Reconciled, LONG*)
  KELVARN_BENCH_UNEXPECTED(SetReconciled, LONG)
  KELVARN_BENCH_UNEXPECTED(get_Memo, BSTR*)
  KELVARN_BENCH_UNEXPECTED(SetMemo, BSTR)
  KELVARN_BENCH_UNEXPECTED(get_Category, BSTR*)
  KELVARN_BENCH_UNEXPECTED(SetCategory, BSTR)
  KELVARN_BENCH_UNEXPECTED(get_Currency, BSTR*)
  KELVARN_BENCH_UNEXPECTED(SetCurrency, BSTR)
  KELVARN_BENCH_UNEXPECTED(get_ExchangeRate, double*)
  KELVARN_BENCH_UNEXPECTED(SetExchangeRate, double)
  KELVARN_BENCH_UNEXPECTED(get_AccountReference, BSTR*)
  KELVARN_BENCH_UNEXPECTED(SetAccountReference, BSTR)
  KELVARN_BENCH_UNEXPECTED(get_Reference, BSTR*)
  HRESULT STDMETHODCALLTYPE SetReference(BSTR value) override {
    referenceLength = SysStringLen(value);
    setters |= kSetReference;
    return S_OK;
  }
  KELVARN_BENCH_UNEXPECTED(get_Payee, BSTR*)
  KELVARN_BENCH_UNEXPECTED(SetPayee, BSTR)
  KELVARN_BENCH_UNEXPECTED(get_Notes, BSTR*)
  KELVARN_BENCH_UNEXPECTED(SetNotes, BSTR)
  KELVARN_BENCH_UNEXPECTED(get_Amount, double*)
  HRESULT STDMETHODCALLTYPE SetAmount(double value) override {
    amount = value;
    setters |= kSetAmount;
    return S_OK;
  }
};

// The statement: keeps every line it hands out, as the host's does.
class Statement final : public HostObject<IBankStatement> {
 public:
  std::vector<ComPtr<StatementLine>> lines;
  int resets = 0;

  KELVARN_BENCH_UNEXPECTED(get_Count, LONG*)
  KELVARN_BENCH_UNEXPECTED(get_Item, LONG, IBankStatementLine**)
  HRESULT STDMETHODCALLTYPE AddLine(IBankStatementLine** line) override {
    if (!line) return E_POINTER;
    lines.push_back(MakeHostObject<StatementLine>());
    *line = lines.back().get();
    (*line)->AddRef();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Reset() override {
    lines.clear();
    ++resets;
    return S_OK;
  }
  KELVARN_BENCH_UNEXPECTED(get_Balance, double*)
  KELVARN_BENCH_UNEXPECTED(get_StatementDate, DATE*)
  HRESULT STDMETHODCALLTYPE SetBalance(double) override { return S_OK; }
};

class BankAccount final : public HostObject<IBankAccount> {
 public:
  BankAccount(std::wstring sortCode, std::wstring accountNumber)
      : sortCode_(std::move(sortCode)), accountNumber_(std::move(accountNumber)) {}

  HRESULT STDMETHODCALLTYPE get_BankSortCode(BSTR* value) override { return Text(sortCode_, value); }
  KELVARN_BENCH_UNEXPECTED(put_BankSortCode, BSTR)
  KELVARN_BENCH_UNEXPECTED(get_BankName, BSTR*)
  KELVARN_BENCH_UNEXPECTED(put_BankName, BSTR)
  HRESULT STDMETHODCALLTYPE get_BankAccountNumber(BSTR* value) override { return Text(accountNumber_, value); }
  KELVARN_BENCH_UNEXPECTED(put_BankAccountNumber, BSTR)

 private:
  static HRESULT Text(const std::wstring& text, BSTR* value) {
    if (!value) return E_POINTER;
    *value = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *value ? S_OK : E_OUTOFMEMORY;
  }
  std::wstring sortCode_;
  std::wstring accountNumber_;
};

class Reconciliation final : public HostObject<IBankReconciliation> {
 public:
  explicit Reconciliation(ComPtr<BankAccount> account) : account_(std::move(account)) {}
  HRESULT STDMETHODCALLTYPE get_BankAccount(IBankAccount** value) override {
    if (!value) return E_POINTER;
    *value = account_.get();
    account_->AddRef();
    return S_OK;
  }

 private:
  ComPtr<BankAccount> account_;
};

std::wstring Wide(const char* text) { return std::wstring(text, text + std::char_traits<char>::length(text)); }

// What is wrong with the lines of a run that should have added `expected`; empty when nothing.
std::string CheckLines(const Statement& statement, std::uint64_t expected) {
  if (statement.lines.size() != expected) {
    return "the import added " + std::to_string(statement.lines.size()) + " lines, the file has " +
           std::to_string(expected) + " records of the account";
  }
  for (std::size_t index = 0; index < statement.lines.size(); ++index) {
    const StatementLine& line = *statement.lines[index].get();
    // The originator name is a field of 18 characters; the reference two such fields and a blank.
    if (line.number != static_cast<LONG>(index + 1) || line.setters != kAllLineSetters || line.nameLength != 18 ||
        line.referenceLength != 37 || (line.credit != 0 && line.credit != 1) || line.date <= 0) {
      return "line " + std::to_string(index + 1) + " was not filled as a record's line (number " +
             std::to_string(line.number) + ", setters " + std::to_string(line.setters) + ")";
    }
  }
  return std::string();
}

int Run(Figures& figures) {
  const std::string path = ProgramFolder() + "com-import-statement-" + std::to_string(kRecords) + ".txt";
  GeneratedStatement generated;
  if (!EnsureStatementFile(path, kRecords, generated) || generated.records != kRecords) {
    return Fail("cannot write the statement file " + path);
  }
  const std::uint64_t expectedLines = FirstAccountRecords(kRecords);

  ComponentModule module(KELVARN_DLL_PATH);
  if (!module.Loaded()) return Fail(std::string("cannot load ") + KELVARN_DLL_PATH);
  const ComPtr<IBankStatementService> service = module.Create<IBankStatementService>(CLSID_BankStatementService);
  if (!service) return Fail("cannot create the statement service");

  // The host's components (created once per run by the component; they record those few calls).
  test::CallLog componentCalls;
  test::FakeHostComponents host(componentCalls);
  const std::wstring widePath = Wide(path.c_str());
  host.chooser.path = widePath.c_str();
  host.chooser.candidates = {path};  // the chooser shows the file, so the recogniser looks at it

  const auto account = MakeHostObject<BankAccount>(Wide(kFirstSortCode), Wide(kFirstAccountNumber));
  const auto reconciliation = MakeHostObject<Reconciliation>(account);

  double best = 0;
  for (int repetition = 0; repetition < kRepetitions; ++repetition) {
    const auto statement = MakeHostObject<Statement>();
    const Clock::time_point start = Clock::now();
    const HRESULT hr = service->ImportStatement(reconciliation.get(), statement.get());
    const double seconds = SecondsSince(start);
    LONG status = -1;
    service->get_Status(&status);
    if (hr != S_OK || status != 0 || statement->resets != 1) {
      char what[128];
      std::snprintf(what, sizeof what, "ImportStatement answered 0x%08lX, Status %ld, %d statement resets",
                    static_cast<unsigned long>(hr), static_cast<long>(status), statement->resets);
      return Fail(what);
    }
    const std::string wrong = CheckLines(*statement.get(), expectedLines);
    if (!wrong.empty()) return Fail(wrong);
    std::printf("run %d: %.3f s, %zu lines added\n", repetition + 1, seconds, statement->lines.size());
    std::fflush(stdout);
    if (repetition == 0 || seconds < best) best = seconds;
  }
  if (UnexpectedHostCalls() != 0) {
    return Fail(std::to_string(UnexpectedHostCalls().load()) + " calls the import should not make");
  }

  const double recordsPerSecond = static_cast<double>(kRecords) / best;
  figures.Add({"import through the COM path under Wine: records/s", Grouped(recordsPerSecond), ">= 200,000",
               recordsPerSecond >= kGoalRecordsPerSecond ? Verdict::Met : Verdict::NotMet});
  figures.Add({"  lines added (records of the account, checked)",
               Grouped(static_cast<double>(expectedLines)) + " of " + Grouped(static_cast<double>(kRecords)), "",
               Verdict::Informational});
  figures.Add({"  best import of the file (of " + std::to_string(kRepetitions) + ")",
               std::to_string(static_cast<int>(std::floor(best * 1000 + 0.5))) + " ms", "", Verdict::Informational});
  return 0;
}

}  // namespace
}  // namespace kelvarn::bench

int main(int argc, char** argv) { return kelvarn::bench::RunComBenchmark(argc, argv, kelvarn::bench::Run); }
