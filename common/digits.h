#pragma once
// The one digit rule of host and file text: the characters 0 to 9, nothing else.
#include <string>
#include <string_view>

namespace kelvarn {

constexpr bool IsDigit(char byte) noexcept { return byte >= '0' && byte <= '9'; }

// The digits of `text`, in order; every other byte is dropped.
std::string DigitsOf(std::string_view text);

}  // namespace kelvarn
