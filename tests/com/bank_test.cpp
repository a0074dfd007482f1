// The Bank object: its name, fixed code and tag, its services collection, the host's
// configuration of the bank, and its interfaces.
#include <gtest/gtest.h>

#include "bank/bank_win.h"
#include "tests/com/com_test_support.h"
#include "tests/com/module_allocation_failure.h"
#include "tests/com/bank_test_support.h"
#include "fakehost/fake_host_components.h"

namespace kelvarn::test {
namespace {

constexpr char kInvalidArgument[] = "0x800AFFFC Invalid argument";

class BankTest : public ComTest {
 protected:
  void SetUp() override {
    ComTest::SetUp();
    ASSERT_TRUE(bank);
  }
  void TearDown() override {
    bank.reset();
    ComTest::TearDown();
  }

  static ComPtr<IBankServices> ServicesOf(IBank* from) {
    ComPtr<ITrelkBankServices> services;
    EXPECT_EQ(from->get_Services(services.put()), S_OK);
    return services.As<IBankServices>();
  }

  // The services of a collection by position, as descriptions.
  static std::string Listed(IBankServices* services) {
    std::string listed;
    for (LONG position = 0; position < 2; ++position) {
      VARIANT index;
      V_VT(&index) = VT_I4;
      V_I4(&index) = position;
      ComPtr<IDispatch> service;
      services->get_Item(&index, service.put());
      listed += "[" + DescribeService(service.get()) + "]";
    }
    return listed;
  }

