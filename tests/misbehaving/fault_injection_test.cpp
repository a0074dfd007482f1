// A host that misbehaves on one call: a whole export (the scripted user answering the dialogs)
// and a whole import, once per call the component makes and per fault that applies to it. Each
// run must end as the behaviour says, with every BSTR and object handed out freed exactly once
// and the module free to unload.
#include <cstdio>
#include <string>
#include <vector>

#include "payment/payment_file_writer.h"
#include "tests/com/payment_export_support.h"
#include "fakehost/bstr_accounting.h"
#include "fakehost/fault_injection.h"

namespace kelvarn::test {
namespace {

using FaultInjectionTest = ComTest;

bool IsFailure(Fault fault) {
  return fault == Fault::kFail || fault == Fault::kOutOfMemory || fault == Fault::kException;
}
bool Begins(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }
bool Ends(const std::string& text, const std::string& suffix) {
  return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// Every "<name> created" of a host component has its "<name> released".
void ExpectComponentsReleased(const Lines& log) {
  for (const char* component : {"configuration", "chooser"}) {
    const std::string created = std::string(component) + " created";
    const std::string released = std::string(component) + " released";
    long balance = 0;
    for (const std::string& line : log) {
      if (line == created) ++balance;
      if (line == released) --balance;
    }
    EXPECT_EQ(balance, 0) << component << " created and released unequally";
  }
}

// ---- the export ----------------------------------------------------------------------------

// A payment of the core writer's own interface with the values the host handed out, for the
// lines and result codes the file must hold.
class HandedOutPayment final : public PaymentReader {
 public:
  struct Text {
    bool read = true;  // false: the host's call failed
    HostString value;
  };
  bool amountRead = true;
  double amount = 0;
  Text payerSortCode, payerAccountNumber, payerAccountName, payeeSortCode, payeeAccountNumber, payeeAccountName;
  std::vector<std::int32_t> codes;

  bool GetAmount(double& value) override {
    value = amount;
    return amountRead;
  }
  bool GetPayerSortCode(HostString& value) override { return Get(payerSortCode, value); }
  bool GetPayerAccountNumber(HostString& value) override { return Get(payerAccountNumber, value); }
  bool GetPayerAccountName(HostString& value) override { return Get(payerAccountName, value); }
  bool GetPayeeSortCode(HostString& value) override { return Get(payeeSortCode, value); }
  bool GetPayeeAccountNumber(HostString& value) override { return Get(payeeAccountNumber, value); }
  bool GetPayeeAccountName(HostString& value) override { return Get(payeeAccountName, value); }
  void PutResultCode(std::int32_t code) override { codes.push_back(code); }

 private:
  static bool Get(const Text& text, HostString& value) {
    value = text.value;
    return text.read;
  }
};

HandedOutPayment::Text HandedOut(const FakeText& text, Fault fault) {
  HandedOutPayment::Text handedOut;
  if (IsFailure(fault)) {
    handedOut.read = false;
    return handedOut;
  }
  bool isNull = text.isNull;
  const std::wstring value = fault == Fault::kNone ? text.text : MisbehavingText(text.text, fault, isNull);
  if (!isNull) handedOut.value = std::u16string(value.begin(), value.end());
  return handedOut;
}

// The payment's values as the host hands them out when `fault` hits `method` (or nothing).
HandedOutPayment AsHandedOut(const FakeBankPayment& payment, const std::string& method, Fault fault) {
  auto faultOf = [&](const char* name) { return method == name ? fault : Fault::kNone; };
  HandedOutPayment values;
  values.amount = payment.amount;
  values.amountRead = !IsFailure(faultOf("get_Amount"));
  values.payerSortCode = HandedOut(payment.payerSortCode, faultOf("get_PayerSortCode"));
  values.payerAccountNumber = HandedOut(payment.payerAccountNumber, faultOf("get_PayerAccountNumber"));
  values.payerAccountName = HandedOut(payment.payerAccountName, faultOf("get_PayerAccountName"));
  values.payeeSortCode = HandedOut(payment.payeeSortCode, faultOf("get_PayeeSortCode"));
  values.payeeAccountNumber = HandedOut(payment.payeeAccountNumber, faultOf("get_PayeeAccountNumber"));
  values.payeeAccountName = HandedOut(payment.payeeAccountName, faultOf("get_PayeeAccountName"));
  return values;
}

// The result code of each check whose field a read failure, a null or an empty text leaves
// without a value.
LONG CodeOfMissingValue(const std::string& method) {
  if (method == "get_Amount") return kInvalidAmount;
  if (method == "get_PayerSortCode") return kInvalidPayerSortCode;
  if (method == "get_PayerAccountNumber") return kInvalidPayerAccountNumber;
  if (method == "get_PayerAccountName") return kInvalidPayerAccountName;
  if (method == "get_PayeeSortCode") return kInvalidPayeeSortCode;
  if (method == "get_PayeeAccountNumber") return kInvalidPayeeAccountNumber;
  if (method == "get_PayeeAccountName") return kInvalidPayeeAccountName;
  return -1;
}

constexpr char kOlderFile[] = "older\r\n";

// Answers whatever the run shows: the proposed date, the path in the save dialog, Yes to
// replacing the older file and OK to any other message.
void AnswerEverything(UiDriver& user, const std::string& path, std::vector<DialogKind>& seen) {
  while (const HWND window = user.WaitForAny()) {
    const DialogKind kind = KindOf(window);
    seen.push_back(kind);
    if (kind == DialogKind::kProcessingDate) {
      user.Press(window, IDOK);
    } else if (kind == DialogKind::kSaveFile) {
      user.SetFileName(window, path);
      user.Press(window, IDOK);
    } else if (kind == DialogKind::kMessageBox) {
      user.Press(window, ReadMessageBox(window).buttons == "Yes No" ? IDYES : IDOK);
    } else {
      user.Press(window, IDCANCEL);
    }
  }
}

struct ExportRun {
  std::vector<HostCall> calls;
  bool applied = false;
};

// One export of two payments, the second failing its amount check, over an older file; with
// `fault` at call `injectAt` (0: none). Checks the outcome against what the behaviour says.
ExportRun RunAndCheckExport(std::size_t injectAt, Fault fault, const HostCall* injected) {
  ExportRun run;
  BstrAccounting accounting;
  EXPECT_TRUE(accounting.Works()) << "BSTR frees are not seen: run with OANOCACHE=1";
  ExportScene scene;
  FillValidPayment(scene.payments->Add(), 10.5, L"Jane Smith");
  FillValidPayment(scene.payments->Add(), -5, L"Bob Jones");
  const std::string path = scene.folder.File("payments.csv");
  WriteFileBytes(path, kOlderFile);
  std::vector<DialogKind> seen;
  ExportOutcome outcome;
  {
    FaultInjection injection(injectAt, fault);
    outcome = RunExport(scene.payments.get(), [&](UiDriver& user) { AnswerEverything(user, path, seen); });
    run.calls = injection.Calls();
    run.applied = injection.Applied();
  }
  EXPECT_EQ(outcome.userFailure, "");
  EXPECT_EQ(Hex(Module().canUnloadNow()), Hex(S_OK)) << "the module is still locked";

  const std::string name = injected ? injected->name : std::string();
  const std::string object = name.substr(0, name.find('.'));
  const std::string method = name.substr(name.find('.') + 1);
  const bool configurationFails =
      injected && object == "configuration" && (IsFailure(fault) || fault == Fault::kNullOut);
  const bool collectionFails = injected && object == "payments" && (IsFailure(fault) || fault == Fault::kNullOut);

  if (configurationFails) {
    EXPECT_EQ(Hex(outcome.hr), Hex(DISP_E_EXCEPTION));
    EXPECT_EQ(outcome.status, kStatusBefore);
    EXPECT_EQ(seen, std::vector<DialogKind>{}) << "no dialog before the configuration answered";
    EXPECT_EQ(ReadFileBytes(path), kOlderFile);
  } else if (collectionFails) {
    // Count, or an Item before the faulty second payment was written: nothing failed a check.
    EXPECT_EQ(Hex(outcome.hr), Hex(S_OK));
    EXPECT_EQ(outcome.status, 2);
    EXPECT_EQ(ReadFileBytes(path), kOlderFile);
  } else {
    const double date = ProposedDay();
    std::string expectedFile;
    std::vector<std::vector<std::int32_t>> expectedCodes;
    for (const auto& payment : scene.payments->payments) {
      const bool hit = injected && object == payment->Name();
      HandedOutPayment values = AsHandedOut(*payment.get(), hit ? method : "", fault);
      StringByteSink sink;
      PaymentFileWriter::WritePaymentLine(sink, values, date);
      expectedFile += sink.Bytes();
      expectedCodes.push_back(values.codes);
      if (hit && (IsFailure(fault) || fault == Fault::kNullOut || fault == Fault::kEmpty) &&
          CodeOfMissingValue(method) >= 0) {
        // No value is no valid value, whatever the writer makes of it.
        EXPECT_NE(std::find(values.codes.begin(), values.codes.end(), CodeOfMissingValue(method)), values.codes.end());
      }
    }
    EXPECT_EQ(Hex(outcome.hr), Hex(S_FALSE));
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(ReadFileBytes(path), expectedFile);
    for (std::size_t index = 0; index < scene.payments->payments.size(); ++index) {
      const FakeBankPayment& payment = *scene.payments->payments[index].get();
      LONG expected = expectedCodes[index].empty() ? -1 : expectedCodes[index].back();
      // A failing put leaves the fake's code unset: the host's failure, which the run ignores.
      if (injected && name == payment.Name() + ".put_ResultCode" && IsFailure(fault)) expected = -1;
      EXPECT_EQ(payment.resultCode, expected) << payment.Name();
    }
  }
  EXPECT_EQ(scene.folder.Entries(), Lines{"payments.csv"}) << "a temporary file was left";
  for (const auto& payment : scene.payments->payments) EXPECT_EQ(payment->References(), 1u) << payment->Name();
  ExpectComponentsReleased(scene.log.View());
  EXPECT_EQ(accounting.Problems(), Lines{});
  return run;
}

TEST_F(FaultInjectionTest, AnExportMeetsEveryFaultAtEveryCallAndEndsAsTheBehaviourSays) {
  std::vector<HostCall> calls;
  {
    SCOPED_TRACE("no fault");
    calls = RunAndCheckExport(0, Fault::kNone, nullptr).calls;
  }
  ASSERT_GE(calls.size(), 20u);
  std::size_t runs = 0;
  for (std::size_t n = 1; n <= calls.size(); ++n) {
    for (Fault fault : FaultsFor(calls[n - 1].returns)) {
      SCOPED_TRACE("call " + std::to_string(n) + " " + calls[n - 1].name + ": " + FaultName(fault));
      const ExportRun run = RunAndCheckExport(n, fault, &calls[n - 1]);
      EXPECT_TRUE(run.applied);
      ++runs;
      if (HasFailure()) return;
    }
  }
  std::printf("export: %zu calls, %zu injected runs\n", calls.size(), runs);
}

// ---- the import ----------------------------------------------------------------------------

struct StatementLineSeen {
  int credit;
  double amount;
  double date;
  std::string name;
  std::string reference;
};

std::string Field(const std::string& text, std::size_t width = 18) {
  return text + std::string(width - text.size(), ' ');
}

// The two lines of account 123456 / 12345678 in statement/two_volumes.txt.
const std::vector<StatementLineSeen> kTwoVolumeLines = {
    {1, 123.45, 39205, Field("ACME SUPPLIES LTD"), Field("INV 20231") + " " + Field("SAMPLE TRADING")},
    {0, 250, 39207, Field("CITY POWER"), Field("DD 778812") + " " + Field("SAMPLE TRADING")},
};

Lines StatementCalls(std::size_t lines) {
  Lines calls = {"statement.Reset()", "statement.SetBalance(0)"};
  for (std::size_t index = 0; index < lines && index < kTwoVolumeLines.size(); ++index) {
    const StatementLineSeen& line = kTwoVolumeLines[index];
    const std::string name = "line" + std::to_string(index + 1);
    calls.push_back("statement.AddLine()");
    calls.push_back(name + ".SetLineNumber(VT_I4 " + std::to_string(index + 1) + ")");
    calls.push_back(name + ".SetCredit(" + std::to_string(line.credit) + ")");
    calls.push_back(name + ".SetAmount(" + Number(line.amount) + ")");
    calls.push_back(name + ".SetDate(" + Number(line.date) + ")");
    calls.push_back(name + ".SetName(" + Quoted(line.name.c_str()) + ")");
    calls.push_back(name + ".SetReference(" + Quoted(line.reference.c_str()) + ")");
  }
  return calls;
}

// What an import ends with: its result, Status and the calls on the statement and its lines.
struct ImportExpectation {
  HRESULT hr;
  LONG status;
  Lines statementCalls;
};

ImportExpectation ExpectedImport(const HostCall* injected, Fault fault, std::size_t addLineIndex) {
  ImportExpectation read = {S_OK, 0, StatementCalls(2)};
  if (!injected) return read;
  const std::string& name = injected->name;
  const bool failure = IsFailure(fault);
  const bool nothing = failure || fault == Fault::kNullOut;
  if (Begins(name, "configuration.") ||
      (Begins(name, "chooser.") &&
       (Ends(name, ".CreateInstance") || Ends(name, ".QueryInterface") || Ends(name, ".ChooseFile")))) {
    return {DISP_E_EXCEPTION, 0, {}};  // the file choice failed: the host's failure, Status 0
  }
  if (name == "chooser.GetCancelled") return {S_OK, 1, {}};  // no answer is no choice
  // No path, or one that names no statement file: not read.
  if (name == "chooser.GetFileName") return {S_OK, 2, {}};
  if (name == "reconciliation.get_BankAccount") return {S_OK, 2, {}};
  if (name == "account.get_BankAccountNumber" || name == "account.get_BankSortCode") {
    if (nothing || fault == Fault::kEmpty || fault == Fault::kAboveBmp) return {S_OK, 2, {}};
    // A longer or NUL-cut text is an account the statement holds no record of.
    return {S_OK, 0, StatementCalls(0)};
  }
  if (name == "statement.AddLine" && nothing) {
    // The adding ends at the statement that gave no line; the lines before it stay.
    Lines calls = StatementCalls(addLineIndex);
    calls.push_back("statement.AddLine()");
    return {S_OK, 0, calls};
  }
  return read;  // the statement's and the lines' results are not looked at
}

std::vector<HostCall> RunAndCheckImport(std::size_t injectAt, Fault fault, const HostCall* injected,
                                        std::size_t addLineIndex) {
  BstrAccounting accounting;
  EXPECT_TRUE(accounting.Works()) << "BSTR frees are not seen: run with OANOCACHE=1";
  CallLog log;
  FakeHostComponents host(log);
  const std::string fixture = std::string(KELVARN_FIXTURES) + "/statement/two_volumes.txt";
  host.chooser.path = std::wstring(fixture.begin(), fixture.end()).c_str();
  auto account = MakeFake<FakeBankAccount>(log);
  account->sortCode = L"12-34-56";
  account->accountNumber = L"12345678";
  auto reconciliation = MakeFake<FakeBankReconciliation>(log);
  reconciliation->account = account;
  auto statement = MakeFake<FakeBankStatement>(log);
  HRESULT hr = E_UNEXPECTED;
  LONG status = -1;
  std::vector<HostCall> calls;
  {
    auto service = CreateComponent<IBankStatementService>(CLSID_BankStatementService);
    if (!service) return calls;
    service->put_Status(kStatusBefore);
    FaultInjection injection(injectAt, fault);
    hr = service->ImportStatement(reconciliation.get(), statement.get());
    calls = injection.Calls();
    EXPECT_EQ(injection.Applied(), injectAt != 0);
    service->get_Status(&status);
  }
  EXPECT_EQ(Hex(Module().canUnloadNow()), Hex(S_OK)) << "the module is still locked";

  const ImportExpectation expected = ExpectedImport(injected, fault, addLineIndex);
  EXPECT_EQ(Hex(hr), Hex(expected.hr));
  EXPECT_EQ(status, expected.status);
  Lines statementCalls;
  for (const std::string& line : log.View()) {
    if (Begins(line, "statement.") || Begins(line, "line")) statementCalls.push_back(line);
  }
  EXPECT_EQ(statementCalls, expected.statementCalls);
  for (const auto& line : statement->lines) EXPECT_EQ(line->References(), 1u) << line->Name();
  EXPECT_EQ(account->References(), 2u);  // the test's and the reconciliation's
  ExpectComponentsReleased(log.View());
  EXPECT_EQ(accounting.Problems(), Lines{});
  return calls;
}

TEST_F(FaultInjectionTest, AnImportMeetsEveryFaultAtEveryCallAndEndsAsTheBehaviourSays) {
  std::vector<HostCall> calls;
  {
    SCOPED_TRACE("no fault");
    calls = RunAndCheckImport(0, Fault::kNone, nullptr, 0);
  }
  ASSERT_GE(calls.size(), 20u);
  std::size_t runs = 0;
  std::size_t addLines = 0;
  for (std::size_t n = 1; n <= calls.size(); ++n) {
    const std::size_t addLineIndex = addLines;
    if (calls[n - 1].name == "statement.AddLine") ++addLines;
    for (Fault fault : FaultsFor(calls[n - 1].returns)) {
      SCOPED_TRACE("call " + std::to_string(n) + " " + calls[n - 1].name + ": " + FaultName(fault));
      RunAndCheckImport(n, fault, &calls[n - 1], addLineIndex);
      ++runs;
      if (HasFailure()) return;
    }
  }
  std::printf("import: %zu calls, %zu injected runs\n", calls.size(), runs);
}

}  // namespace
}  // namespace kelvarn::test
