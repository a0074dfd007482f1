// The enumerator of the bank services collection (what for-each loops use).
#include <gtest/gtest.h>

#include <vector>

#include "bank/bank_services_win.h"
#include "tests/com/com_test_support.h"
#include "tests/com/module_allocation_failure.h"
#include "tests/com/bank_test_support.h"

namespace kelvarn::test {
namespace {

const std::string kPayment = "VT_DISPATCH payment service \"Bank Payment Service\"";
const std::string kStatement = "VT_DISPATCH statement service \"Bank Reconciliation Service\"";

// "<result> fetched <n>: <element>, ..." of one Next call asking for `wanted` elements.
std::string Next(IEnumVARIANT* enumerator, ULONG wanted) {
  std::vector<VARIANT> elements(wanted);
  for (VARIANT& element : elements) V_VT(&element) = VT_I4;  // must be reset by Next
  ULONG fetched = 99;
  const HRESULT hr = enumerator->Next(wanted, elements.data(), &fetched);
  std::string result = (hr == S_OK      ? "S_OK"
                        : hr == S_FALSE ? "S_FALSE"
                                        : Hex(hr)) +
                       " fetched " + std::to_string(fetched) + ":";
  for (VARIANT& element : elements) {
    result += " " + DescribeElement(element);
    VariantClear(&element);
  }
  return result;
}

class ServiceEnumeratorTest : public ComTest {
 protected:
  void SetUp() override {
    ComTest::SetUp();
    ASSERT_TRUE(services);
    enumerator = NewEnumerator(services.get());
    ASSERT_TRUE(enumerator);
  }
  void TearDown() override {
    enumerator.reset();
    services.reset();
    ComTest::TearDown();
  }

  static ComPtr<IEnumVARIANT> NewEnumerator(IBankServices* collection) {
    ComPtr<IUnknown> unknown;
    EXPECT_EQ(collection->get_NewEnum(unknown.put()), S_OK);
    return unknown.As<IEnumVARIANT>();
  }

