#include "statement/transaction_record.h"

#include <cstdint>
#include <cstring>

#include "common/hresult.h"
#include "common/integer_parse.h"
#include "common/ole_date.h"

namespace kelvarn {

void CTransactionRecord::Clear() noexcept {
  decoded_ = false;
  amount_ = 0.0;
  date_ = 0.0;
  reference_.Clear();
}

std::string_view CTransactionRecord::FieldView(Columns columns) const noexcept {
  if (!decoded_) return std::string_view();
  return std::string_view(line_ + columns.start, columns.width);
}

void CTransactionRecord::Decode(std::string_view line) {
  if (line.size() < kRecordLength) ThrowHresult(kInvalidArgument);
  std::memcpy(line_, line.data(), kRecordLength);
  decoded_ = true;
  reference_.Clear();
  // Read as a 64-bit value so that amounts beyond the signed 32-bit range keep their exact value
  // (eleven digits always fit a double exactly) instead of wrapping or saturating. Dividing that
  // exact value by 100 gives the double nearest the decimal amount (1999 gives 19.99); multiplying
  // by 0.01, itself inexact, would not (19.990000000000002).
  const std::int64_t hundredths = ParseLeadingInteger(FieldView(kAmount));
  amount_ = static_cast<double>(hundredths) / 100.0;
  DecodeDate();
}

void CTransactionRecord::DecodeDate() {
  const std::string_view field = FieldView(kProcessingDate);
  if (hasLastDate_ && field == std::string_view(lastDateField_, sizeof lastDateField_)) {
    date_ = lastDate_;
    return;
  }
  date_ = DateFromProcessingDate(field);
  std::memcpy(lastDateField_, field.data(), sizeof lastDateField_);
  lastDate_ = date_;
  hasLastDate_ = true;
}

double CTransactionRecord::DateFromProcessingDate(std::string_view field) noexcept {
  const std::int64_t yearNumber = ParseLeadingInteger(field.substr(0, 3));
  const std::int64_t dayNumber = ParseLeadingInteger(field.substr(3, 3));
  const bool leapYear = yearNumber % 4 == 0 && (yearNumber % 100 != 0 || yearNumber % 400 == 0);
  static constexpr int kMonthLengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

  // A day number of 0 or below, or beyond the year's length, names no day: the date stays 0
  // rather than letting the conversion roll it into a neighbouring month or year.
  if (dayNumber < 1) return 0.0;
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
  if (civil.month == 0) return 0.0;
  civil.year = static_cast<int>(yearNumber);  // three characters: -99 to 999
  double converted = 0.0;
  return OleDateFromCivil(civil, converted) ? converted : 0.0;
}

bool CTransactionRecord::IsCredit() const noexcept {
  static constexpr std::string_view kCreditCodes[] = {"90", "93", "95", "99"};
  const std::string_view code = FieldView(kTransactionCode);
  for (const std::string_view credit : kCreditCodes) {
    if (code == credit) return true;
  }
  return false;
}

NarrowText CTransactionRecord::Reference() {
  NarrowText reference;
  const std::string_view originatorReference = FieldView(kOriginatorReference);
  const std::string_view accountName = FieldView(kAccountName);
  if (!originatorReference.empty()) reference.Assign(originatorReference);
  if (!accountName.empty()) reference.Append(" ").Append(accountName);
  reference_ = reference;
  return reference;
}

}  // namespace kelvarn
