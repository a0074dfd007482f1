#pragma once
// OLE dates (days since 30 December 1899, fraction = time of day) computed by our own code, with
// the same results as the platform's VariantTimeToSystemTime / SystemTimeToVariantTime.
#include <cstdint>

namespace kelvarn {

struct CivilDateTime {
  int year = 0;
  int month = 0;      // 1..12
  int day = 0;        // 1..31
  int dayOfWeek = 0;  // 0 = Sunday .. 6 = Saturday (filled by the conversions from OLE dates)
  int hour = 0;
  int minute = 0;
  int second = 0;
};

inline constexpr double kMinOleDate = -657434.0;         // 1 January 100
inline constexpr double kMaxOleDate = 2958465.99999999;  // 31 December 9999, end of day

// Days of the proleptic Gregorian calendar counted from 30 December 1899 (the OLE epoch).
std::int64_t OleDayNumberFromCivil(int year, int month, int day) noexcept;
void CivilFromOleDayNumber(std::int64_t dayNumber, int& year, int& month, int& day) noexcept;
int DayOfWeekFromOleDayNumber(std::int64_t dayNumber) noexcept;

// Round down to the whole day (floor): "drop the time of day".
double WholeDay(double oleDate) noexcept;

// The platform's default two-digit-year window: 0-29 -> 2000-2029, 30-99 -> 1930-1999.
int ApplyTwoDigitYearWindow(int year) noexcept;

// As SystemTimeToVariantTime: fields to OLE date (years below 100 through the window above).
// False for fields the platform refuses.
bool OleDateFromCivil(const CivilDateTime& civil, double& oleDate) noexcept;

// As VariantTimeToSystemTime: OLE date to fields, time rounded to the second as the platform
// does. False outside 1 January 100 .. 31 December 9999.
bool CivilFromOleDate(double oleDate, CivilDateTime& civil) noexcept;

}  // namespace kelvarn
