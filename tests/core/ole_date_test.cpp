#include "common/ole_date.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>

namespace kelvarn {
namespace {

std::string Describe(const CivilDateTime& civil) {
  std::ostringstream out;
  out << civil.year << '-' << civil.month << '-' << civil.day << " dow " << civil.dayOfWeek << ' ' << civil.hour << ':'
      << civil.minute << ':' << civil.second;
  return out.str();
}

CivilDateTime Civil(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
  CivilDateTime civil;
  civil.year = year;
  civil.month = month;
  civil.day = day;
  civil.hour = hour;
  civil.minute = minute;
  civil.second = second;
  return civil;
}

TEST(OleDate, KnownDayNumbers) {
  struct Case {
    int year, month, day;
    std::int64_t dayNumber;
    int dayOfWeek;
  };
  const Case cases[] = {
      {1899, 12, 30, 0, 6},       {1899, 12, 29, -1, 5},     {1900, 1, 1, 2, 1},        {1900, 3, 1, 61, 4},
      {2000, 1, 1, 36526, 6},     {2000, 2, 29, 36585, 2},   {2007, 5, 3, 39205, 4},    {100, 1, 1, -657434, 5},
      {9999, 12, 31, 2958465, 5}, {1600, 2, 29, -109512, 2}, {1582, 10, 4, -115869, 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(OleDayNumberFromCivil(c.year, c.month, c.day), c.dayNumber) << c.year << '-' << c.month << '-' << c.day;
    int year = 0, month = 0, day = 0;
    CivilFromOleDayNumber(c.dayNumber, year, month, day);
    EXPECT_EQ(Describe(Civil(year, month, day)), Describe(Civil(c.year, c.month, c.day)));
    EXPECT_EQ(DayOfWeekFromOleDayNumber(c.dayNumber), c.dayOfWeek) << c.dayNumber;
  }
}

TEST(OleDate, DayNumbersRoundTripOverTheWholeRange) {
  int expectedYear = 100, expectedMonth = 1, expectedDay = 1;
  int expectedDayOfWeek = 5;  // 1 January 100 was a Friday in the proleptic calendar
  for (std::int64_t dayNumber = -657434; dayNumber <= 2958465; ++dayNumber) {
    int year = 0, month = 0, day = 0;
    CivilFromOleDayNumber(dayNumber, year, month, day);
    if (year != expectedYear || month != expectedMonth || day != expectedDay) {
      FAIL() << "day " << dayNumber << " gave " << year << '-' << month << '-' << day;
    }
    if (OleDayNumberFromCivil(year, month, day) != dayNumber ||
        DayOfWeekFromOleDayNumber(dayNumber) != expectedDayOfWeek) {
      FAIL() << "day " << dayNumber << " does not round-trip or has the wrong day of week";
    }
    // Step the expected calendar on by one day, independently of the code under test.
    static const int kLengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = expectedYear % 4 == 0 && (expectedYear % 100 != 0 || expectedYear % 400 == 0);
    const int monthLength = expectedMonth == 2 && leap ? 29 : kLengths[expectedMonth - 1];
    expectedDayOfWeek = (expectedDayOfWeek + 1) % 7;
    if (++expectedDay > monthLength) {
      expectedDay = 1;
      if (++expectedMonth > 12) {
        expectedMonth = 1;
        ++expectedYear;
      }
    }
  }
  EXPECT_EQ(expectedYear, 10000);
}

TEST(OleDate, WholeDayRoundsDown) {
  EXPECT_EQ(WholeDay(39205.75), 39205.0);
  EXPECT_EQ(WholeDay(39205.0), 39205.0);
  EXPECT_EQ(WholeDay(-1.25), -2.0);
  EXPECT_EQ(WholeDay(0.0), 0.0);
}

TEST(OleDate, TwoDigitYearWindow) {
  struct Case {
    int year, expected;
  };
  const Case cases[] = {{0, 2000}, {7, 2007}, {29, 2029}, {30, 1930}, {99, 1999}, {100, 100}, {1999, 1999}, {-1, -1}};
  for (const Case& c : cases) EXPECT_EQ(ApplyTwoDigitYearWindow(c.year), c.expected) << c.year;
}

TEST(OleDate, FromCivilFields) {
  struct Case {
    const char* name;
    CivilDateTime civil;
    double expected;
  };
  const Case cases[] = {
      {"3 May 2007", Civil(2007, 5, 3), 39205.0},
      {"two-digit 07", Civil(7, 5, 3), 39205.0},
      {"two-digit 00 leap day", Civil(0, 2, 29), 36585.0},
      {"two-digit 29", Civil(29, 12, 31), 47483.0},
      {"two-digit 30", Civil(30, 1, 1), 10959.0},
      {"noon", Civil(2000, 1, 1, 12), 36526.5},
      {"06:00 before the epoch", Civil(1899, 12, 29, 6), -1.25},
      {"18:00 on the epoch day", Civil(1899, 12, 30, 18), 0.75},
      {"first day", Civil(100, 1, 1), -657434.0},
      {"last day", Civil(9999, 12, 31), 2958465.0},
  };
  for (const Case& c : cases) {
    double value = -99.0;
    ASSERT_TRUE(OleDateFromCivil(c.civil, value)) << c.name;
    EXPECT_DOUBLE_EQ(value, c.expected) << c.name;
  }
}

TEST(OleDate, FromCivilRefusesFieldsOutOfRange) {
  struct Case {
    const char* name;
    CivilDateTime civil;
  };
  const Case cases[] = {
      {"month 0", Civil(2007, 0, 3)},
      {"month 13", Civil(2007, 13, 3)},
      {"day 0", Civil(2007, 5, 0)},
      {"day 32", Civil(2007, 1, 32)},
      {"31 April", Civil(2007, 4, 31)},
      {"29 February 2001", Civil(1, 2, 29)},
      {"29 February 1900", Civil(1900, 2, 29)},
      {"year 10000", Civil(10000, 1, 1)},
      {"negative year", Civil(-1, 1, 1)},
      {"hour 24", Civil(2007, 5, 3, 24)},
      {"minute 60", Civil(2007, 5, 3, 0, 60)},
      {"second 60", Civil(2007, 5, 3, 0, 0, 60)},
      {"negative hour", Civil(2007, 5, 3, -1)},
  };
  for (const Case& c : cases) {
    double value = 123.0;
    EXPECT_FALSE(OleDateFromCivil(c.civil, value)) << c.name;
    EXPECT_EQ(value, 123.0) << c.name;
  }
}

TEST(OleDate, ToCivilFields) {
  struct Case {
    double value;
    const char* expected;
  };
  const Case cases[] = {
      {39205.0, "2007-5-3 dow 4 0:0:0"},
      {39205.5, "2007-5-3 dow 4 12:0:0"},
      {-1.25, "1899-12-29 dow 5 6:0:0"},
      {-0.5, "1899-12-30 dow 6 12:0:0"},
      {36526.0 + 0.4 / 86400, "2000-1-1 dow 6 0:0:0"},      // rounds down
      {36526.0 + 1.6 / 86400, "2000-1-1 dow 6 0:0:2"},      // rounds up
      {36526.0 + 86399.7 / 86400, "2000-1-2 dow 0 0:0:0"},  // rounds into the next day
      {-1.0 - 86399.7 / 86400, "1899-12-30 dow 6 0:0:0"},   // the same before the epoch
      {kMinOleDate, "100-1-1 dow 5 0:0:0"},
      {kMaxOleDate, "9999-12-31 dow 5 23:59:59"},
  };
  for (const Case& c : cases) {
    CivilDateTime civil;
    ASSERT_TRUE(CivilFromOleDate(c.value, civil)) << c.value;
    EXPECT_EQ(Describe(civil), c.expected) << c.value;
  }
}

TEST(OleDate, ToCivilRefusesOutsideTheRange) {
  CivilDateTime civil;
  EXPECT_FALSE(CivilFromOleDate(-657435.0, civil));
  EXPECT_FALSE(CivilFromOleDate(2958466.0, civil));
  EXPECT_FALSE(CivilFromOleDate(1e300, civil));
  EXPECT_FALSE(CivilFromOleDate(-1e300, civil));
}

}  // namespace
}  // namespace kelvarn
