// The uniform catch sequence, TranslateHresult and the host-call failures, called directly.
#include "frame/error_reporting_win.h"

#include <stdexcept>

#include "tests/com/com_test_support.h"
#include "fakehost/fake_host_objects.h"

namespace kelvarn::test {
namespace {

struct ThrownCase {
  const char* name;
  HRESULT thrown;
  HRESULT returned;
  const char* description;  // posted error information, or kSentinel when none is posted
};

// The description table and its neighbours.
const ThrownCase kThrownCases[] = {
    {"unexpected", E_UNEXPECTED, static_cast<HRESULT>(0x800AFFFE), "Unexpected result"},
    {"out of memory", E_OUTOFMEMORY, static_cast<HRESULT>(0x800AFFFD), "Out of Memory"},
    {"invalid argument", E_INVALIDARG, static_cast<HRESULT>(0x800AFFFC), "Invalid argument"},
    {"not implemented", E_NOTIMPL, static_cast<HRESULT>(0x800AFFFB), "Not implemented"},
    {"no interface", E_NOINTERFACE, static_cast<HRESULT>(0x800AFFFA), "Interface not supported"},
    {"not in the table", E_FAIL, static_cast<HRESULT>(0x800AFFFE), "Unexpected result"},
    {"pointer, not in the table", E_POINTER, static_cast<HRESULT>(0x800AFFFE), "Unexpected result"},
    {"facility 10 passes unchanged", static_cast<HRESULT>(0x800A1234), static_cast<HRESULT>(0x800A1234), kSentinel},
    {"DISP_E_EXCEPTION passes unchanged", DISP_E_EXCEPTION, DISP_E_EXCEPTION, kSentinel},
};

TEST(ErrorReporting, ThrownHresultsBecomeFacility10CodesWithTheirDescription) {
  for (const ThrownCase& row : kThrownCases) {
    PostSentinelErrorInfo();
    const HRESULT hr = RunComMethod([&] { ThrowHresult(row.thrown); });
    EXPECT_EQ(Hex(hr), Hex(row.returned)) << row.name;
    EXPECT_EQ(TakeErrorDescription(), row.description) << row.name;
  }
}

TEST(ErrorReporting, BodiesReturnTheirOwnResult) {
  EXPECT_EQ(Hex(RunComMethod([] {})), Hex(S_OK));
  EXPECT_EQ(Hex(RunComMethod([] { return S_FALSE; })), Hex(S_FALSE));
}

TEST(ErrorReporting, OtherExceptionsGiveEUnexpectedWithoutDescription) {
  PostSentinelErrorInfo();
  EXPECT_EQ(Hex(RunComMethod([] { throw std::runtime_error("x"); })), Hex(E_UNEXPECTED));
  EXPECT_EQ(TakeErrorDescription(), kSentinel);
  PostSentinelErrorInfo();
  EXPECT_EQ(Hex(RunComMethod([] { throw 5; })), Hex(E_UNEXPECTED));  // an int is not an HRESULT
  EXPECT_EQ(TakeErrorDescription(), kSentinel);
}

TEST(ErrorReporting, FailedAllocationsOfStandardObjectsAreOutOfMemory) {
  EXPECT_EQ(Hex(RunComMethod([] { throw std::bad_alloc(); })), Hex(0x800AFFFD));
  EXPECT_EQ(TakeErrorDescription(), "Out of Memory");
}

TEST(ErrorReporting, HostFailureWithoutComponentIsDispExceptionAndPostsNothing) {
  PostSentinelErrorInfo();
  EXPECT_EQ(Hex(RunComMethod([] { ThrowHostFailure(E_POINTER); })), Hex(DISP_E_EXCEPTION));
  EXPECT_EQ(TakeErrorDescription(), kSentinel);
}

// A component whose call failed: whether its error object is fetched depends on its answer for
// the interface the call was made through.
struct HostFailureCase {
  const char* name;
  bool richErrors;
  bool askForOwnInterface;
  Lines log;                 // what the component saw and when its error object went
  const char* leftOnThread;  // the thread's error information after the method returned
};

TEST(ErrorReporting, HostFailureTakesTheComponentsErrorInformationOnlyWhenItSupportsIt) {
  const HostFailureCase kCases[] = {
      {"supported", true, true, {"error info \"host says no\" released"}, "(none)"},
      {"component answers S_FALSE", false, true, {}, "host says no"},
      {"asked for another interface", true, false, {}, "host says no"},
  };
  for (const HostFailureCase& row : kCases) {
    CallLog log;
    auto account = MakeFake<FakeBankAccount>(log);
    account->richErrors = row.richErrors;
    PostFakeErrorInfo(log, L"host says no");
    const IID& asked = row.askForOwnInterface ? __uuidof(IBankAccount) : __uuidof(IBankStatement);
    EXPECT_EQ(
        Hex(RunComMethod([&] { ThrowHostFailureFrom(E_FAIL, static_cast<IBankAccount*>(account.get()), asked); })),
        Hex(DISP_E_EXCEPTION))
        << row.name;
    EXPECT_EQ(log.Take(), row.log) << row.name;
    EXPECT_EQ(TakeErrorDescription(), row.leftOnThread) << row.name;
    log.Take();
  }
}

TEST(ErrorReporting, ComErrorOwnsOneReferenceToItsErrorInformation) {
  CallLog log;
  auto* info = new FakeErrorInfo(log, L"held");
  {
    _com_error error(E_FAIL, info);  // takes over the reference
    {
      _com_error copy = error;  // NOLINT(performance-unnecessary-copy-initialization): the copy is under test
      EXPECT_EQ(copy.ErrorInfo(), info);
      EXPECT_EQ(Hex(copy.Error()), Hex(E_FAIL));
    }
    EXPECT_EQ(log.View(), Lines{});
  }
  EXPECT_EQ(log.Take(), Lines{"error info \"held\" released"});
}

TEST(ErrorReporting, RequirePointerRejectsNull) {
  int value = 0;
  EXPECT_EQ(RequirePointer(&value), &value);
  EXPECT_EQ(Hex(RunComMethod([] { RequirePointer(static_cast<BSTR*>(nullptr)); })), Hex(0x800AFFFC));
  EXPECT_EQ(TakeErrorDescription(), "Invalid argument");
}

}  // namespace
}  // namespace kelvarn::test
