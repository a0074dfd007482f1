#include "payment/host_payment_reader_win.h"

#include "frame/owners_win.h"

namespace kelvarn {

bool HostPaymentReader::ReadString(StringGetter getter, HostString& value) {
  UniqueBstr text;
  if (FAILED((payment_->*getter)(text.put()))) return false;
  if (!text) {
    value.reset();
  } else {
    static_assert(sizeof(OLECHAR) == sizeof(char16_t), "BSTR units are UTF-16");
    value.emplace(reinterpret_cast<const char16_t*>(text.get()), SysStringLen(text.get()));
  }
  return true;
}

bool HostPaymentReader::GetAmount(double& value) {
  double amount = 0.0;
  if (FAILED(payment_->get_Amount(&amount))) return false;
  value = amount;
  return true;
}

bool HostPaymentReader::GetPayerSortCode(HostString& value) {
  return ReadString(&IBankPayment::get_PayerSortCode, value);
}
bool HostPaymentReader::GetPayerAccountNumber(HostString& value) {
  return ReadString(&IBankPayment::get_PayerAccountNumber, value);
}
bool HostPaymentReader::GetPayerAccountName(HostString& value) {
  return ReadString(&IBankPayment::get_PayerAccountName, value);
}
bool HostPaymentReader::GetPayeeSortCode(HostString& value) {
  return ReadString(&IBankPayment::get_PayeeSortCode, value);
}
bool HostPaymentReader::GetPayeeAccountNumber(HostString& value) {
  return ReadString(&IBankPayment::get_PayeeAccountNumber, value);
}
bool HostPaymentReader::GetPayeeAccountName(HostString& value) {
  return ReadString(&IBankPayment::get_PayeeAccountName, value);
}

void HostPaymentReader::PutResultCode(std::int32_t code) {
  payment_->put_ResultCode(static_cast<LONG>(code));  // a failing put changes nothing for the run
}

}  // namespace kelvarn
