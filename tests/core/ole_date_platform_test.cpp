// Our OLE date arithmetic against the platform's own conversions (Windows builds only).
#ifdef _WIN32

#include <windows.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "common/ole_date.h"

namespace kelvarn {
namespace {

TEST(OleDatePlatform, EveryDayMatchesVariantTimeToSystemTime) {
  std::int64_t compared = 0;
  for (std::int64_t dayNumber = static_cast<std::int64_t>(kMinOleDate);
       dayNumber <= static_cast<std::int64_t>(kMaxOleDate); ++dayNumber) {
    const double value = static_cast<double>(dayNumber);
    SYSTEMTIME platform;
    CivilDateTime ours;
    const bool platformOk = VariantTimeToSystemTime(value, &platform) != 0;
    const bool oursOk = CivilFromOleDate(value, ours);
    if (!platformOk || !oursOk || platform.wYear != ours.year || platform.wMonth != ours.month ||
        platform.wDay != ours.day || platform.wDayOfWeek != ours.dayOfWeek || platform.wHour != 0 || ours.hour != 0) {
      FAIL() << "day " << dayNumber << ": platform " << platformOk << ' ' << platform.wYear << '-' << platform.wMonth
             << '-' << platform.wDay << " dow " << platform.wDayOfWeek << ", ours " << oursOk << ' ' << ours.year << '-'
             << ours.month << '-' << ours.day << " dow " << ours.dayOfWeek;
    }
    ++compared;
  }
  EXPECT_EQ(compared, 2958465 + 657434 + 1);
}

TEST(OleDatePlatform, TimesOfDayMatchVariantTimeToSystemTime) {
  const double values[] = {
      39205.5,    39205.25,   39205.999, -1.25, -0.5, -700.75, 36526.0 + 1.6 / 86400, 36526.0 + 0.4 / 86400,
      12345.6789, -12345.6789};
  for (double value : values) {
    SYSTEMTIME platform;
    CivilDateTime ours;
    ASSERT_TRUE(VariantTimeToSystemTime(value, &platform)) << value;
    ASSERT_TRUE(CivilFromOleDate(value, ours)) << value;
    EXPECT_EQ(platform.wYear, ours.year) << value;
    EXPECT_EQ(platform.wMonth, ours.month) << value;
    EXPECT_EQ(platform.wDay, ours.day) << value;
    EXPECT_EQ(platform.wDayOfWeek, ours.dayOfWeek) << value;
    EXPECT_EQ(platform.wHour, ours.hour) << value;
    EXPECT_EQ(platform.wMinute, ours.minute) << value;
    EXPECT_EQ(platform.wSecond, ours.second) << value;
  }
}

TEST(OleDatePlatform, FourDigitYearsMatchSystemTimeToVariantTime) {
  int compared = 0;
  for (int year = 1000; year <= 9999; ++year) {
    for (int month = 1; month <= 12; ++month) {
      for (int day = 1; day <= 31; ++day) {
        SYSTEMTIME platform;
        std::memset(&platform, 0, sizeof platform);
        platform.wYear = static_cast<WORD>(year);
        platform.wMonth = static_cast<WORD>(month);
        platform.wDay = static_cast<WORD>(day);
        // Spread the times of day over the run so that the time arithmetic is compared too.
        platform.wHour = static_cast<WORD>((year + day) % 24);
        platform.wMinute = static_cast<WORD>((year * 7 + month) % 60);
        platform.wSecond = static_cast<WORD>((day * 13 + month) % 60);
        CivilDateTime civil;
        civil.year = year;
        civil.month = month;
        civil.day = day;
        civil.hour = platform.wHour;
        civil.minute = platform.wMinute;
        civil.second = platform.wSecond;
        double ours = 0.0;
        if (!OleDateFromCivil(civil, ours)) continue;  // a day the month does not have
        double expected = 0.0;
        ASSERT_TRUE(SystemTimeToVariantTime(&platform, &expected)) << year << '-' << month << '-' << day;
        if (ours != expected) {
          FAIL() << year << '-' << month << '-' << day << ": ours " << ours << ", platform " << expected;
        }
        ++compared;
      }
    }
  }
  EXPECT_EQ(compared, 3287182);  // the days of the years 1000 to 9999
}

}  // namespace
}  // namespace kelvarn

#endif  // _WIN32
