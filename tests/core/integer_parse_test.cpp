#include "common/integer_parse.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace kelvarn {
namespace {

TEST(ParseLeadingInteger, ReadsAsTheRuntimeAtoiDoes) {
  struct Case {
    const char* text;
    std::int64_t expected;
  };
  const Case cases[] = {
      {"00000012345", 12345},
      {"           ", 0},
      {"  -00000150", -150},
      {"+42", 42},
      {" \t\n\v\f\r7", 7},
      {"12ab34", 12},
      {"abc", 0},
      {"", 0},
      {"-", 0},
      {"+-5", 0},
      {"- 5", 0},
      {" 07", 7},
      {"123", 123},
      {"02147483647", 2147483647},
      {"99999999999", 99999999999},  // beyond 32 bits: exact
      {"-99999999999", -99999999999},
      {"9223372036854775807", std::numeric_limits<std::int64_t>::max()},
      {"-9223372036854775808", std::numeric_limits<std::int64_t>::min()},
      {"9223372036854775808", std::numeric_limits<std::int64_t>::max()},  // saturates
      {"-9223372036854775809", std::numeric_limits<std::int64_t>::min()},
      {"123456789012345678901234567890", std::numeric_limits<std::int64_t>::max()},
      // The characters next to the digits end a long run wherever they stand.
      {"1234567:901", 1234567},
      {"1/345678901", 1},
      {"12345678:01", 12345678},
      {"123456789012345/78", 123456789012345},
      {"0000000000000000012", 12},
      {"-000000001234567890123", -1234567890123},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseLeadingInteger(c.text), c.expected) << '"' << c.text << '"';
}

TEST(ParseLeadingInteger, StopsAtTheEndOfTheGivenRun) {
  const char field[] = "00012345678";
  EXPECT_EQ(ParseLeadingInteger(std::string_view(field, 5)), 12);
}

}  // namespace
}  // namespace kelvarn
