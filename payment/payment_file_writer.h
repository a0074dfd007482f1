#pragma once
// One line of the bank's payment file per payment: 19 quoted, comma-separated fields, ended by
// CR LF. The payment is checked on the way; a payment that fails a check is written all the same
// and gets the failing check's result code.
#include <cstdint>
#include <string>
#include <string_view>

#include "payment/byte_sink.h"
#include "payment/payment_reader.h"

namespace kelvarn {

// Result codes set on a payment that fails a check (their texts are string resources 300 + code).
enum PaymentResultCode : std::int32_t {
  kInvalidAmount = 21,
  kInvalidPayerSortCode = 23,
  kInvalidPayerAccountNumber = 24,
  kInvalidPayerAccountName = 25,
  kInvalidPayeeSortCode = 28,
  kInvalidPayeeAccountNumber = 29,
  kInvalidPayeeAccountName = 30,
};

class PaymentFileWriter {
 public:
  // Reads, checks and writes strictly left to right through the line; a failing check puts its
  // result code at once, so the code left on the payment is that of the last failing check.
  // Returns true when the payment passed every check. `processingDate` is an OLE date.
  static bool WritePaymentLine(ByteSink& file, PaymentReader& payment, double processingDate);

  // The name rule for an ASCII byte of the host's text: letters A-Z and a-z, digits and white
  // space (space, \t, \n, \v, \f, \r) stay in a name; every other byte is dropped.
  static bool KeepsInName(char byte) noexcept;
};

}  // namespace kelvarn
