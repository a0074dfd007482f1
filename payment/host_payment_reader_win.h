#pragma once
// The host's IBankPayment as the payment file writer reads it: one host call per read, each
// string received freed once it has been copied.
#include <windows.h>
#include <oaidl.h>

#include "payment/payment_reader.h"
#include "trelk_bank_payments.h"

namespace kelvarn {

class HostPaymentReader final : public PaymentReader {
 public:
  // Borrows `payment` (the caller holds its reference while the line is written).
  explicit HostPaymentReader(IBankPayment* payment) noexcept : payment_(payment) {}

  bool GetAmount(double& value) override;
  bool GetPayerSortCode(HostString& value) override;
  bool GetPayerAccountNumber(HostString& value) override;
  bool GetPayerAccountName(HostString& value) override;
  bool GetPayeeSortCode(HostString& value) override;
  bool GetPayeeAccountNumber(HostString& value) override;
  bool GetPayeeAccountName(HostString& value) override;
  void PutResultCode(std::int32_t code) override;

 private:
  using StringGetter = HRESULT (STDMETHODCALLTYPE IBankPayment::*)(BSTR*);
  bool ReadString(StringGetter getter, HostString& value);

  IBankPayment* payment_;
};

}  // namespace kelvarn
