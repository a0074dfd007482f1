#include "common/integer_parse.h"

#include <cstddef>
#include <cstring>
#include <limits>

namespace kelvarn {
namespace {

// Eighteen digits never overflow; only longer runs need the saturation check.
constexpr std::ptrdiff_t kSafeDigits = 18;

// The eight bytes at `bytes` as one number, the first byte lowest.
std::uint64_t LoadEight(const char* bytes) noexcept {
  std::uint64_t value;
  std::memcpy(&value, bytes, sizeof value);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
  value = __builtin_bswap64(value);
#endif
  return value;
}

bool AreEightDigits(std::uint64_t eight) noexcept {
  // Adding 6 keeps '0'..'9' in 0x30..0x3F; every other byte leaves that range before or after.
  constexpr std::uint64_t kHighNibbles = 0xF0F0F0F0F0F0F0F0u;
  return ((eight & kHighNibbles) | (((eight + 0x0606060606060606u) & kHighNibbles) >> 4)) == 0x3333333333333333u;
}

// The value of eight decimal digits, the first one most significant.
std::uint64_t EightDigitsValue(std::uint64_t eight) noexcept {
  eight = ((eight & 0x0F0F0F0F0F0F0F0Fu) * (10 * 256 + 1)) >> 8;             // pairs
  eight = ((eight & 0x00FF00FF00FF00FFu) * (100 * 65536 + 1)) >> 16;         // fours
  return ((eight & 0x0000FFFF0000FFFFu) * (10000 * 4294967296u + 1)) >> 32;  // eight
}

// The digits after the first eighteen, which can overflow: the value saturates.
std::uint64_t ContinueSaturating(const char* position, const char* end, std::uint64_t magnitude,
                                 bool negative) noexcept {
  const std::uint64_t limit = negative ? std::uint64_t{1} << 63 : (std::uint64_t{1} << 63) - 1;
  for (; position != end; ++position) {
    const unsigned digit = static_cast<unsigned char>(*position) - static_cast<unsigned>('0');
    if (digit > 9) break;
    if (magnitude > (limit - digit) / 10) return limit;  // the digits after it change nothing
    magnitude = magnitude * 10 + digit;
  }
  return magnitude;
}

std::int64_t Signed(std::uint64_t magnitude, bool negative) noexcept {
  if (!negative) return static_cast<std::int64_t>(magnitude);
  return magnitude == std::uint64_t{1} << 63 ? std::numeric_limits<std::int64_t>::min()
                                             : -static_cast<std::int64_t>(magnitude);
}

}  // namespace

std::int64_t ParseLeadingInteger(std::string_view text) noexcept {
  const char* position = text.data();
  const char* const end = position + text.size();
  // Space, or \t \n \v \f \r (9 to 13).
  while (position != end && (*position == ' ' || static_cast<unsigned char>(*position - '\t') <= '\r' - '\t')) {
    ++position;
  }
  bool negative = false;
  if (position != end && (*position == '+' || *position == '-')) {
    negative = *position == '-';
    ++position;
  }
  std::uint64_t magnitude = 0;
  const char* const safeEnd = end - position > kSafeDigits ? position + kSafeDigits : end;
  // The fields of the bank's files are mostly runs of digits: eight at a time where they are.
  while (safeEnd - position >= 8) {
    const std::uint64_t eight = LoadEight(position);
    if (!AreEightDigits(eight)) break;
    magnitude = magnitude * 100000000u + EightDigitsValue(eight);
    position += 8;
  }
  for (; position != safeEnd; ++position) {
    const unsigned digit = static_cast<unsigned char>(*position) - static_cast<unsigned>('0');
    if (digit > 9) return Signed(magnitude, negative);
    magnitude = magnitude * 10 + digit;
  }
  if (position != end) magnitude = ContinueSaturating(position, end, magnitude, negative);
  return Signed(magnitude, negative);
}

}  // namespace kelvarn
