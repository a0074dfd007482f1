#include "common/integer_parse.h"

#include <limits>

namespace kelvarn {

std::int64_t ParseLeadingInteger(std::string_view text) noexcept {
  const char* position = text.data();
  const char* const end = position + text.size();
  // Space, or \t \n \v \f \r (9 to 13).
  while (position != end &&
         (*position == ' ' || static_cast<unsigned char>(*position - '\t') <= '\r' - '\t')) {
    ++position;
  }
  bool negative = false;
  if (position != end && (*position == '+' || *position == '-')) {
    negative = *position == '-';
    ++position;
  }
  // Eighteen digits never overflow; only longer runs need the saturation check.
  constexpr int kSafeDigits = 18;
  std::uint64_t magnitude = 0;
  int digits = 0;
  for (; position != end; ++position, ++digits) {
    const unsigned digit = static_cast<unsigned char>(*position) - static_cast<unsigned>('0');
    if (digit > 9) break;
    if (digits >= kSafeDigits) {
      const std::uint64_t limit = negative ? std::uint64_t{1} << 63 : (std::uint64_t{1} << 63) - 1;
      if (magnitude > (limit - digit) / 10) {
        magnitude = limit;  // saturate, and let the rest of the digits pass
        for (; position != end && *position >= '0' && *position <= '9'; ++position) {
        }
        break;
      }
    }
    magnitude = magnitude * 10 + digit;
  }
  if (!negative) return static_cast<std::int64_t>(magnitude);
  return magnitude == std::uint64_t{1} << 63 ? std::numeric_limits<std::int64_t>::min()
                                             : -static_cast<std::int64_t>(magnitude);
}

}  // namespace kelvarn
