#include "payment/banking_calendar.h"

#include <cstdint>
#include <ctime>
#include <optional>
#include <utility>

namespace kelvarn {
namespace {

enum DayOfWeek { kSunday = 0, kMonday, kTuesday, kWednesday, kThursday, kFriday, kSaturday };

BankingCalendar::LocalClock& InstalledClock() {
  static BankingCalendar::LocalClock clock;
  return clock;
}

bool InOleRange(double date) { return date >= kMinOleDate && date <= kMaxOleDate; }

BankingDayCheck Banking() { return {true, 0, NonBankingReason::kNone}; }
BankingDayCheck Holiday(int advance) { return {false, advance, NonBankingReason::kBankHoliday}; }
BankingDayCheck Weekend(int advance) { return {false, advance, NonBankingReason::kWeekend}; }

BankingDayCheck GeneralRule(int dayOfWeek) {
  if (dayOfWeek == kSaturday) return Weekend(2);
  if (dayOfWeek == kSunday) return Weekend(1);
  return Banking();
}

// The table of fixed holidays and their substitutes; std::nullopt sends the day to the general
// rule.
std::optional<BankingDayCheck> HolidayRule(std::int64_t dayNumber, int year, int month, int day, int dayOfWeek) {
  const bool weekend = dayOfWeek == kSaturday || dayOfWeek == kSunday;
  switch (month) {
    case 1:
      if (day == 1) return dayOfWeek == kSunday ? Holiday(2) : dayOfWeek == kSaturday ? Holiday(3) : Holiday(1);
      if (day == 2 && weekend) return Holiday(2);
      if ((day == 2 || day == 3) && dayOfWeek == kMonday) return Holiday(1);
      return std::nullopt;
    case 3:
    case 4: {
      const auto easter = static_cast<std::int64_t>(BankingCalendar::EasterSunday(year));
      if (dayNumber == easter - 2) return Holiday(4);  // Good Friday
      if (dayNumber == easter + 1) return Holiday(1);  // Easter Monday
      return std::nullopt;
    }
    case 5:  // first and last Mondays of May
      if (dayOfWeek != kMonday) return std::nullopt;
      return (day <= 7 || day >= 25) ? Holiday(1) : Banking();
    case 8:  // last Monday of August
      if (dayOfWeek != kMonday) return std::nullopt;
      return day >= 25 ? Holiday(1) : Banking();
    case 12:
      switch (day) {
        case 25:
          if (dayOfWeek == kSunday) return Holiday(3);
          if (dayOfWeek >= kThursday) return Holiday(4);
          return Holiday(2);
        case 26:
          if (dayOfWeek == kSunday || dayOfWeek >= kFriday) return Holiday(3);
          if (dayOfWeek == kMonday) return Holiday(2);
          return Holiday(1);
        case 27:
          if (dayOfWeek == kSunday || dayOfWeek == kMonday || dayOfWeek == kSaturday) return Holiday(2);
          if (dayOfWeek == kTuesday) return Holiday(1);
          return Banking();
        case 28:
          if (dayOfWeek == kSunday) return Weekend(1);
          if (dayOfWeek == kMonday || dayOfWeek == kTuesday) return Holiday(1);
          if (dayOfWeek == kSaturday) return Weekend(2);
          return Banking();
        default:
          return std::nullopt;
      }
    default:
      return std::nullopt;
  }
}

}  // namespace

CivilDateTime BankingCalendar::ReadLocalClock() {
  std::tm fields{};
#ifdef _WIN32
  // 32-bit Windows' time_t is 32 bits wide and ends in January 2038: the 64-bit clock always.
  const __time64_t now = _time64(nullptr);
  _localtime64_s(&fields, &now);
#else
  const std::time_t now = std::time(nullptr);
  localtime_r(&now, &fields);
#endif
  CivilDateTime civil;
  civil.year = fields.tm_year + 1900;
  civil.month = fields.tm_mon + 1;
  civil.day = fields.tm_mday;
  civil.dayOfWeek = fields.tm_wday;
  civil.hour = fields.tm_hour;
  civil.minute = fields.tm_min;
  civil.second = fields.tm_sec > 59 ? 59 : fields.tm_sec;  // a leap second stays in its minute
  return civil;
}

BankingCalendar::LocalClock BankingCalendar::SetLocalClock(LocalClock clock) {
  return std::exchange(InstalledClock(), std::move(clock));
}

double BankingCalendar::CurrentLocalDate() {
  const LocalClock& clock = InstalledClock();
  const CivilDateTime now = clock ? clock() : ReadLocalClock();
  double date = 0.0;
  OleDateFromCivil(now, date);  // the clock's fields are always a valid date
  return date;
}

bool BankingCalendar::IsWeekday(double date) {
  if (!InOleRange(date)) return false;
  const int dayOfWeek = DayOfWeekFromOleDayNumber(static_cast<std::int64_t>(WholeDay(date)));
  return dayOfWeek >= kMonday && dayOfWeek <= kFriday;
}

double BankingCalendar::EasterSunday(int year) {
  // Knuth's Algorithm E (Gregorian computus), integer division truncating.
  const int golden = year % 19 + 1;
  const int century = year / 100 + 1;
  const int skippedLeapYears = 3 * century / 4 - 12;
  const int moonCorrection = (8 * century + 5) / 25 - 5;
  const int sunday = 5 * year / 4 - skippedLeapYears - 10;
  int epact = (11 * golden + 20 + moonCorrection - skippedLeapYears) % 30;
  if (epact < 0) epact += 30;
  if ((epact == 25 && golden > 11) || epact == 24) ++epact;
  int fullMoon = 44 - epact;
  if (fullMoon < 21) fullMoon += 30;
  const int day = fullMoon + 7 - (sunday + fullMoon) % 7;
  if (day > 31) return static_cast<double>(OleDayNumberFromCivil(year, 4, day - 31));
  return static_cast<double>(OleDayNumberFromCivil(year, 3, day));
}

BankingDayCheck BankingCalendar::CheckBankingDay(double date) {
  if (!InOleRange(date)) return {false, 0, NonBankingReason::kNone};
  const auto dayNumber = static_cast<std::int64_t>(WholeDay(date));
  int year = 0, month = 0, day = 0;
  CivilFromOleDayNumber(dayNumber, year, month, day);
  const int dayOfWeek = DayOfWeekFromOleDayNumber(dayNumber);
  if (const auto holiday = HolidayRule(dayNumber, year, month, day, dayOfWeek)) return *holiday;
  return GeneralRule(dayOfWeek);
}

double BankingCalendar::NextBankingDay(double date) {
  const BankingDayCheck first = CheckBankingDay(date);
  if (first.bankingDay) return date;
  const double once = date + first.daysToAdvance;
  const BankingDayCheck second = CheckBankingDay(once);
  if (second.bankingDay) return once;
  const double twice = once + second.daysToAdvance;
  if (CheckBankingDay(twice).bankingDay) return twice;
  return date;
}

}  // namespace kelvarn
