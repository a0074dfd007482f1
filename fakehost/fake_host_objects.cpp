#include "fakehost/fake_host_objects.h"

namespace kelvarn::test {
namespace {

// Hands out `object` through `out` with a reference for the caller (a null object gives null).
template <typename Interface, typename Fake>
void HandOut(const ComPtr<Fake>& object, Interface** out, Fault injected = Fault::kNone) {
  *out = injected == Fault::kNullOut ? nullptr : object.get();
  if (*out) (*out)->AddRef();
}

}  // namespace

HRESULT FakeBankPayment::GetText(const char* method, const FakeText& text, BSTR* value) {
  const HRESULT hr = Call(method, std::string(), Returns::kText);
  if (FAILED(hr)) return hr;
  if (!value) return E_POINTER;
  *value = HandOutText(text, method);
  return hr;
}

HRESULT FakeBankPayment::get_Amount(double* value) {
  const HRESULT hr = Call("get_Amount");
  if (FAILED(hr)) return hr;
  if (!value) return E_POINTER;
  *value = amount;
  return hr;
}

HRESULT FakeBankPayment::put_ResultCode(LONG value) {
  const HRESULT hr = Call("put_ResultCode", std::to_string(value));
  if (SUCCEEDED(hr)) resultCode = value;
  return hr;
}

FakeBankPayment& FakeBankPayments::Add() {
  payments.push_back(MakeFake<FakeBankPayment>(log_, "payment" + std::to_string(payments.size())));
  return *payments.back().get();
}

HRESULT FakeBankPayments::get_Item(LONG index, IBankPayment** payment) {
  HRESULT hr = Call("get_Item", std::to_string(index), Returns::kInterface);
  if (FAILED(hr)) return hr;
  if (!payment) return E_POINTER;
  *payment = nullptr;
  if (failItemAt >= 0 && index >= failItemAt) return E_FAIL;
  if (index < 0 || static_cast<std::size_t>(index) >= payments.size()) return E_INVALIDARG;
  HandOut(payments[static_cast<std::size_t>(index)], payment, Injected());
  return S_OK;
}

HRESULT FakeBankPayments::get_Count(LONG* count) {
  HRESULT hr = Call("get_Count");
  if (FAILED(hr)) return hr;
  if (!count) return E_POINTER;
  *count = countOverride >= 0 ? countOverride : static_cast<LONG>(payments.size());
  return S_OK;
}

HRESULT FakeBankAccount::get_BankSortCode(BSTR* value) {
  HRESULT hr = Call("get_BankSortCode", std::string(), Returns::kText);
  if (FAILED(hr)) return hr;
  if (!value) return E_POINTER;
  *value = HandOutText(sortCode, "get_BankSortCode");
  return S_OK;
}

HRESULT FakeBankAccount::get_BankAccountNumber(BSTR* value) {
  HRESULT hr = Call("get_BankAccountNumber", std::string(), Returns::kText);
  if (FAILED(hr)) return hr;
  if (!value) return E_POINTER;
  *value = HandOutText(accountNumber, "get_BankAccountNumber");
  return S_OK;
}

HRESULT FakeBankReconciliation::get_BankAccount(IBankAccount** value) {
  HRESULT hr = Call("get_BankAccount", std::string(), Returns::kInterface);
  if (FAILED(hr)) return hr;
  if (!value) return E_POINTER;
  HandOut(account, value, Injected());
  return S_OK;
}

HRESULT FakeBankStatement::AddLine(IBankStatementLine** line) {
  HRESULT hr = Call("AddLine", std::string(), Returns::kInterface);
  if (FAILED(hr)) return hr;
  if (!line) return E_POINTER;
  *line = nullptr;
  if (addLineYieldsNothing || Injected() == Fault::kNullOut) return S_OK;
  lines.push_back(MakeFake<FakeBankStatementLine>(log_, "line" + std::to_string(lines.size() + 1)));
  HandOut(lines.back(), line);
  return S_OK;
}

HRESULT FakeBankStatementLine::SetLineNumber(VARIANT* value) {
  const HRESULT hr = Call("SetLineNumber", Describe(value));
  if (FAILED(hr) || !value) return hr;
  VARIANT number;
  VariantInit(&number);
  if (SUCCEEDED(VariantChangeType(&number, value, 0, VT_I4))) lineNumber = number.lVal;
  VariantClear(&number);
  return hr;
}

HRESULT FakeBankStatement::Reset() {
  const HRESULT hr = Call("Reset");
  if (SUCCEEDED(hr)) resetCalled = true;
  return hr;
}

HRESULT FakeBankStatement::SetBalance(double value) {
  const HRESULT hr = Call("SetBalance", Number(value));
  if (SUCCEEDED(hr)) balance = value;
  return hr;
}

}  // namespace kelvarn::test
