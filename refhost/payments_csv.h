#pragma once
// The reference host's payment batch: a UTF-8 CSV file (RFC 4180 quoting) with the header
//   amount,payer_sort_code,payer_account_number,payer_account_name,payee_sort_code,payee_account_number,payee_account_name
// An unquoted empty field is a missing (null) text; a quoted empty field ("") is an empty text.
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace refhost {

struct CsvPayment {
  double amount = 0;
  std::optional<std::u16string> payerSortCode;
  std::optional<std::u16string> payerAccountNumber;
  std::optional<std::u16string> payerAccountName;
  std::optional<std::u16string> payeeSortCode;
  std::optional<std::u16string> payeeAccountNumber;
  std::optional<std::u16string> payeeAccountName;
};

class CsvError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

inline constexpr std::string_view kPaymentsCsvHeader =
    "amount,payer_sort_code,payer_account_number,payer_account_name,payee_sort_code,"
    "payee_account_number,payee_account_name";

// Throws CsvError with a one-line reason (and the line number) for anything it cannot read.
std::vector<CsvPayment> ParsePaymentsCsv(std::string_view content);

// UTF-8 to UTF-16; throws CsvError on malformed UTF-8.
std::u16string Utf8ToUtf16(std::string_view utf8);

}  // namespace refhost
