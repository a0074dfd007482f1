#include "statement/transaction_record.h"

#include <cstdint>

#include "common/hresult.h"
#include "common/integer_parse.h"
#include "common/ole_date.h"

namespace kelvarn {

void CTransactionRecord::Clear() noexcept {
  sortCode_.Clear();
  accountNumber_.Clear();
  accountType_.Clear();
  transactionCode_.Clear();
  originatorSortCode_.Clear();
  originatorAccountNumber_.Clear();
  amount_ = 0.0;
  originatorName_.Clear();
  originatorReference_.Clear();
  accountName_.Clear();
  date_ = 0.0;
  processingDate_.Clear();
  reference_.Clear();
}

void CTransactionRecord::Decode(std::string_view line) {
  if (line.size() < kRecordLength) ThrowHresult(kInvalidArgument);
  std::size_t column = 0;
  auto next = [&](std::size_t width) {
    const std::string_view field = line.substr(column, width);
    column += width;
    return field;
  };
  sortCode_.Assign(next(6));
  accountNumber_.Assign(next(8));
  accountType_.Assign(next(1));
  transactionCode_.Assign(next(2));
  originatorSortCode_.Assign(next(6));
  originatorAccountNumber_.Assign(next(8));
  next(4);  // not kept
  // Read as a 64-bit value so that amounts beyond the signed 32-bit range keep their exact value
  // (eleven digits always fit a double exactly) instead of wrapping or saturating.
  const std::int64_t hundredths = ParseLeadingInteger(next(11));
  amount_ = static_cast<double>(hundredths) * 0.01;
  originatorName_.Assign(next(18));
  originatorReference_.Assign(next(18));
  accountName_.Assign(next(18));
  processingDate_.Assign(next(6));
  DecodeDate();
}

void CTransactionRecord::DecodeDate() {
  date_ = 0.0;
  const std::string_view field = processingDate_.View();
  const std::int64_t yearNumber = ParseLeadingInteger(field.substr(0, 3));
  const std::int64_t dayNumber = ParseLeadingInteger(field.size() > 3 ? field.substr(3, 3) : "");
  const bool leapYear = yearNumber % 4 == 0 && (yearNumber % 100 != 0 || yearNumber % 400 == 0);
  static constexpr int kMonthLengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

  // A day number of 0 or below, or beyond the year's length, names no day: the date stays 0
  // rather than letting the conversion roll it into a neighbouring month or year.
  if (dayNumber < 1) return;
  CivilDateTime civil;
  std::int64_t daysBefore = 0;
  for (int month = 1; month <= 12; ++month) {
    const int length = kMonthLengths[month - 1] + (month == 2 && leapYear ? 1 : 0);
    if (daysBefore + length >= dayNumber) {
      civil.month = month;
      civil.day = static_cast<int>(dayNumber - daysBefore);
      break;
    }
    daysBefore += length;
  }
  if (civil.month == 0) return;
  civil.year = static_cast<int>(yearNumber);  // three characters: -99 to 999
  double converted = 0.0;
  if (OleDateFromCivil(civil, converted)) date_ = converted;
}

bool CTransactionRecord::IsCredit() const noexcept {
  static const char* const kCreditCodes[] = {"90", "93", "95", "99"};
  for (const char* code : kCreditCodes) {
    if (transactionCode_.Equals(code)) return true;
  }
  return false;
}

NarrowText CTransactionRecord::Reference() {
  NarrowText reference;
  if (!originatorReference_.IsEmpty()) reference.Assign(originatorReference_);
  if (!accountName_.IsEmpty()) reference.Append(" ").Append(accountName_);
  reference_ = reference;
  return reference;
}

}  // namespace kelvarn
