#include "common/integer_parse.h"

#include <limits>

namespace kelvarn {

std::int64_t ParseLeadingInteger(std::string_view text) noexcept {
  std::size_t position = 0;
  auto isSpace = [](char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
  };
  while (position < text.size() && isSpace(text[position])) ++position;
  bool negative = false;
  if (position < text.size() && (text[position] == '+' || text[position] == '-')) {
    negative = text[position] == '-';
    ++position;
  }
  // Accumulate as a negative number so that the lowest value is exact; saturate on overflow.
  constexpr std::int64_t kLowest = std::numeric_limits<std::int64_t>::min();
  std::int64_t value = 0;
  bool saturated = false;
  for (; position < text.size() && text[position] >= '0' && text[position] <= '9'; ++position) {
    const int digit = text[position] - '0';
    if (value < (kLowest + digit) / 10) {
      saturated = true;
    } else {
      value = value * 10 - digit;
    }
  }
  if (saturated) return negative ? kLowest : std::numeric_limits<std::int64_t>::max();
  if (negative) return value;
  return value == kLowest ? std::numeric_limits<std::int64_t>::max() : -value;
}

}  // namespace kelvarn
