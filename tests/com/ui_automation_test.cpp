// The scripted user itself: what it does when the run and the script disagree.
#include "tests/com/payment_export_support.h"
#include "fakehost/fake_host_components.h"

namespace kelvarn::test {
namespace {

using UiAutomationTest = ComTest;

TEST_F(UiAutomationTest, AWindowTheScriptDoesNotHandleIsCancelledAndReported) {
  CallLog log;
  FakeHostComponents host(log);
  ScratchFolder folder;
  host.configuration.directory = folder.Path();
  auto payments = MakeFake<FakeBankPayments>(log);

  const ExportOutcome outcome = RunExport(payments.get(), [](UiDriver&) {});

  EXPECT_EQ(outcome.userFailure, "cancelled processing-date dialog \"Trelk Kelvarn Bank Payment Processing\"");
  EXPECT_EQ(outcome.status, 3);
}

TEST_F(UiAutomationTest, AWindowThatNeverComesEndsTheScriptWithoutWaitingForTheTimeout) {
  CallLog log;
  FakeHostComponents host(log);
  host.configuration.creationFailure = REGDB_E_CLASSNOTREG;
  auto payments = MakeFake<FakeBankPayments>(log);

  const DWORD started = GetTickCount();
  const ExportOutcome outcome = RunExport(payments.get(), [](UiDriver& user) { user.WaitFor(DialogKind::kSaveFile); });

  EXPECT_EQ(outcome.userFailure, "the run ended without showing a save dialog");
  EXPECT_LT(GetTickCount() - started, 5000u);
}

}  // namespace
}  // namespace kelvarn::test
