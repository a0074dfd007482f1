// The BankServices collection: lookup by position and by name, its count and enumerator, its
// interfaces, and the implementation's own list operations.
#include <gtest/gtest.h>

#include <cstddef>

#include "bank/bank_services_win.h"
#include "tests/com/com_test_support.h"
#include "tests/com/module_allocation_failure.h"
#include "tests/com/bank_test_support.h"

namespace kelvarn::test {
namespace {

constexpr char kPayment[] = "payment service \"Bank Payment Service\"";
constexpr char kStatement[] = "statement service \"Bank Reconciliation Service\"";
constexpr char kRejected[] = "0x800AFFFC null Invalid argument";

class BankServicesTest : public ComTest {
 protected:
  void TearDown() override {
    services.reset();
    ComTest::TearDown();
  }

  BankServicesImplementation* Operations() { return static_cast<BankServicesImplementation*>(services.get()); }

  // One Item call: the service handed out, or "<result> <out argument> <error description>".
  std::string Item(VARIANT* index) {
    IDispatch* const untouched = reinterpret_cast<IDispatch*>(0x1);
    IDispatch* service = untouched;  // overwritten either way
    const HRESULT hr = services->get_Item(index, &service);
    auto held = ComPtr<IDispatch>::Attach(service == untouched ? nullptr : service);
    std::string handedOut = service == untouched ? "untouched" : DescribeService(held.get());
    if (hr == S_OK) return handedOut;
    return Hex(hr) + " " + handedOut + " " + TakeErrorDescription();
  }

  ComPtr<IBankServices> services = CreateComponent<IBankServices>(CLSID_BankServices);
};

// One index of an Item call, with whatever a by-reference form points at.
struct IndexCase {
  const char* name;
  VARTYPE type;
  double number;        // numeric forms
  const wchar_t* text;  // string forms (null: a null BSTR)
  const char* expected;
};

class IndexValue {
 public:
  explicit IndexValue(const IndexCase& index) {
    VARIANT* value = value_.get();
    V_VT(value) = index.type;
    switch (index.type) {
      case VT_I2:
        V_I2(value) = static_cast<SHORT>(index.number);
        break;
      case VT_I4:
        V_I4(value) = static_cast<LONG>(index.number);
        break;
      case VT_R8:
        V_R8(value) = index.number;
        break;
      case VT_ERROR:
        V_ERROR(value) = DISP_E_PARAMNOTFOUND;
        break;  // how an omitted argument arrives
      case VT_I4 | VT_BYREF:
        integer_ = static_cast<LONG>(index.number);
        V_I4REF(value) = &integer_;
        break;
      case VT_BSTR:
        V_BSTR(value) = index.text ? SysAllocString(index.text) : nullptr;
        break;
      case VT_BSTR | VT_BYREF:
        text_ = UniqueBstr(index.text ? SysAllocString(index.text) : nullptr);
        referenced_ = text_.get();
        V_BSTRREF(value) = &referenced_;
        break;
      default:
        break;
    }
  }
  VARIANT* get() { return value_.get(); }

