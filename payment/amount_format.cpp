#include "payment/amount_format.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace kelvarn {
namespace {

// Decimal digits of a non-negative integer held as little-endian 32-bit limbs (consumed).
std::string DecimalDigits(std::vector<std::uint32_t> limbs) {
  std::string digits;
  while (!limbs.empty()) {
    // Divide by 10^9 and emit the remainder as nine digits (least significant group first).
    std::uint64_t remainder = 0;
    for (std::size_t index = limbs.size(); index-- > 0;) {
      const std::uint64_t current = (remainder << 32) | limbs[index];
      limbs[index] = static_cast<std::uint32_t>(current / 1000000000u);
      remainder = current % 1000000000u;
    }
    while (!limbs.empty() && limbs.back() == 0) limbs.pop_back();
    for (int digit = 0; digit < 9; ++digit) {
      digits.push_back(static_cast<char>('0' + remainder % 10));
      remainder /= 10;
    }
  }
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  if (digits.empty()) digits = "0";
  std::reverse(digits.begin(), digits.end());
  return digits;
}

// The magnitude in cents, |value| * 100 rounded half away from zero, as decimal digits.
std::string CentDigits(double magnitude) {
  int exponent = 0;
  const double fraction = std::frexp(magnitude, &exponent);  // magnitude = fraction * 2^exponent
  // The 53-bit integer mantissa: magnitude = mantissa * 2^(exponent - 53), exactly.
  const auto mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, 53));
  const int shift = exponent - 53;
  const std::uint64_t scaled = mantissa * 100u;  // below 2^60
  if (shift >= 0) {
    // An integer amount: scaled * 2^shift, no rounding.
    std::vector<std::uint32_t> limbs(static_cast<std::size_t>(shift / 32) + 3, 0u);
    const int bitShift = shift % 32;
    const std::size_t limbShift = static_cast<std::size_t>(shift / 32);
    const std::uint64_t low = scaled << bitShift;
    const std::uint64_t high = bitShift == 0 ? 0 : scaled >> (64 - bitShift);
    limbs[limbShift] = static_cast<std::uint32_t>(low);
    limbs[limbShift + 1] = static_cast<std::uint32_t>(low >> 32);
    limbs[limbShift + 2] = static_cast<std::uint32_t>(high);
    while (!limbs.empty() && limbs.back() == 0) limbs.pop_back();
    return DecimalDigits(std::move(limbs));
  }
  const int dropped = -shift;
  if (dropped > 60) return "0";  // scaled < 2^60 <= half of 2^dropped: below half a cent
  const std::uint64_t cents = scaled >> dropped;
  const std::uint64_t remainder = scaled & ((std::uint64_t{1} << dropped) - 1);
  const std::uint64_t half = std::uint64_t{1} << (dropped - 1);
  const std::uint64_t rounded = remainder >= half ? cents + 1 : cents;  // a tie goes up
  return std::to_string(rounded);                                       // fits 64 bits: no long division needed
}

}  // namespace

std::string FormatAmount(double value) {
  if (!std::isfinite(value)) return "0.00";
  std::string digits = CentDigits(std::fabs(value));
  if (digits.size() < 3) digits.insert(0, 3 - digits.size(), '0');
  std::string text;
  if (std::signbit(value)) text.push_back('-');
  text.append(digits, 0, digits.size() - 2);
  text.push_back('.');
  text.append(digits, digits.size() - 2, 2);
  return text;
}

}  // namespace kelvarn
