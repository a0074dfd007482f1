// The two service objects: their QueryInterface, methods 1 to 6 and error reporting.
#include "tests/com/com_test_support.h"

namespace kelvarn::test {
namespace {

constexpr HRESULT kInvalidArgumentReturned = static_cast<HRESULT>(0x800AFFFC);

using ServiceTest = ComTest;

TEST_F(ServiceTest, NewServicesReportTheirNameAndStatusZero) {
  auto payment = CreateComponent<IBankPaymentService>(CLSID_BankPaymentService);
  auto statement = CreateComponent<IBankStatementService>(CLSID_BankStatementService);
  ASSERT_TRUE(payment && statement);
  UniqueBstr name;
  ASSERT_EQ(payment->get_ServiceName(name.put()), S_OK);
  EXPECT_EQ(Utf8(name.get()), "Bank Payment Service");
  EXPECT_EQ(SysStringLen(name.get()), 20u);
  ASSERT_EQ(statement->get_ServiceName(name.put()), S_OK);
  EXPECT_EQ(Utf8(name.get()), "Bank Reconciliation Service");
  LONG status = -7;
  EXPECT_EQ(payment->get_Status(&status), S_OK);
  EXPECT_EQ(status, 0);
  status = -7;
  EXPECT_EQ(statement->get_Status(&status), S_OK);
  EXPECT_EQ(status, 0);
}

TEST_F(ServiceTest, StatusIsStoredUnchecked) {
  auto service = CreateComponent<IBankStatementService>(CLSID_BankStatementService);
  ASSERT_TRUE(service);
  for (LONG value : {3L, -1L, 2147483647L, -2147483647L - 1}) {
    EXPECT_EQ(service->put_Status(value), S_OK);
    LONG status = 0;
    EXPECT_EQ(service->get_Status(&status), S_OK);
    EXPECT_EQ(status, value);
  }
}

TEST_F(ServiceTest, NullPointersAreRejectedAsInvalidArgument) {
  auto payment = CreateComponent<IBankPaymentService>(CLSID_BankPaymentService);
  auto statement = CreateComponent<IBankStatementService>(CLSID_BankStatementService);
  ASSERT_TRUE(payment && statement);
  struct Case {
    const char* name;
    HRESULT (*call)(IBankPaymentService*, IBankStatementService*);
  };
  const Case kCases[] = {
      {"payment ServiceName",
       [](IBankPaymentService* p, IBankStatementService*) { return p->get_ServiceName(nullptr); }},
      {"payment Status", [](IBankPaymentService* p, IBankStatementService*) { return p->get_Status(nullptr); }},
      {"payment AcceptPointer",
       [](IBankPaymentService* p, IBankStatementService*) { return p->AcceptPointer(nullptr); }},
      {"payment AcceptKeyedPointer",
       [](IBankPaymentService* p, IBankStatementService*) { return p->AcceptKeyedPointer(5, nullptr); }},
      {"payment GetStatusText",
       [](IBankPaymentService* p, IBankStatementService*) { return p->GetStatusText(0, nullptr); }},
      {"statement ServiceName",
       [](IBankPaymentService*, IBankStatementService* s) { return s->get_ServiceName(nullptr); }},
      {"statement Status", [](IBankPaymentService*, IBankStatementService* s) { return s->get_Status(nullptr); }},
      {"statement AcceptPointer",
       [](IBankPaymentService*, IBankStatementService* s) { return s->AcceptPointer(nullptr); }},
      {"statement AcceptKeyedPointer",
       [](IBankPaymentService*, IBankStatementService* s) { return s->AcceptKeyedPointer(0, nullptr); }},
      {"statement GetStatusText",
       [](IBankPaymentService*, IBankStatementService* s) { return s->GetStatusText(0, nullptr); }},
  };
  for (const Case& row : kCases) {
    PostSentinelErrorInfo();
    EXPECT_EQ(Hex(row.call(payment.get(), statement.get())), Hex(kInvalidArgumentReturned)) << row.name;
    EXPECT_EQ(TakeErrorDescription(), "Invalid argument") << row.name;
  }
}

TEST_F(ServiceTest, AcceptedPointersChangeNothing) {
  auto service = CreateComponent<IBankPaymentService>(CLSID_BankPaymentService);
  ASSERT_TRUE(service);
  ASSERT_EQ(service->put_Status(2), S_OK);
  auto other = CreateComponent<IBankStatementService>(CLSID_BankStatementService);
  EXPECT_EQ(service->AcceptPointer(other.get()), S_OK);
  EXPECT_EQ(service->AcceptKeyedPointer(-9, other.get()), S_OK);
  LONG status = 0;
  EXPECT_EQ(service->get_Status(&status), S_OK);
  EXPECT_EQ(status, 2);
  // The pointer is not kept: the other object's count is back where it was.
  EXPECT_EQ(other->AddRef(), 2u);
  EXPECT_EQ(other->Release(), 1u);
}

TEST_F(ServiceTest, PaymentStatusTextsComeFromTheStringTable) {
  const std::pair<LONG, const char*> kTexts[] = {
      {0, "Payment processed successfully."},
      {20, "This payment is valid but the payment batch has been rejected because of errors elsewhere."},
      {21, "Invalid Amount specified for payment: negative payments not supported."},
      {22,
       "Invalid Payer BACS Reference. This value must comprise only numeric values, and be no more than 4 "
       "digits long."},
      {23, "Invalid Payer Sort Code: the sort code must contain exactly 6 digits."},
      {24, "Invalid Payer Bank Account Number: the account number must be 8 digits."},
      {25, "Invalid or missing Payer bank account name."},
      {26, "Invalid or missing Payer Building Society roll number."},
      {27,
       "Invalid Payee BACS Reference. This value must comprise only numeric values, and be no more than 4 "
       "digits long."},
      {28, "Invalid Payee Sort Code: the sort code must contain exactly 6 digits."},
      {29, "Invalid Payee Bank Account Number: the account number must be 8 digits."},
      {30, "Invalid or missing Payee bank account name."},
      {31, "Invalid or missing Payee Building Society roll number."},
      {32, "Invalid or missing reference field."},
      {33, "Invalid or missing details field."},
      {34, "Invalid or unknown currency specified."},
      {35, "An error occurred with the status field."},
  };
  auto service = CreateComponent<IBankPaymentService>(CLSID_BankPaymentService);
  ASSERT_TRUE(service);
  for (const auto& [code, text] : kTexts) {
    UniqueBstr result;
    EXPECT_EQ(service->GetStatusText(code, result.put()), S_OK) << code;
    EXPECT_EQ(Utf8(result.get()), text) << code;
  }
}

TEST_F(ServiceTest, CodesWithoutTextLeaveTheCallersValue) {
  auto payment = CreateComponent<IBankPaymentService>(CLSID_BankPaymentService);
  auto statement = CreateComponent<IBankStatementService>(CLSID_BankStatementService);
  ASSERT_TRUE(payment && statement);
  UniqueBstr callers(SysAllocString(L"caller's"));
  for (LONG code : {1L, 10L, 19L, 36L, -1L, 300L, -2147483647L - 1}) {
    BSTR value = nullptr;
    EXPECT_EQ(payment->GetStatusText(code, &value), S_OK) << code;
    EXPECT_EQ(value, nullptr) << code;
    value = callers.get();
    EXPECT_EQ(payment->GetStatusText(code, &value), S_OK) << code;
    EXPECT_EQ(value, callers.get()) << code;
  }
  for (LONG code : {0L, 21L}) {  // the statement service has no texts at all
    BSTR value = callers.get();
    EXPECT_EQ(statement->GetStatusText(code, &value), S_OK) << code;
    EXPECT_EQ(value, callers.get()) << code;
  }
}

struct InterfaceCase {
  const char* name;
  const IID* iid;
  bool answered;
  bool isServiceInterface;  // answered with the dual interface pointer
};

void CheckQueryInterface(IUnknown* service, const IID& own, const IID& host) {
  const InterfaceCase kCases[] = {
      {"own dual interface", &own, true, true},
      {"host's service interface", &host, true, true},
      {"IDispatch", &IID_IDispatch, true, true},
      {"IUnknown", &IID_IUnknown, true, true},
      {"ISupportErrorInfo", &IID_ISupportErrorInfo, true, false},
      {"IClassFactory", &IID_IClassFactory, false, false},
      {"IBank", &__uuidof(IBank), false, false},
      {"the other service's interface",
       &(own == __uuidof(IBankPaymentService) ? __uuidof(IBankStatementService) : __uuidof(IBankPaymentService)), false,
       false},
  };
  ComPtr<IUnknown> dual;
  ASSERT_EQ(service->QueryInterface(own, dual.put_void()), S_OK);
  for (const InterfaceCase& row : kCases) {
    void* pointer = reinterpret_cast<void*>(1);
    const HRESULT hr = service->QueryInterface(*row.iid, &pointer);
    EXPECT_EQ(Hex(hr), Hex(row.answered ? S_OK : E_NOINTERFACE)) << row.name;
    if (!row.answered) {
      EXPECT_EQ(pointer, nullptr) << row.name;
      continue;
    }
    auto* unknown = static_cast<IUnknown*>(pointer);
    EXPECT_EQ(unknown == dual.get(), row.isServiceInterface) << row.name;
    unknown->Release();
  }
  EXPECT_EQ(Hex(service->QueryInterface(IID_IUnknown, nullptr)), Hex(E_POINTER));
  ComPtr<ISupportErrorInfo> support;
  ASSERT_EQ(service->QueryInterface(IID_ISupportErrorInfo, support.put_void()), S_OK);
  EXPECT_EQ(support->InterfaceSupportsErrorInfo(own), S_OK);
  EXPECT_EQ(support->InterfaceSupportsErrorInfo(host), S_FALSE);
  EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID_IDispatch), S_FALSE);
}

TEST_F(ServiceTest, QueryInterfaceAnswersTheInterfaceTable) {
  auto payment = CreateComponent<IBankPaymentService>(CLSID_BankPaymentService);
  auto statement = CreateComponent<IBankStatementService>(CLSID_BankStatementService);
  ASSERT_TRUE(payment && statement);
  CheckQueryInterface(payment.get(), __uuidof(IBankPaymentService), __uuidof(ITrelkPaymentService));
  CheckQueryInterface(statement.get(), __uuidof(IBankStatementService), __uuidof(ITrelkReconciliationService));
}

}  // namespace
}  // namespace kelvarn::test