 private:
  UniqueVariant value_;  // clearing a by-reference form frees nothing it points at
  LONG integer_ = 0;
  UniqueBstr text_;
  BSTR referenced_ = nullptr;
};

TEST_F(BankServicesTest, ItemFindsServicesByPositionNameOrConvertedNumber) {
  const IndexCase cases[] = {
      {"position 0", VT_I4, 0, nullptr, kPayment},
      {"position 1", VT_I4, 1, nullptr, kStatement},
      {"payment service's name", VT_BSTR, 0, L"Bank Payment Service", kPayment},
      {"statement service's name", VT_BSTR, 0, L"Bank Reconciliation Service", kStatement},
      {"name by reference", VT_BSTR | VT_BYREF, 0, L"Bank Reconciliation Service", kStatement},
      {"16-bit integer 1", VT_I2, 1, nullptr, kStatement},
      {"double 1.0", VT_R8, 1.0, nullptr, kStatement},
      {"32-bit integer 1 by reference", VT_I4 | VT_BYREF, 1, nullptr, kStatement},
      {"position 2", VT_I4, 2, nullptr, kRejected},
      {"position -1", VT_I4, -1, nullptr, kRejected},
      {"position -2", VT_I4, -2, nullptr, kRejected},
      {"omitted (VT_ERROR)", VT_ERROR, 0, nullptr, kRejected},
      {"VT_EMPTY", VT_EMPTY, 0, nullptr, kRejected},
      {"lower-case name", VT_BSTR, 0, L"bank reconciliation service", kRejected},
      {"first two words of a name", VT_BSTR, 0, L"Bank Payment", kRejected},
      {"name with a trailing space", VT_BSTR, 0, L"Bank Payment Service ", kRejected},
      {"a digit as a string", VT_BSTR, 0, L"1", kRejected},
      {"null string", VT_BSTR, 0, nullptr, kRejected},
      {"null string by reference", VT_BSTR | VT_BYREF, 0, nullptr, kRejected},
  };
  for (const IndexCase& index : cases) {
    SCOPED_TRACE(index.name);
    IndexValue value(index);
    EXPECT_EQ(Item(value.get()), index.expected);
  }
  EXPECT_EQ(Item(nullptr), kRejected) << "no VARIANT at all";
}

TEST_F(BankServicesTest, CountIsTwo) {
  LONG count = -1;
  EXPECT_EQ(services->get_Count(&count), S_OK);
  EXPECT_EQ(count, 2);
}

TEST_F(BankServicesTest, NullOutPointersAreRejectedAsInvalidArgument) {
  VARIANT position;
  V_VT(&position) = VT_I4;
  V_I4(&position) = 0;
  EXPECT_EQ(Outcome(services->get_Item(&position, nullptr)), "0x800AFFFC Invalid argument");
  EXPECT_EQ(Outcome(services->get_Count(nullptr)), "0x800AFFFC Invalid argument");
  EXPECT_EQ(Outcome(services->get_NewEnum(nullptr)), "0x800AFFFC Invalid argument");
}

TEST_F(BankServicesTest, TwoLookupsOfOnePositionGiveTheSameObjectEachWithItsOwnReference) {
  VARIANT position;
  V_VT(&position) = VT_I4;
  V_I4(&position) = 1;
  ComPtr<IDispatch> first, second;
  ASSERT_EQ(services->get_Item(&position, first.put()), S_OK);
  ASSERT_EQ(services->get_Item(&position, second.put()), S_OK);
  EXPECT_EQ(first.get(), second.get());
  // The collection's reference, one per lookup, and the one taken here.
  EXPECT_EQ(first->AddRef(), 4u);
  EXPECT_EQ(first->Release(), 3u);
}

TEST_F(BankServicesTest, EveryCollectionHasServicesOfItsOwn) {
  auto other = CreateComponent<IBankServices>(CLSID_BankServices);
  ASSERT_TRUE(other);
  IUnknown* seen[4] = {};
  for (LONG position = 0; position < 2; ++position) {
    VARIANT index;
    V_VT(&index) = VT_I4;
    V_I4(&index) = position;
    ComPtr<IDispatch> mine, theirs;
    ASSERT_EQ(services->get_Item(&index, mine.put()), S_OK);
    ASSERT_EQ(other->get_Item(&index, theirs.put()), S_OK);
    seen[static_cast<std::ptrdiff_t>(position) * 2] = mine.get();
    seen[static_cast<std::ptrdiff_t>(position) * 2 + 1] = theirs.get();
  }
  for (int i = 0; i < 4; ++i) {
    for (int j = i + 1; j < 4; ++j) EXPECT_NE(seen[i], seen[j]) << i << " and " << j;
  }
}

TEST_F(BankServicesTest, NewEnumHandsOutAnEnumeratorWithOneReference) {
  ComPtr<IUnknown> unknown;
  ASSERT_EQ(services->get_NewEnum(unknown.put()), S_OK);
  auto enumerator = unknown.As<IEnumVARIANT>();
  ASSERT_TRUE(enumerator);
  EXPECT_EQ(static_cast<IUnknown*>(enumerator.get()), unknown.get());
  enumerator.reset();
  EXPECT_EQ(unknown->AddRef(), 2u);
  EXPECT_EQ(unknown->Release(), 1u);
}

TEST_F(BankServicesTest, NewEnumOutOfMemoryIsReportedWithANullEnumerator) {
  IUnknown* enumerator = reinterpret_cast<IUnknown*>(0x1);
  HRESULT hr;
  {
    ModuleAllocationFailure noMemory(Module().module);
    hr = services->get_NewEnum(&enumerator);
  }
  EXPECT_EQ(Outcome(hr), "0x800AFFFD Out of Memory");
  EXPECT_EQ(enumerator, nullptr);
}

TEST_F(BankServicesTest, AnswersItsInterfacesWithOneIdentityAndASeparateErrorInfoPointer) {
  void* expected = static_cast<IBankServices*>(services.get());
  for (const IID* iid : {&IID_IUnknown, &IID_IDispatch, &__uuidof(IBankServices), &__uuidof(ITrelkBankServices)}) {
    ComPtr<IUnknown> answer;
    EXPECT_EQ(services->QueryInterface(*iid, answer.put_void()), S_OK);
    EXPECT_EQ(static_cast<void*>(answer.get()), expected);
  }
  ComPtr<ISupportErrorInfo> support;
  ASSERT_EQ(services->QueryInterface(IID_ISupportErrorInfo, support.put_void()), S_OK);
  EXPECT_NE(static_cast<void*>(support.get()), expected);

  ComPtr<IUnknown> none;
  EXPECT_EQ(services->QueryInterface(__uuidof(IBank), none.put_void()), E_NOINTERFACE);
  EXPECT_EQ(none.get(), nullptr);
  EXPECT_EQ(services->QueryInterface(IID_IDispatch, nullptr), E_POINTER);
}

TEST_F(BankServicesTest, RichErrorsForIBankServicesOnly) {
  ComPtr<ISupportErrorInfo> support = services.As<ISupportErrorInfo>();
  ASSERT_TRUE(support);
  EXPECT_EQ(support->InterfaceSupportsErrorInfo(__uuidof(IBankServices)), S_OK);
  for (const IID* other : {&__uuidof(ITrelkBankServices), &__uuidof(IBank), &IID_IDispatch, &IID_IUnknown}) {
    EXPECT_EQ(support->InterfaceSupportsErrorInfo(*other), S_FALSE);
  }
  // The operation after InterfaceSupportsErrorInfo: rejects a null pointer, else does nothing.
  auto* extra = static_cast<BankServicesErrorInfo*>(support.get());
  LONG anything = 0;
  EXPECT_EQ(extra->AcceptKeyedPointer(5, &anything), S_OK);
  EXPECT_EQ(Outcome(extra->AcceptKeyedPointer(5, nullptr)), "0x800AFFFC Invalid argument");
}

TEST_F(BankServicesTest, TagIsZeroAndKeepsWhatIsWritten) {
  LONG tag = -1;
  EXPECT_EQ(Operations()->get_Tag(&tag), S_OK);
  EXPECT_EQ(tag, 0);
  EXPECT_EQ(Operations()->put_Tag(-42), S_OK);
  EXPECT_EQ(Operations()->get_Tag(&tag), S_OK);
  EXPECT_EQ(tag, -42);
  EXPECT_EQ(Outcome(Operations()->get_Tag(nullptr)), "0x800AFFFC Invalid argument");
}

TEST_F(BankServicesTest, ServiceAtChecksThePointerThenThePosition) {
  ComPtr<IDispatch> service;
  EXPECT_EQ(Operations()->ServiceAt(0, service.put()), S_OK);
  EXPECT_EQ(DescribeService(service.get()), kPayment);
  EXPECT_EQ(Outcome(Operations()->ServiceAt(7, nullptr)), "0x800AFFFC Invalid argument");
  for (LONG outside : {2, -1}) {
    EXPECT_EQ(Outcome(Operations()->ServiceAt(outside, service.put())), "0x800AFFFC Invalid argument");
  }
}

// The list of `services`, by position, as "payment/statement/other" descriptions.
std::vector<std::string> Listed(BankServicesImplementation* operations, IBankServices* services) {
  LONG count = 0;
  services->get_Count(&count);
  std::vector<std::string> listed;
  for (LONG position = 0; position < count; ++position) {
    ComPtr<IDispatch> service;
    operations->ServiceAt(position, service.put());
    listed.push_back(DescribeService(service.get()));
  }
  return listed;
}

TEST_F(BankServicesTest, ListOperationsAddRemoveAndGrowTheList) {
  // Services of a second collection as entries to add; each entry keeps its own reference.
  ComPtr<IDispatch> payment, statement;
  {
    auto other = CreateComponent<IBankServices>(CLSID_BankServices);
    ASSERT_TRUE(other);
    static_cast<BankServicesImplementation*>(other.get())->ServiceAt(0, payment.put());
    static_cast<BankServicesImplementation*>(other.get())->ServiceAt(1, statement.put());
  }
  EXPECT_EQ(Outcome(Operations()->AddService(nullptr)), "0x800AFFFC Invalid argument");

  // 2 + 15 entries: the storage grows past 8 and 16 slots.
  std::vector<std::string> expected = {kPayment, kStatement};
  for (int i = 0; i < 15; ++i) {
    IDispatch* added = i % 2 ? statement.get() : payment.get();
    ASSERT_EQ(Operations()->AddService(added), S_OK);
    expected.emplace_back(i % 2 ? kStatement : kPayment);
  }
  EXPECT_EQ(Listed(Operations(), services.get()), expected);
  EXPECT_EQ(payment->AddRef(), 10u);  // 8 entries and ours
  payment->Release();

  EXPECT_EQ(Operations()->RemoveService(0), S_OK);  // later entries move down
  expected.erase(expected.begin());
  EXPECT_EQ(Operations()->RemoveService(15), S_OK);  // the last one
  expected.pop_back();
  EXPECT_EQ(Listed(Operations(), services.get()), expected);
  for (LONG outside : {15, -1}) {
    EXPECT_EQ(Outcome(Operations()->RemoveService(outside)), "0x800AFFFC Invalid argument");
  }

  EXPECT_EQ(Operations()->RemoveAllServices(), S_OK);
  EXPECT_EQ(Listed(Operations(), services.get()), std::vector<std::string>{});
  EXPECT_EQ(payment->AddRef(), 2u) << "every entry's reference released";
  payment->Release();
  EXPECT_EQ(DescribeService(statement.get()), kStatement) << "a service the host holds lives on";

  ASSERT_EQ(Operations()->AddService(statement.get()), S_OK);  // the list is usable again
  EXPECT_EQ(Listed(Operations(), services.get()), std::vector<std::string>{kStatement});
}

TEST_F(BankServicesTest, AddServiceOutOfMemoryLeavesTheListUnchanged) {
  ComPtr<IDispatch> payment;
  ASSERT_EQ(Operations()->ServiceAt(0, payment.put()), S_OK);
  for (int i = 0; i < 6; ++i) ASSERT_EQ(Operations()->AddService(payment.get()), S_OK);  // 8 slots full
  HRESULT hr;
  {
    ModuleAllocationFailure noMemory(Module().module);
    hr = Operations()->AddService(payment.get());
  }
  EXPECT_EQ(Outcome(hr), "0x800AFFFD Out of Memory");
  LONG count = 0;
  services->get_Count(&count);
  EXPECT_EQ(count, 8);
  EXPECT_EQ(payment->AddRef(), 9u);  // 7 entries and ours
  payment->Release();
}

TEST_F(BankServicesTest, DestroyFreesTheObjectWhateverItsCount) {
  auto other = CreateComponent<IBankServices>(CLSID_BankServices);
  ASSERT_TRUE(other);
  ComPtr<IDispatch> statement;
  ASSERT_EQ(static_cast<BankServicesImplementation*>(other.get())->ServiceAt(1, statement.put()), S_OK);
  other->AddRef();
  static_cast<BankServicesImplementation*>(other.release())->Destroy();
  EXPECT_EQ(DescribeService(statement.get()), kStatement) << "its services live on while held";
}

TEST_F(BankServicesTest, ReleasingTheCollectionLeavesServicesTheHostHolds) {
  ComPtr<IDispatch> payment;
  ASSERT_EQ(Operations()->ServiceAt(0, payment.put()), S_OK);
  services.reset();
  EXPECT_EQ(DescribeService(payment.get()), kPayment);
  EXPECT_EQ(Hex(Module().canUnloadNow()), Hex(S_FALSE)) << "the service still lives";
}

}  // namespace
}  // namespace kelvarn::test
