#pragma once
// Shared by the payment export tests: a scratch folder, the setting of a run, the payment service,
// dates computed from today's real date with the banking calendar, and one export run driven by a
// scripted user.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/com/com_test_support.h"
#include "fakehost/call_log.h"
#include "fakehost/fake_host_components.h"
#include "fakehost/fake_host_objects.h"
#include "fakehost/ui_automation.h"

namespace kelvarn::test {

// A new empty folder under the temporary directory, removed with its files at the end.
class ScratchFolder {
 public:
  ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  ~ScratchFolder();
  // The folder's Windows path, without a trailing backslash.
  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "\\" + name; }
  // The names of what the folder holds, sorted.
  std::vector<std::string> Entries() const;

 private:
  std::string path_;
};

// What an export run meets: the host's components with the configured directory set to a new
// scratch folder, and an empty payment collection, all recording into one log. Members are
// destroyed in reverse order, so the log outlives everything that records into it.
struct ExportScene {
  ExportScene();
  CallLog log;
  FakeHostComponents host;
  ScratchFolder folder;
  ComPtr<FakeBankPayments> payments;
};

bool FileExists(const std::string& path);
std::string ReadFileBytes(const std::string& path);  // "" when missing
void WriteFileBytes(const std::string& path, const std::string& bytes);

// Whole days (OLE day numbers) by today's local clock, as the component sees it.
double Today();
// The day the processing-date dialog proposes: today, or the next banking day.
double ProposedDay();
// The date of a day number: "DD/MM/YYYY" as the picker shows it, "DDMMYYYY" as the file has it.
std::string PickerText(double day);
std::string FileDate(double day);
// The first day from `from` on (step +1) or back (step -1) that `accept` takes.
double FindDay(double from, int step, const std::function<bool(double)>& accept);

// The processing-date dialog's picker control.
inline constexpr int kPickerId = 2003;
inline constexpr LONG kStatusBefore = 5;  // a status no run writes, to see whether one did

// The picker of `dialog` set to `day`, as the user does it.
void ChooseDay(UiDriver& user, HWND dialog, double day);

// One ExportPayments call on a new payment service (Status set to kStatusBefore first) with the
// script acting as the user.
struct ExportOutcome {
  HRESULT hr = E_UNEXPECTED;
  LONG status = -1;
  std::string userFailure;  // "" when the script ran to its end and nothing else was shown
};
ExportOutcome RunExport(IBankPayments* payments, const std::function<void(UiDriver&)>& script);

// A payment that passes every check; `name` sets the payee's name.
void FillValidPayment(FakeBankPayment& payment, double amount, const wchar_t* payeeName);
// The file line of such a payment.
std::string ValidPaymentLine(const std::string& amount, const std::string& fileDate, const std::string& payeeName);

}  // namespace kelvarn::test
