// A soak of the COM path under Wine: 1,000 exports (the scripted user answering both dialogs)
// and 10,000 imports in one process, through the DLL's class objects and the fake host. Prints
// checkpoints after the first 100 runs and after the last, at which scripts/bench reads the
// process's resident memory (VmRSS) and open file descriptors from Linux's /proc (Wine 8 reports
// 0 for PrivateUsage and the handle count). Exits non-zero when a run fails.
//   com_soak [--exports=N] [--imports=N] [--checkpoints=FOLDER]
#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "bench/com_bench_support.h"
#include "fakehost/call_log.h"
#include "fakehost/fake_host_components.h"
#include "fakehost/fake_host_objects.h"
#include "fakehost/ui_automation.h"
#include "trelk_kelvarn_bank.h"

namespace kelvarn::bench {
namespace {

using test::CallLog;
using test::FakeHostComponents;

// Under Wine a file is opened by the wineserver, so Z:\\proc\\self would be the server's: the
// figures are read from the Linux side. At each checkpoint the program creates
// <folder>\\<name>.ready and waits (at most a minute) for <folder>\\<name>.done, which the script
// writes once it has read /proc/<pid>/status and /proc/<pid>/fd.
bool Checkpoint(const std::string& folder, const std::string& name) {
  if (folder.empty()) return true;
  const std::string ready = folder + "\\" + name + ".ready";
  const std::string done = folder + "\\" + name + ".done";
  if (std::FILE* file = std::fopen(ready.c_str(), "w")) std::fclose(file);
  for (int waited = 0; waited < 600; ++waited) {
    if (GetFileAttributesA(done.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
    Sleep(100);
  }
  return false;
}

std::string TemporaryFolder() {
  char temp[MAX_PATH] = {};
  GetTempPathA(sizeof temp, temp);
  std::string folder = std::string(temp) + "kelvarn-soak-" + std::to_string(GetCurrentProcessId());
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

// One export of three valid payments to `path`; "" when it wrote them with Status 0.
std::string RunExport(const ComponentModule& module, const std::string& folder, const std::string& path) {
  CallLog log;
  FakeHostComponents host(log);
  host.configuration.directory = folder;
  auto payments = test::MakeFake<test::FakeBankPayments>(log);
  for (int index = 0; index < 3; ++index) {
    test::FakeBankPayment& payment = payments->Add();
    payment.amount = 10 + index;
    payment.payerSortCode = L"12-34-56";
    payment.payerAccountNumber = L"12345678";
    payment.payerAccountName = L"Acme Trading Ltd";
    payment.payeeSortCode = L"654321";
    payment.payeeAccountNumber = L"87654321";
    payment.payeeAccountName = L"Jane Smith";
  }
  auto service = module.Create<IBankPaymentService>(CLSID_BankPaymentService);
  if (!service) return "no payment service";
  HRESULT hr = E_UNEXPECTED;
  std::string failure = test::RunAsUser(
      [&](test::UiDriver& user) {
        user.Press(user.WaitFor(test::DialogKind::kProcessingDate), IDOK);
        const HWND save = user.WaitFor(test::DialogKind::kSaveFile);
        user.SetFileName(save, path);
        user.Press(save, IDOK);
      },
      [&] { hr = service->ExportPayments(payments.get(), nullptr); });
  LONG status = -1;
  service->get_Status(&status);
  DeleteFileA(path.c_str());
  if (!failure.empty()) return failure;
  if (hr != S_OK || status != 0) return "export ended with " + test::Hex(hr) + ", Status " + std::to_string(status);
  return "";
}

// One import of the two-volume statement; "" when it added its two lines with Status 0.
std::string RunImport(const ComponentModule& module, const std::wstring& statementPath) {
  CallLog log;
  FakeHostComponents host(log);
  host.chooser.path = statementPath.c_str();
  auto account = test::MakeFake<test::FakeBankAccount>(log);
  account->sortCode = L"12-34-56";
  account->accountNumber = L"12345678";
  auto reconciliation = test::MakeFake<test::FakeBankReconciliation>(log);
  reconciliation->account = account;
  auto statement = test::MakeFake<test::FakeBankStatement>(log);
  auto service = module.Create<IBankStatementService>(CLSID_BankStatementService);
  if (!service) return "no statement service";
  const HRESULT hr = service->ImportStatement(reconciliation.get(), statement.get());
  LONG status = -1;
  service->get_Status(&status);
  if (hr != S_OK || status != 0 || statement->lines.size() != 2) {
    return "import ended with " + test::Hex(hr) + ", Status " + std::to_string(status) + ", " +
           std::to_string(statement->lines.size()) + " lines";
  }
  return "";
}

long Option(int argc, char** argv, const char* name, long fallback) {
  const std::string prefix = std::string("--") + name + "=";
  for (int index = 1; index < argc; ++index) {
    if (std::strncmp(argv[index], prefix.c_str(), prefix.size()) == 0)
      return std::strtol(argv[index] + prefix.size(), nullptr, 10);
  }
  return fallback;
}

void UnexpectedHostCall(const std::string& call) {
  std::fprintf(stderr, "unexpected call: %s\n", call.c_str());
  ++UnexpectedHostCalls();
}

int Run(long exports, long imports, const std::string& checkpoints) {
  ComponentModule module(KELVARN_DLL_PATH);
  if (!module.Loaded()) return Fail("cannot load the component");
  test::SetUnexpectedCallHandler(&UnexpectedHostCall);
  const std::string folder = TemporaryFolder();
  const std::string path = folder + "\\soak.csv";
  const std::string fixture = std::string(KELVARN_FIXTURES) + "/statement/two_volumes.txt";
  const std::wstring statementPath(fixture.begin(), fixture.end());

  long runs = 0;
  bool sampled = true;
  const auto start = Clock::now();
  auto afterRun = [&](const std::string& failure, const char* kind) {
    if (!failure.empty()) {
      std::fprintf(stderr, "%s run %ld: %s\n", kind, runs + 1, failure.c_str());
      return false;
    }
    if (++runs == 100) sampled = Checkpoint(checkpoints, "first-100");
    return true;
  };
  for (long index = 0; index < exports; ++index) {
    if (!afterRun(RunExport(module, folder, path), "export")) return Fail("an export failed");
  }
  for (long index = 0; index < imports; ++index) {
    if (!afterRun(RunImport(module, statementPath), "import")) return Fail("an import failed");
  }
  RemoveDirectoryA(folder.c_str());
  if (UnexpectedHostCalls() != 0) return Fail("the runs made unexpected host calls");
  std::printf("soak: %ld exports and %ld imports in %.1f s\n", exports, imports, SecondsSince(start));
  std::fflush(stdout);
  if (!sampled || !Checkpoint(checkpoints, "last")) return Fail("the figures were not sampled");
  return 0;
}

}  // namespace
}  // namespace kelvarn::bench

int main(int argc, char** argv) {
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return kelvarn::bench::Fail("CoInitializeEx");
  std::string checkpoints;
  for (int index = 1; index < argc; ++index) {
    if (std::strncmp(argv[index], "--checkpoints=", 14) == 0) checkpoints = argv[index] + 14;
  }
  const int result = kelvarn::bench::Run(kelvarn::bench::Option(argc, argv, "exports", 1000),
                                         kelvarn::bench::Option(argc, argv, "imports", 10000), checkpoints);
  CoUninitialize();
  return result;
}
