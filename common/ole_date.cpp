#include "common/ole_date.h"

#include <cmath>

namespace kelvarn {
namespace {

// Day number of 1 January 1970 in the count below, less that of 30 December 1899.
constexpr std::int64_t kOleEpochFromUnixEpoch = 25569;
constexpr std::int64_t kSecondsPerDay = 86400;

bool IsLeapYear(int year) noexcept { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int DaysInMonth(int year, int month) noexcept {
  static constexpr int kLengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kLengths[month - 1];
}

}  // namespace

// Civil date <-> day count of the proleptic Gregorian calendar in 400-year eras (H. Hinnant).
std::int64_t OleDayNumberFromCivil(int year, int month, int day) noexcept {
  const std::int64_t y = static_cast<std::int64_t>(year) - (month <= 2 ? 1 : 0);
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const std::int64_t yearOfEra = y - era * 400;
  const std::int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468 + kOleEpochFromUnixEpoch;
}

void CivilFromOleDayNumber(std::int64_t dayNumber, int& year, int& month, int& day) noexcept {
  const std::int64_t z = dayNumber - kOleEpochFromUnixEpoch + 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const std::int64_t dayOfEra = z - era * 146097;
  const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const std::int64_t monthIndex = (5 * dayOfYear + 2) / 153;
  day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
  month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
  year = static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
}

int DayOfWeekFromOleDayNumber(std::int64_t dayNumber) noexcept {
  // Day 0, 30 December 1899, was a Saturday.
  const std::int64_t remainder = (dayNumber + 6) % 7;
  return static_cast<int>(remainder < 0 ? remainder + 7 : remainder);
}

double WholeDay(double oleDate) noexcept { return std::floor(oleDate); }

int ApplyTwoDigitYearWindow(int year) noexcept {
  if (year >= 0 && year <= 29) return year + 2000;
  if (year >= 30 && year <= 99) return year + 1900;
  return year;
}

bool OleDateFromCivil(const CivilDateTime& civil, double& oleDate) noexcept {
  const int year = ApplyTwoDigitYearWindow(civil.year);
  // Fields out of range are refused rather than rolled into the neighbouring month or year.
  if (year < 100 || year > 9999) return false;
  if (civil.month < 1 || civil.month > 12) return false;
  if (civil.day < 1 || civil.day > DaysInMonth(year, civil.month)) return false;
  if (civil.hour < 0 || civil.hour > 23 || civil.minute < 0 || civil.minute > 59 || civil.second < 0 ||
      civil.second > 59) {
    return false;
  }
  double value = static_cast<double>(OleDayNumberFromCivil(year, civil.month, civil.day));
  // Before the epoch the time of day moves the value away from zero (-1.25 is 29 December
  // 1899, 06:00); the terms are added in the platform's order so that the doubles agree.
  if (civil.hour != 0 || civil.minute != 0 || civil.second != 0) {
    const double sign = value < 0.0 ? -1.0 : 1.0;
    value += civil.hour / 24.0 * sign;
    value += civil.minute / 1440.0 * sign;
    value += civil.second / 86400.0 * sign;
  }
  oleDate = value;
  return true;
}

bool CivilFromOleDate(double oleDate, CivilDateTime& civil) noexcept {
  if (!(oleDate > kMinOleDate - 1.0 && oleDate < std::floor(kMaxOleDate) + 1.0)) return false;
  // The whole part names the day (towards zero); the fraction's size is the time of that day.
  const double dayPart = std::trunc(oleDate);
  std::int64_t dayNumber = static_cast<std::int64_t>(dayPart);
  std::int64_t seconds = static_cast<std::int64_t>(std::floor(std::fabs(oleDate - dayPart) * kSecondsPerDay + 0.5));
  if (seconds >= kSecondsPerDay) {
    // Rounded up to the next midnight; the last day of the range keeps its last second.
    if (dayNumber == static_cast<std::int64_t>(kMaxOleDate)) {
      seconds = kSecondsPerDay - 1;
    } else {
      seconds = 0;
      ++dayNumber;
    }
  }
  CivilFromOleDayNumber(dayNumber, civil.year, civil.month, civil.day);
  civil.dayOfWeek = DayOfWeekFromOleDayNumber(dayNumber);
  civil.hour = static_cast<int>(seconds / 3600);
  civil.minute = static_cast<int>(seconds / 60 % 60);
  civil.second = static_cast<int>(seconds % 60);
  return true;
}

}  // namespace kelvarn