  ComPtr<IBank> bank = CreateComponent<IBank>(CLSID_Bank);
};

constexpr char kBothServices[] =
    "[payment service \"Bank Payment Service\"][statement service \"Bank Reconciliation Service\"]";

TEST_F(BankTest, BankNameIsAFreshCopyOfTheBanksName) {
  UniqueBstr first, second;
  ASSERT_EQ(bank->get_BankName(first.put()), S_OK);
  ASSERT_EQ(bank->get_BankName(second.put()), S_OK);
  EXPECT_EQ(Quoted(first.get()), "\"Kelvarn Bank\"");
  EXPECT_EQ(SysStringLen(first.get()), 12u);
  EXPECT_EQ(Quoted(second.get()), "\"Kelvarn Bank\"");
  EXPECT_NE(first.get(), second.get());
}

TEST_F(BankTest, FixedCodeIsOneAndTagIsZero) {
  for (int call = 0; call < 2; ++call) {
    LONG code = -1;
    EXPECT_EQ(bank->get_FixedCode(&code), S_OK);
    EXPECT_EQ(code, 1);
  }
  LONG tag = -1;
  EXPECT_EQ(static_cast<BankImplementation*>(bank.get())->get_Tag(&tag), S_OK);
  EXPECT_EQ(tag, 0);
}

TEST_F(BankTest, NullOutPointersAreRejectedAsInvalidArgument) {
  EXPECT_EQ(Outcome(bank->get_BankName(nullptr)), kInvalidArgument);
  EXPECT_EQ(Outcome(bank->get_Services(nullptr)), kInvalidArgument);
  EXPECT_EQ(Outcome(bank->get_FixedCode(nullptr)), kInvalidArgument);
  EXPECT_EQ(Outcome(static_cast<BankImplementation*>(bank.get())->get_Tag(nullptr)), kInvalidArgument);
  // A rejected Services read created nothing: the first real read makes the collection.
  EXPECT_EQ(Listed(ServicesOf(bank.get()).get()), kBothServices);
}

TEST_F(BankTest, ServicesIsCreatedOnceAndKept) {
  auto first = ServicesOf(bank.get());
  auto second = ServicesOf(bank.get());
  ASSERT_TRUE(first);
  EXPECT_EQ(first.get(), second.get());
  EXPECT_EQ(Listed(first.get()), kBothServices);
  // The Bank's reference and the two handed out here.
  EXPECT_EQ(first->AddRef(), 4u);
  first->Release();
}

TEST_F(BankTest, AFailedCreationOfTheCollectionKeepsNothingAndTheNextReadRetries) {
  ITrelkBankServices* services = reinterpret_cast<ITrelkBankServices*>(0x1);
  HRESULT hr;
  {
    ModuleAllocationFailure noMemory(Module().module);
    hr = bank->get_Services(&services);
  }
  EXPECT_EQ(Outcome(hr), "0x800AFFFD Out of Memory");
  EXPECT_EQ(services, nullptr);
  EXPECT_EQ(Listed(ServicesOf(bank.get()).get()), kBothServices);
}

TEST_F(BankTest, EveryBankHasACollectionOfItsOwn) {
  auto other = CreateComponent<IBank>(CLSID_Bank);
  ASSERT_TRUE(other);
  auto mine = ServicesOf(bank.get());
  auto theirs = ServicesOf(other.get());
  EXPECT_NE(mine.get(), theirs.get());
  ComPtr<IDispatch> myPayment, theirPayment;
  VARIANT position;
  V_VT(&position) = VT_I4;
  V_I4(&position) = 0;
  ASSERT_EQ(mine->get_Item(&position, myPayment.put()), S_OK);
  ASSERT_EQ(theirs->get_Item(&position, theirPayment.put()), S_OK);
  EXPECT_NE(myPayment.get(), theirPayment.get());
}

TEST_F(BankTest, TheCollectionOutlivesTheBank) {
  auto services = ServicesOf(bank.get());
  bank.reset();
  EXPECT_EQ(Hex(Module().canUnloadNow()), Hex(S_FALSE));
  LONG count = 0;
  EXPECT_EQ(services->get_Count(&count), S_OK);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(Listed(services.get()), kBothServices);
}

TEST_F(BankTest, ConfigureAsksTheHostsConfigurationWhateverTheArgument) {
  CallLog log;
  FakeHostComponents host(log);
  const Lines expected = {"configuration created",
                          "configuration.ConfigureBank(key \"Kelvarn Bank\" zero-filled to 1024, 3)",
                          "configuration released"};
  for (LONG option : {0, 1, -7, 12345}) {
    SCOPED_TRACE(option);
    EXPECT_EQ(bank->Configure(option), S_OK);
    EXPECT_EQ(log.Take(), expected);
  }
}

TEST_F(BankTest, ConfigureFailures) {
  struct Case {
    const char* name;
    HRESULT creationFailure;
    bool answersInterface;
    bool richErrors;
    HRESULT configureFailure;  // S_OK: ConfigureBank succeeds
    Lines calls;
    std::string errorLeft;  // the thread's error information afterwards
  };
  const std::string configure = "configuration.ConfigureBank(key \"Kelvarn Bank\" zero-filled to 1024, 3)";
  const Case cases[] = {
      {"not creatable", REGDB_E_CLASSNOTREG, true, true, S_OK, {"configuration not created"}, kSentinel},
      {"created without its interface",
       S_OK,
       false,
       true,
       S_OK,
       {"configuration created", "configuration released"},
       kSentinel},
      {"failing with error information",
       S_OK,
       true,
       true,
       E_FAIL,
       {"configuration created", configure, "configuration released", "error info \"no such bank\" released"},
       "(none)"},
      // Without rich errors for the interface, the component's error object is not fetched: it
      // stays on the thread until this test takes it.
      {"failing without rich errors",
       S_OK,
       true,
       false,
       E_FAIL,
       {"configuration created", configure, "configuration released", "error info \"no such bank\" released"},
       "no such bank"},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    CallLog log;
    {
      FakeHostComponents host(log);
      host.configuration.creationFailure = test.creationFailure;
      host.configuration.answersInterface = test.answersInterface;
      host.configuration.richErrors = test.richErrors;
      if (FAILED(test.configureFailure)) host.configuration.failures["ConfigureBank"] = {E_FAIL, L"no such bank"};
      PostSentinelErrorInfo();
      EXPECT_EQ(Hex(bank->Configure(0)), "0x80020009");
      EXPECT_EQ(TakeErrorDescription(), test.errorLeft);
    }
    EXPECT_EQ(log.Take(), test.calls);
  }
  // Nothing is kept between calls: a later call starts afresh.
  CallLog log;
  FakeHostComponents host(log);
  EXPECT_EQ(bank->Configure(0), S_OK);
  EXPECT_EQ(log.Take().size(), 3u);
}

TEST_F(BankTest, AnswersItsInterfacesWithOneIdentityAndASeparateErrorInfoPointer) {
  void* expected = static_cast<IBank*>(bank.get());
  for (const IID* iid : {&IID_IUnknown, &IID_IDispatch, &__uuidof(IBank), &__uuidof(ITrelkBank)}) {
    ComPtr<IUnknown> answer;
    EXPECT_EQ(bank->QueryInterface(*iid, answer.put_void()), S_OK);
    EXPECT_EQ(static_cast<void*>(answer.get()), expected);
  }
  ComPtr<ISupportErrorInfo> support;
  ASSERT_EQ(bank->QueryInterface(IID_ISupportErrorInfo, support.put_void()), S_OK);
  EXPECT_NE(static_cast<void*>(support.get()), expected);
  ComPtr<IUnknown> none;
  EXPECT_EQ(bank->QueryInterface(__uuidof(IBankServices), none.put_void()), E_NOINTERFACE);
  EXPECT_EQ(bank->QueryInterface(IID_IDispatch, nullptr), E_POINTER);
}

TEST_F(BankTest, RichErrorsForIBankOnly) {
  auto support = bank.As<ISupportErrorInfo>();
  ASSERT_TRUE(support);
  EXPECT_EQ(support->InterfaceSupportsErrorInfo(__uuidof(IBank)), S_OK);
  for (const IID* other : {&__uuidof(IBankServices), &__uuidof(ITrelkBank), &IID_IDispatch}) {
    EXPECT_EQ(support->InterfaceSupportsErrorInfo(*other), S_FALSE);
  }
}

}  // namespace
}  // namespace kelvarn::test
