#pragma once
// What the payment file writer needs of one host payment: seven property reads and the result
// code put. The Windows layer adapts the host's IBankPayment to it, one host call per method, so
// the order of calls made here is the order the host sees.
#include <cstdint>
#include <optional>
#include <string>

namespace kelvarn {

// A string property as the host hands it over: std::nullopt for a null string (distinct from an
// empty one), otherwise the host's UTF-16 text.
using HostString = std::optional<std::u16string>;

class PaymentReader {
 public:
  virtual ~PaymentReader() = default;

  // Each read returns false when the host's accessor failed; `value` is then not used.
  virtual bool GetAmount(double& value) = 0;
  virtual bool GetPayerSortCode(HostString& value) = 0;
  virtual bool GetPayerAccountNumber(HostString& value) = 0;
  virtual bool GetPayerAccountName(HostString& value) = 0;
  virtual bool GetPayeeSortCode(HostString& value) = 0;
  virtual bool GetPayeeAccountNumber(HostString& value) = 0;
  virtual bool GetPayeeAccountName(HostString& value) = 0;

  // Sets the payment's result code (0..35); a failing put changes nothing for the export.
  virtual void PutResultCode(std::int32_t code) = 0;
};

}  // namespace kelvarn
