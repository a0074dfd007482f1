#pragma once
// Fakes of the host's objects that the runs read and fill: the payment collection and payments,
// the reconciliation, bank account, bank statement and statement lines. Each records the calls
// the runs make (as "<name>.<method>(<arguments>)") into the CallLog and fails the test on any
// other call. Values are public fields; `failures` makes a method fail (see fake_object.h).
#include <optional>
#include <vector>

#include "fakehost/fake_object.h"
#include "trelk_bank_payments.h"
#include "trelk_bank_reconciliation.h"

#define KELVARN_FAKE_UNEXPECTED(method, ...) \
  HRESULT STDMETHODCALLTYPE method(__VA_ARGS__) override { return Unexpected(#method); }

namespace kelvarn::test {

// One payment ("payment<index>"): the properties the payment file writer reads, and the result
// code it sets (-1 until set).
class FakeBankPayment final : public FakeObject<IBankPayment> {
 public:
  FakeBankPayment(CallLog& log, std::string name) : FakeObject(log, std::move(name)) {}

  double amount = 0;
  FakeText payerSortCode, payerAccountNumber, payerAccountName;
  FakeText payeeSortCode, payeeAccountNumber, payeeAccountName;
  LONG resultCode = -1;

  HRESULT STDMETHODCALLTYPE get_Amount(double* value) override;
  KELVARN_FAKE_UNEXPECTED(put_Amount, double)
  KELVARN_FAKE_UNEXPECTED(get_PayerBacsReference, BSTR*)
  KELVARN_FAKE_UNEXPECTED(put_PayerBacsReference, BSTR)
  HRESULT STDMETHODCALLTYPE get_PayerSortCode(BSTR* value) override {
    return GetText("get_PayerSortCode", payerSortCode, value);
  }
  KELVARN_FAKE_UNEXPECTED(put_PayerSortCode, BSTR)
  HRESULT STDMETHODCALLTYPE get_PayerAccountNumber(BSTR* value) override {
    return GetText("get_PayerAccountNumber", payerAccountNumber, value);
  }
  KELVARN_FAKE_UNEXPECTED(put_PayerAccountNumber, BSTR)
  HRESULT STDMETHODCALLTYPE get_PayerAccountName(BSTR* value) override {
    return GetText("get_PayerAccountName", payerAccountName, value);
  }
  KELVARN_FAKE_UNEXPECTED(put_PayerAccountName, BSTR)
  KELVARN_FAKE_UNEXPECTED(get_PayerRollNumber, BSTR*)
  KELVARN_FAKE_UNEXPECTED(put_PayerRollNumber, BSTR)
  KELVARN_FAKE_UNEXPECTED(get_PayeeBacsReference, BSTR*)
  KELVARN_FAKE_UNEXPECTED(put_PayeeBacsReference, BSTR)
  HRESULT STDMETHODCALLTYPE get_PayeeSortCode(BSTR* value) override {
    return GetText("get_PayeeSortCode", payeeSortCode, value);
  }
  KELVARN_FAKE_UNEXPECTED(put_PayeeSortCode, BSTR)
  HRESULT STDMETHODCALLTYPE get_PayeeAccountNumber(BSTR* value) override {
    return GetText("get_PayeeAccountNumber", payeeAccountNumber, value);
  }
  KELVARN_FAKE_UNEXPECTED(put_PayeeAccountNumber, BSTR)
  HRESULT STDMETHODCALLTYPE get_PayeeAccountName(BSTR* value) override {
    return GetText("get_PayeeAccountName", payeeAccountName, value);
  }
  KELVARN_FAKE_UNEXPECTED(put_PayeeAccountName, BSTR)
  KELVARN_FAKE_UNEXPECTED(get_PayeeRollNumber, BSTR*)
  KELVARN_FAKE_UNEXPECTED(put_PayeeRollNumber, BSTR)
  KELVARN_FAKE_UNEXPECTED(get_Reference, BSTR*)
  KELVARN_FAKE_UNEXPECTED(put_Reference, BSTR)
  KELVARN_FAKE_UNEXPECTED(get_Details, BSTR*)
  KELVARN_FAKE_UNEXPECTED(put_Details, BSTR)
  KELVARN_FAKE_UNEXPECTED(get_Currency, BSTR*)
  KELVARN_FAKE_UNEXPECTED(put_Currency, BSTR)
  KELVARN_FAKE_UNEXPECTED(get_Status, LONG*)
  KELVARN_FAKE_UNEXPECTED(put_Status, LONG)
  KELVARN_FAKE_UNEXPECTED(get_ResultCode, LONG*)
  HRESULT STDMETHODCALLTYPE put_ResultCode(LONG value) override;

 private:
  HRESULT GetText(const char* method, const FakeText& text, BSTR* value);
};

// The payment collection ("payments").
class FakeBankPayments final : public FakeObject<IBankPayments> {
 public:
  explicit FakeBankPayments(CallLog& log) : FakeObject(log, "payments") {}

  std::vector<ComPtr<FakeBankPayment>> payments;
  LONG countOverride = -1;  // reported by Count when not -1
  LONG failItemAt = -1;     // Item fails (E_FAIL) from this index on

  // Appends a payment named "payment<index>" and returns it for filling in.
  FakeBankPayment& Add();

  HRESULT STDMETHODCALLTYPE get_Item(LONG index, IBankPayment** payment) override;
  HRESULT STDMETHODCALLTYPE get_Count(LONG* count) override;
  KELVARN_FAKE_UNEXPECTED(get_NewEnum, IUnknown**)
};

// The host's bank account ("account").
class FakeBankAccount final : public FakeObject<IBankAccount> {
 public:
  explicit FakeBankAccount(CallLog& log) : FakeObject(log, "account") {}

  FakeText sortCode;
  FakeText accountNumber;

  HRESULT STDMETHODCALLTYPE get_BankSortCode(BSTR* value) override;
  KELVARN_FAKE_UNEXPECTED(put_BankSortCode, BSTR)
  KELVARN_FAKE_UNEXPECTED(get_BankName, BSTR*)
  KELVARN_FAKE_UNEXPECTED(put_BankName, BSTR)
  HRESULT STDMETHODCALLTYPE get_BankAccountNumber(BSTR* value) override;
  KELVARN_FAKE_UNEXPECTED(put_BankAccountNumber, BSTR)
};

// The reconciliation ("reconciliation"); BankAccount hands out `account` (which may be empty).
class FakeBankReconciliation final : public FakeObject<IBankReconciliation> {
 public:
  explicit FakeBankReconciliation(CallLog& log) : FakeObject(log, "reconciliation") {}

  ComPtr<FakeBankAccount> account;

  HRESULT STDMETHODCALLTYPE get_BankAccount(IBankAccount** value) override;
};

// One statement line ("line<number>", from 1): the six setters the import calls.
class FakeBankStatementLine final : public FakeObject<IBankStatementLine> {
 public:
  FakeBankStatementLine(CallLog& log, std::string name) : FakeObject(log, std::move(name)) {}

  // The values last set (besides the calls in the log); empty until set.
  std::optional<LONG> lineNumber;  // the number as a 32-bit integer, when it converts to one
  std::optional<DATE> date;
  std::optional<FakeText> name;
  std::optional<LONG> credit;
  std::optional<FakeText> reference;
  std::optional<double> amount;

  KELVARN_FAKE_UNEXPECTED(get_Parent, IDispatch**)
  HRESULT STDMETHODCALLTYPE SetLineNumber(VARIANT* value) override;
  HRESULT STDMETHODCALLTYPE SetDate(DATE value) override { return Set("SetDate", Number(value), date, value); }
  HRESULT STDMETHODCALLTYPE SetName(BSTR value) override { return Set("SetName", Quoted(value), name, Text(value)); }
  HRESULT STDMETHODCALLTYPE SetCredit(LONG value) override {
    return Set("SetCredit", std::to_string(value), credit, value);
  }
  HRESULT STDMETHODCALLTYPE SetReference(BSTR value) override {
    return Set("SetReference", Quoted(value), reference, Text(value));
  }
  HRESULT STDMETHODCALLTYPE SetAmount(double value) override { return Set("SetAmount", Number(value), amount, value); }
  KELVARN_FAKE_UNEXPECTED(get_LineNumber, VARIANT*)
  KELVARN_FAKE_UNEXPECTED(get_Date, DATE*)
  KELVARN_FAKE_UNEXPECTED(get_Name, BSTR*)
  KELVARN_FAKE_UNEXPECTED(get_Description, BSTR*)
  KELVARN_FAKE_UNEXPECTED(SetDescription, BSTR)
  KELVARN_FAKE_UNEXPECTED(get_Credit, LONG*)
  KELVARN_FAKE_UNEXPECTED(get_ChequeNumber, BSTR*)
  KELVARN_FAKE_UNEXPECTED(SetChequeNumber, BSTR)
  KELVARN_FAKE_UNEXPECTED(get_TransactionCode, BSTR*)
  KELVARN_FAKE_UNEXPECTED(SetTransactionCode, BSTR)
  KELVARN_FAKE_UNEXPECTED(get_ValueDate, DATE*)
  KELVARN_FAKE_UNEXPECTED(SetValueDate, DATE)
  KELVARN_FAKE_UNEXPECTED(get_Reconciled, LONG*)
  KELVARN_FAKE_UNEXPECTED(SetReconciled, LONG)
  KELVARN_FAKE_UNEXPECTED(get_Memo, BSTR*)
  KELVARN_FAKE_UNEXPECTED(SetMemo, BSTR)
  KELVARN_FAKE_UNEXPECTED(get_Category, BSTR*)
  KELVARN_FAKE_UNEXPECTED(SetCategory, BSTR)
  KELVARN_FAKE_UNEXPECTED(get_Currency, BSTR*)
  KELVARN_FAKE_UNEXPECTED(SetCurrency, BSTR)
  KELVARN_FAKE_UNEXPECTED(get_ExchangeRate, double*)
  KELVARN_FAKE_UNEXPECTED(SetExchangeRate, double)
  KELVARN_FAKE_UNEXPECTED(get_AccountReference, BSTR*)
  KELVARN_FAKE_UNEXPECTED(SetAccountReference, BSTR)
  KELVARN_FAKE_UNEXPECTED(get_Reference, BSTR*)
  KELVARN_FAKE_UNEXPECTED(get_Payee, BSTR*)
  KELVARN_FAKE_UNEXPECTED(SetPayee, BSTR)
  KELVARN_FAKE_UNEXPECTED(get_Notes, BSTR*)
  KELVARN_FAKE_UNEXPECTED(SetNotes, BSTR)
  KELVARN_FAKE_UNEXPECTED(get_Amount, double*)

 private:
  // Records the call; keeps the value when the call succeeds.
  template <typename Value>
  HRESULT Set(const char* method, const std::string& arguments, std::optional<Value>& field, Value value) {
    const HRESULT hr = Call(method, arguments);
    if (SUCCEEDED(hr)) field = std::move(value);
    return hr;
  }
  static FakeText Text(BSTR value) {
    FakeText text;
    text.isNull = value == nullptr;
    if (value) text.text.assign(value, SysStringLen(value));
    return text;
  }
};

// The statement ("statement"): AddLine makes a new FakeBankStatementLine each time.
class FakeBankStatement final : public FakeObject<IBankStatement> {
 public:
  explicit FakeBankStatement(CallLog& log) : FakeObject(log, "statement") {}

  std::vector<ComPtr<FakeBankStatementLine>> lines;
  bool addLineYieldsNothing = false;  // AddLine answers S_OK with no line

  KELVARN_FAKE_UNEXPECTED(get_Count, LONG*)
  KELVARN_FAKE_UNEXPECTED(get_Item, LONG, IBankStatementLine**)
  HRESULT STDMETHODCALLTYPE AddLine(IBankStatementLine** line) override;
  HRESULT STDMETHODCALLTYPE Reset() override;
  KELVARN_FAKE_UNEXPECTED(get_Balance, double*)
  KELVARN_FAKE_UNEXPECTED(get_StatementDate, DATE*)
  HRESULT STDMETHODCALLTYPE SetBalance(double value) override;

  bool resetCalled = false;       // Reset was called and succeeded
  std::optional<double> balance;  // the last balance set
};

}  // namespace kelvarn::test
