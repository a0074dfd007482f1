#include "payment/banking_calendar.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ctime>
#include <limits>

namespace kelvarn {
namespace {

double Date(int year, int month, int day) { return static_cast<double>(OleDayNumberFromCivil(year, month, day)); }

// Sakamoto's day of the week (0 = Sunday), independent of the code under test.
int Weekday(int year, int month, int day) {
  static const int offsets[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
  if (month < 3) year -= 1;
  return (year + year / 4 - year / 100 + year / 400 + offsets[month - 1] + day) % 7;
}

enum Weekdays { Sun, Mon, Tue, Wed, Thu, Fri, Sat };

constexpr BankingDayCheck kBanking{true, 0, NonBankingReason::kNone};
constexpr BankingDayCheck Holiday(int advance) { return {false, advance, NonBankingReason::kBankHoliday}; }
constexpr BankingDayCheck Weekend(int advance) { return {false, advance, NonBankingReason::kWeekend}; }

struct DayCase {
  int year, month, day, weekday;
  BankingDayCheck expected;
};

// Every row of the rule table, the general rule inside the ruled months, and ordinary days.
const DayCase kDayCases[] = {
    {2006, 1, 1, Sun, Holiday(2)},   {2011, 1, 1, Sat, Holiday(3)},   {2008, 1, 1, Tue, Holiday(1)},
    {2010, 1, 1, Fri, Holiday(1)},   {2007, 1, 1, Mon, Holiday(1)},   {2010, 1, 2, Sat, Holiday(2)},
    {2011, 1, 2, Sun, Holiday(2)},   {2006, 1, 2, Mon, Holiday(1)},   {2011, 1, 3, Mon, Holiday(1)},
    {2008, 1, 2, Wed, kBanking},     {2009, 1, 2, Fri, kBanking},     {2010, 1, 3, Sun, Weekend(1)},
    {2009, 1, 3, Sat, Weekend(2)},   {2010, 1, 4, Mon, kBanking},     {2008, 1, 19, Sat, Weekend(2)},
    {2008, 3, 21, Fri, Holiday(4)},  {2008, 3, 24, Mon, Holiday(1)},  {2008, 3, 20, Thu, kBanking},
    {2008, 3, 25, Tue, kBanking},    {2008, 3, 22, Sat, Weekend(2)},  {2008, 3, 23, Sun, Weekend(1)},
    {2009, 4, 10, Fri, Holiday(4)},  {2009, 4, 13, Mon, Holiday(1)},  {2008, 4, 4, Fri, kBanking},
    {2008, 3, 17, Mon, kBanking},    {2008, 5, 5, Mon, Holiday(1)},   {2008, 5, 26, Mon, Holiday(1)},
    {2008, 5, 12, Mon, kBanking},    {2008, 5, 19, Mon, kBanking},    {2008, 5, 1, Thu, kBanking},
    {2008, 5, 31, Sat, Weekend(2)},  {2008, 5, 25, Sun, Weekend(1)},  {2008, 8, 25, Mon, Holiday(1)},
    {2008, 8, 18, Mon, kBanking},    {2009, 8, 31, Mon, Holiday(1)},  {2009, 8, 24, Mon, kBanking},
    {2008, 8, 31, Sun, Weekend(1)},  {2008, 8, 26, Tue, kBanking},    {2011, 12, 25, Sun, Holiday(3)},
    {2008, 12, 25, Thu, Holiday(4)}, {2009, 12, 25, Fri, Holiday(4)}, {2010, 12, 25, Sat, Holiday(4)},
    {2006, 12, 25, Mon, Holiday(2)}, {2007, 12, 25, Tue, Holiday(2)}, {2013, 12, 25, Wed, Holiday(2)},
    {2010, 12, 26, Sun, Holiday(3)}, {2008, 12, 26, Fri, Holiday(3)}, {2009, 12, 26, Sat, Holiday(3)},
    {2011, 12, 26, Mon, Holiday(2)}, {2006, 12, 26, Tue, Holiday(1)}, {2007, 12, 26, Wed, Holiday(1)},
    {2013, 12, 26, Thu, Holiday(1)}, {2009, 12, 27, Sun, Holiday(2)}, {2010, 12, 27, Mon, Holiday(2)},
    {2008, 12, 27, Sat, Holiday(2)}, {2011, 12, 27, Tue, Holiday(1)}, {2006, 12, 27, Wed, kBanking},
    {2007, 12, 27, Thu, kBanking},   {2013, 12, 27, Fri, kBanking},   {2008, 12, 28, Sun, Weekend(1)},
    {2009, 12, 28, Mon, Holiday(1)}, {2010, 12, 28, Tue, Holiday(1)}, {2013, 12, 28, Sat, Weekend(2)},
    {2011, 12, 28, Wed, kBanking},   {2006, 12, 28, Thu, kBanking},   {2007, 12, 28, Fri, kBanking},
    {2011, 12, 24, Sat, Weekend(2)}, {2008, 12, 29, Mon, kBanking},   {2010, 12, 31, Fri, kBanking},
    {2008, 2, 29, Fri, kBanking},    {2008, 7, 12, Sat, Weekend(2)},  {2008, 7, 14, Mon, kBanking},
    {2008, 10, 27, Mon, kBanking},   {2008, 11, 2, Sun, Weekend(1)},  {2008, 6, 2, Mon, kBanking},
};

TEST(BankingCalendar, RuleTable) {
  for (const DayCase& dayCase : kDayCases) {
    const double date = Date(dayCase.year, dayCase.month, dayCase.day);
    const std::string name =
        std::to_string(dayCase.year) + "-" + std::to_string(dayCase.month) + "-" + std::to_string(dayCase.day);
    ASSERT_EQ(Weekday(dayCase.year, dayCase.month, dayCase.day), dayCase.weekday) << "fixture " << name;
    const BankingDayCheck check = BankingCalendar::CheckBankingDay(date);
    EXPECT_TRUE(check == dayCase.expected)
        << name << ": got " << check.bankingDay << "/" << check.daysToAdvance << "/" << static_cast<int>(check.reason);
    // The time of day never matters.
    EXPECT_TRUE(BankingCalendar::CheckBankingDay(date + 0.99999) == dayCase.expected) << name << " late in the day";
    EXPECT_EQ(BankingCalendar::IsWeekday(date + 0.5), dayCase.weekday >= Mon && dayCase.weekday <= Fri) << name;
  }
}

TEST(BankingCalendar, NextBankingDay) {
  const struct {
    double date;
    double expected;
  } cases[] = {
      {Date(2010, 1, 1), Date(2010, 1, 4)},     {Date(2011, 1, 1), Date(2011, 1, 4)},
      {Date(2008, 12, 25), Date(2008, 12, 29)}, {Date(2010, 12, 25), Date(2010, 12, 29)},
      {Date(2011, 12, 24), Date(2011, 12, 28)}, {Date(2008, 3, 21), Date(2008, 3, 25)},
      {Date(2008, 3, 22), Date(2008, 3, 25)},   {Date(2008, 3, 8), Date(2008, 3, 10)},
      {Date(2008, 3, 5), Date(2008, 3, 5)},     {Date(2008, 12, 27), Date(2008, 12, 29)},
  };
  for (const auto& dayCase : cases) {
    EXPECT_EQ(BankingCalendar::NextBankingDay(dayCase.date), dayCase.expected) << dayCase.date;
  }
  // The time of day is kept: 25 December 2008 at 14:30 gives 29 December at 14:30.
  const double halfPastTwo = 14.5 / 24;
  EXPECT_DOUBLE_EQ(BankingCalendar::NextBankingDay(Date(2008, 12, 25) + halfPastTwo), Date(2008, 12, 29) + halfPastTwo);
  EXPECT_DOUBLE_EQ(BankingCalendar::NextBankingDay(Date(2008, 3, 5) + halfPastTwo), Date(2008, 3, 5) + halfPastTwo);
}

// The advances always lead to the first banking day at or after the date, never past one.
TEST(BankingCalendar, NextBankingDayIsTheFirstBankingDayOnOrAfter) {
  for (double date = Date(1900, 1, 1); date < Date(2200, 1, 1); ++date) {
    double scanned = date;
    while (!BankingCalendar::CheckBankingDay(scanned).bankingDay) ++scanned;
    ASSERT_EQ(BankingCalendar::NextBankingDay(date), scanned) << "day " << date;
  }
}

TEST(BankingCalendar, DatesOutsideTheCalendar) {
  const double outside[] = {std::numeric_limits<double>::quiet_NaN(),
                            std::numeric_limits<double>::infinity(),
                            1e300,
                            -1e300,
                            kMinOleDate - 1,
                            kMaxOleDate + 1};
  for (const double date : outside) {
    EXPECT_TRUE(BankingCalendar::CheckBankingDay(date) == (BankingDayCheck{false, 0, NonBankingReason::kNone})) << date;
    EXPECT_FALSE(BankingCalendar::IsWeekday(date)) << date;
  }
  EXPECT_EQ(BankingCalendar::NextBankingDay(1e300), 1e300);
}

TEST(BankingCalendar, EasterSundayKnownYears) {
  EXPECT_EQ(BankingCalendar::EasterSunday(2008), Date(2008, 3, 23));
  EXPECT_EQ(BankingCalendar::EasterSunday(2009), Date(2009, 4, 12));
  EXPECT_EQ(BankingCalendar::EasterSunday(2011), Date(2011, 4, 24));
  EXPECT_EQ(BankingCalendar::EasterSunday(2285), Date(2285, 3, 22));  // earliest possible
  EXPECT_EQ(BankingCalendar::EasterSunday(2038), Date(2038, 4, 25));  // latest possible
}

// The anonymous Gregorian algorithm (Meeus/Jones/Butcher), independent of Knuth's form.
TEST(BankingCalendar, EasterSundayAgreesWithTheAnonymousAlgorithm) {
  for (int year = 1583; year <= 4099; ++year) {
    const int a = year % 19, b = year / 100, c = year % 100, d = b / 4, e = b % 4;
    const int f = (b + 8) / 25, g = (b - f + 1) / 3, h = (19 * a + b - d - g + 15) % 30;
    const int i = c / 4, k = c % 4, l = (32 + 2 * e + 2 * i - h - k) % 7, m = (a + 11 * h + 22 * l) / 451;
    const int month = (h + l - 7 * m + 114) / 31, day = (h + l - 7 * m + 114) % 31 + 1;
    ASSERT_EQ(BankingCalendar::EasterSunday(year), Date(year, month, day)) << year;
  }
}

struct ClockGuard {
  ~ClockGuard() { BankingCalendar::SetLocalClock(nullptr); }
};

TEST(BankingCalendar, CurrentLocalDateFromTheInstalledClock) {
  ClockGuard guard;
  BankingCalendar::SetLocalClock([] {
    CivilDateTime now;
    now.year = 2008;
    now.month = 12;
    now.day = 25;
    now.hour = 14;
    now.minute = 30;
    now.second = 15;
    return now;
  });
  EXPECT_DOUBLE_EQ(BankingCalendar::CurrentLocalDate(), Date(2008, 12, 25) + (14 * 3600 + 30 * 60 + 15) / 86400.0);
}

TEST(BankingCalendar, CurrentLocalDateReadsTheLocalClock) {
  const std::time_t before = std::time(nullptr);
  const double now = BankingCalendar::CurrentLocalDate();
  const std::time_t after = std::time(nullptr);
  std::tm fields{};
#ifdef _WIN32
  localtime_s(&fields, &before);
#else
  localtime_r(&before, &fields);
#endif
  const double expected = Date(fields.tm_year + 1900, fields.tm_mon + 1, fields.tm_mday) +
                          (fields.tm_hour * 3600 + fields.tm_min * 60 + fields.tm_sec) / 86400.0;
  const double seconds = (now - expected) * 86400;
  EXPECT_GE(seconds, -0.5);
  EXPECT_LE(seconds, static_cast<double>(after - before) + 0.5);
  // Whole seconds: the milliseconds are dropped.
  const double secondOfDay = (now - std::floor(now)) * 86400;
  EXPECT_NEAR(secondOfDay, std::round(secondOfDay), 1e-3);
}

}  // namespace
}  // namespace kelvarn
