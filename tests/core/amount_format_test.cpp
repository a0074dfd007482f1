#include "payment/amount_format.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>

namespace kelvarn {
namespace {

struct AmountCase {
  double value;
  const char* text;
};

// Values a glibc "%.2f" prints the same way (none is an exact tie), plus the exact ties, which
// round away from zero, and the values that have no amount form.
const AmountCase kAmountCases[] = {
    {0.0, "0.00"},
    {-0.0, "-0.00"},
    {1234.5, "1234.50"},
    {0.004, "0.00"},
    {-0.004, "-0.00"},
    {0.005, "0.01"},
    {2.675, "2.67"},
    {-2.675, "-2.67"},
    {1.115, "1.11"},
    {0.015, "0.01"},
    {0.045, "0.04"},
    {1.005, "1.00"},
    {0.285, "0.28"},
    {0.995, "0.99"},
    {123456789.995, "123456790.00"},
    {1e-300, "0.00"},
    {5e-324, "0.00"},
    {DBL_MIN, "0.00"},
    {9e16, "90000000000000000.00"},
    {1e22, "10000000000000000000000.00"},
    {9223372036854775808.0, "9223372036854775808.00"},
    {4503599627370495.5, "4503599627370495.50"},
    {1e300,
     "1000000000000000052504760255204420248704468581108159154915854115511802457988908195786371375080447864043704443"
     "832883878176942523235360430575644792184786706982848387200926575803737830233794788090059368953234970799945081"
     "119038967640880074652742780142494579258788820056842838115669472196386865459400540160.00"},
    {-1e300,
     "-1000000000000000052504760255204420248704468581108159154915854115511802457988908195786371375080447864043704443"
     "832883878176942523235360430575644792184786706982848387200926575803737830233794788090059368953234970799945081"
     "119038967640880074652742780142494579258788820056842838115669472196386865459400540160.00"},
    {DBL_MAX,
     "17976931348623157081452742373170435679807056752584499659891747680315726078002853876058955863276687817154045895"
     "35143824642343213268894641827684675467035375169860499105765512820762454900903893289440758685084551339423045832"
     "36903222948165808559332123348274797826204144723168738177180919299881250404026184124858368.00"},
    // Exact ties: away from zero.
    {1.125, "1.13"},
    {2.375, "2.38"},
    {0.625, "0.63"},
    {0.125, "0.13"},
    {0.875, "0.88"},
    {-1.125, "-1.13"},
    {-0.625, "-0.63"},
    {1000000000000.375, "1000000000000.38"},
    // No amount form.
    {std::numeric_limits<double>::quiet_NaN(), "0.00"},
    {-std::numeric_limits<double>::quiet_NaN(), "0.00"},
    {std::numeric_limits<double>::infinity(), "0.00"},
    {-std::numeric_limits<double>::infinity(), "0.00"},
};

TEST(AmountFormat, KnownValues) {
  for (const AmountCase& amountCase : kAmountCases) {
    EXPECT_EQ(FormatAmount(amountCase.value), amountCase.text) << "value " << amountCase.value;
  }
}

// Every exact tie is an odd multiple of 1/8: j/8 prints as (25 j + 1) / 2 cents.
TEST(AmountFormat, RandomTiesRoundAwayFromZero) {
  std::mt19937_64 random(20080305);
  for (int round = 0; round < 20000; ++round) {
    const std::uint64_t eighths = (random() >> 14) | 1u;  // odd, below 2^50
    const std::uint64_t cents = (25 * eighths + 1) / 2;
    const std::uint64_t fraction = cents % 100;
    const std::string expected =
        std::to_string(cents / 100) + "." + (fraction < 10 ? "0" : "") + std::to_string(fraction);
    const double value = static_cast<double>(eighths) / 8;
    ASSERT_EQ(FormatAmount(value), expected) << eighths << "/8";
    ASSERT_EQ(FormatAmount(-value), "-" + expected) << "-" << eighths << "/8";
  }
}

#ifndef _WIN32
// An exact tie: the value is an odd multiple of 1/8 (x * 8 is exact for these magnitudes).
bool IsExactTie(double value) {
  const double eighths = std::fabs(value) * 8;
  return std::isfinite(eighths) && eighths < 9007199254740992.0 && std::floor(eighths) == eighths &&
         std::fmod(eighths, 2) == 1;
}

void ExpectSameAsGlibc(double value) {
  static char expected[400];
  std::snprintf(expected, sizeof expected, "%.2f", value);
  ASSERT_EQ(FormatAmount(value), expected) << "bits " << std::hexfloat << value;
}

// glibc prints the exact decimal value rounded to nearest; away from ties that is our answer.
TEST(AmountFormat, SameAsGlibcOverRandomBitPatterns) {
  std::mt19937_64 random(1);
  int compared = 0;
  while (compared < 200000) {
    const std::uint64_t bits = random();
    double value;
    std::memcpy(&value, &bits, sizeof value);
    if (!std::isfinite(value) || IsExactTie(value)) continue;
    ExpectSameAsGlibc(value);
    ++compared;
  }
}

TEST(AmountFormat, SameAsGlibcOverEverydayAmounts) {
  std::mt19937_64 random(2);
  std::uniform_int_distribution<std::int64_t> thousandths(-100000000000, 100000000000);
  std::uniform_real_distribution<double> uniform(-1e7, 1e7);
  for (int round = 0; round < 200000; ++round) {
    const double values[] = {static_cast<double>(thousandths(random)) / 1000, uniform(random),
                             std::ldexp(uniform(random), static_cast<int>(random() % 200) - 100)};
    for (const double value : values) {
      if (IsExactTie(value)) continue;
      ExpectSameAsGlibc(value);
    }
  }
}

TEST(AmountFormat, SameAsGlibcAtExtremes) {
  const double values[] = {1e-300,
                           5e-324,
                           DBL_MIN,
                           DBL_MAX,
                           1e300,
                           9e16,
                           2.675,
                           1.115,
                           0.005,
                           0.015,
                           std::nextafter(0.005, 0.0),
                           std::nextafter(0.125, 1.0),
                           std::nextafter(0.125, 0.0),
                           4503599627370495.5,
                           9007199254740991.0,
                           1e15 + 0.3,
                           -0.0};
  for (const double value : values) {
    ASSERT_FALSE(IsExactTie(value));
    ExpectSameAsGlibc(value);
    ExpectSameAsGlibc(-value);
  }
  for (int exponent = -1074; exponent <= 1023; ++exponent) {
    const double power = std::ldexp(1.0, exponent);
    if (!IsExactTie(power)) ExpectSameAsGlibc(power);  // 2^-3 is the one tie
  }
}
#endif

}  // namespace
}  // namespace kelvarn
