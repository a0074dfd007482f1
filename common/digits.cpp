#include "common/digits.h"

namespace kelvarn {

std::string DigitsOf(std::string_view text) {
  std::string digits;
  for (const char byte : text) {
    if (IsDigit(byte)) digits.push_back(byte);
  }
  return digits;
}

}  // namespace kelvarn