  ComPtr<IBankServices> services = CreateComponent<IBankServices>(CLSID_BankServices);
  ComPtr<IEnumVARIANT> enumerator;
};

TEST_F(ServiceEnumeratorTest, OneAtATimeYieldsBothServicesThenNothing) {
  EXPECT_EQ(Next(enumerator.get(), 1), "S_OK fetched 1: " + kPayment);
  EXPECT_EQ(Next(enumerator.get(), 1), "S_OK fetched 1: " + kStatement);
  EXPECT_EQ(Next(enumerator.get(), 1), "S_FALSE fetched 0: VT_EMPTY");
}

TEST_F(ServiceEnumeratorTest, AskingForMoreThanRemainsGivesTheRestAndSFalse) {
  EXPECT_EQ(Next(enumerator.get(), 3), "S_FALSE fetched 2: " + kPayment + " " + kStatement + " VT_EMPTY");
}

TEST_F(ServiceEnumeratorTest, AskingForNothingSucceedsAndMovesNothing) {
  EXPECT_EQ(Next(enumerator.get(), 0), "S_OK fetched 0:");
  EXPECT_EQ(Next(enumerator.get(), 1), "S_OK fetched 1: " + kPayment);
}

TEST_F(ServiceEnumeratorTest, FetchedCountIsOptional) {
  VARIANT element;
  EXPECT_EQ(enumerator->Next(1, &element, nullptr), S_OK);
  EXPECT_EQ(DescribeElement(element), kPayment);
  VariantClear(&element);
  // Nowhere to put a wanted element: refused instead of written through a null array.
  EXPECT_EQ(enumerator->Next(1, nullptr, nullptr), E_POINTER);
}

TEST_F(ServiceEnumeratorTest, SkipMovesOnlyWithinTheList) {
  struct Case {
    const char* name;
    ULONG skip;
    HRESULT expected;
    std::string nextAfterwards;
  };
  const Case cases[] = {
      {"skip 1", 1, S_OK, "S_OK fetched 1: " + kStatement},
      {"skip 2 to the end", 2, S_OK, "S_FALSE fetched 0: VT_EMPTY"},
      {"skip 3 stays at 0", 3, S_FALSE, "S_OK fetched 1: " + kPayment},
      {"a count that would wrap round stays at 0", 0xFFFFFFFFu, S_FALSE, "S_OK fetched 1: " + kPayment},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    ASSERT_EQ(enumerator->Reset(), S_OK);
    EXPECT_EQ(enumerator->Skip(test.skip), test.expected);
    EXPECT_EQ(Next(enumerator.get(), 1), test.nextAfterwards);
  }
}

TEST_F(ServiceEnumeratorTest, ResetStartsAgain) {
  EXPECT_EQ(Next(enumerator.get(), 2), "S_OK fetched 2: " + kPayment + " " + kStatement);
  EXPECT_EQ(enumerator->Reset(), S_OK);
  EXPECT_EQ(Next(enumerator.get(), 1), "S_OK fetched 1: " + kPayment);
}

TEST_F(ServiceEnumeratorTest, CloneContinuesFromTheSamePositionIndependently) {
  EXPECT_EQ(Next(enumerator.get(), 1), "S_OK fetched 1: " + kPayment);
  ComPtr<IEnumVARIANT> clone;
  ASSERT_EQ(enumerator->Clone(clone.put()), S_OK);
  ASSERT_TRUE(clone);
  EXPECT_NE(clone.get(), enumerator.get());
  EXPECT_EQ(Next(clone.get(), 2), "S_FALSE fetched 1: " + kStatement + " VT_EMPTY");
  EXPECT_EQ(Next(enumerator.get(), 1), "S_OK fetched 1: " + kStatement) << "the original's position moved";
}

TEST_F(ServiceEnumeratorTest, CloneFailures) {
  EXPECT_EQ(enumerator->Clone(nullptr), E_POINTER);  // and the clone made for it is gone again
  IEnumVARIANT* clone = reinterpret_cast<IEnumVARIANT*>(0x1);
  HRESULT hr;
  {
    ModuleAllocationFailure noMemory(Module().module);
    hr = enumerator->Clone(&clone);
  }
  EXPECT_EQ(Hex(hr), Hex(E_OUTOFMEMORY));
  EXPECT_EQ(clone, nullptr);
  EXPECT_EQ(TakeErrorDescription(), "(none)");
}

TEST_F(ServiceEnumeratorTest, AnswersIUnknownAndIEnumVARIANTOnly) {
  for (const IID* iid : {&IID_IUnknown, &IID_IEnumVARIANT}) {
    ComPtr<IUnknown> answer;
    EXPECT_EQ(enumerator->QueryInterface(*iid, answer.put_void()), S_OK);
    EXPECT_EQ(static_cast<void*>(answer.get()), static_cast<void*>(enumerator.get()));
    EXPECT_EQ(enumerator->QueryInterface(*iid, nullptr), E_POINTER);
  }
  ComPtr<IUnknown> none;
  EXPECT_EQ(enumerator->QueryInterface(IID_IDispatch, none.put_void()), E_NOINTERFACE);
  EXPECT_EQ(none.get(), nullptr);
}

TEST_F(ServiceEnumeratorTest, ReferenceCountEndsInDestruction) {
  services.reset();  // only the enumerator keeps the collection now
  EXPECT_EQ(Hex(Module().canUnloadNow()), Hex(S_FALSE));
  EXPECT_EQ(enumerator->AddRef(), 2u);
  EXPECT_EQ(enumerator->Release(), 1u);
  EXPECT_EQ(enumerator.release()->Release(), 0u);
  // Destroyed, it released the collection, which released its services.
  EXPECT_EQ(Hex(Module().canUnloadNow()), Hex(S_OK));
}

TEST_F(ServiceEnumeratorTest, AnEnumeratorOutlivesItsCollection) {
  services.reset();
  EXPECT_EQ(Next(enumerator.get(), 3), "S_FALSE fetched 2: " + kPayment + " " + kStatement + " VT_EMPTY");
  ComPtr<IEnumVARIANT> clone;
  ASSERT_EQ(enumerator->Reset(), S_OK);
  ASSERT_EQ(enumerator->Clone(clone.put()), S_OK);
  enumerator.reset();
  EXPECT_EQ(Next(clone.get(), 1), "S_OK fetched 1: " + kPayment);
}

TEST_F(ServiceEnumeratorTest, SeesTheListAsItIsAtEachCall) {
  auto* operations = static_cast<BankServicesImplementation*>(services.get());
  ASSERT_EQ(operations->RemoveService(0), S_OK);
  EXPECT_EQ(Next(enumerator.get(), 1), "S_OK fetched 1: " + kStatement);
  ASSERT_EQ(operations->RemoveAllServices(), S_OK);
  ASSERT_EQ(enumerator->Reset(), S_OK);
  EXPECT_EQ(Next(enumerator.get(), 1), "S_FALSE fetched 0: VT_EMPTY");
}

}  // namespace
}  // namespace kelvarn::test
