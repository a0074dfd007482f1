#pragma once
// Which dates Kelvarn Bank processes payments on: weekends and the fixed bank holidays (New
// Year's Day, Good Friday, Easter Monday, first and last Mondays of May, last Monday of August,
// Christmas Day and the day after, with their substitutes) are not banking days.
// Dates are OLE dates (days since 30 December 1899, fraction = time of day).
#include <functional>

#include "common/ole_date.h"

namespace kelvarn {

enum class NonBankingReason { kNone = 0, kBankHoliday = 1, kWeekend = 2 };

struct BankingDayCheck {
  bool bankingDay = false;
  int daysToAdvance = 0;  // 0 for a banking day
  NonBankingReason reason = NonBankingReason::kNone;

  friend bool operator==(const BankingDayCheck& a, const BankingDayCheck& b) {
    return a.bankingDay == b.bankingDay && a.daysToAdvance == b.daysToAdvance && a.reason == b.reason;
  }
};

class BankingCalendar {
 public:
  // The local calendar fields of "now" (seconds resolution); tests replace it.
  using LocalClock = std::function<CivilDateTime()>;

  // Reads the real local clock.
  static CivilDateTime ReadLocalClock();

  // Installs the clock behind CurrentLocalDate; an empty function restores the real clock.
  // Returns the previous one.
  static LocalClock SetLocalClock(LocalClock clock);

  // The current local date and time, milliseconds dropped.
  static double CurrentLocalDate();

  // True for Monday to Friday.
  static bool IsWeekday(double date);

  // Easter Sunday of a Gregorian year, at midnight.
  static double EasterSunday(int year);

  // Judges the date's day (its time of day is ignored). Dates outside 1 January 100 ..
  // 31 December 9999, and not-a-number, are never banking days: advance 0, reason kNone.
  static BankingDayCheck CheckBankingDay(double date);

  // The date itself when it is a banking day, otherwise the next likely banking day at the same
  // time of day (at most two advances; the date unchanged if they do not reach one).
  static double NextBankingDay(double date);
};

}  // namespace kelvarn
