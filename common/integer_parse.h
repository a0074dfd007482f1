#pragma once
// The C runtime's atoi reading rule, with a defined answer on overflow.
#include <cstdint>
#include <string_view>

namespace kelvarn {

// Skips leading white space (space, \t, \n, \v, \f, \r), takes one optional sign, then decimal
// digits up to the first other character; no digits give 0. Values beyond the 64-bit range
// saturate (fields of the bank's files are far shorter, so their values are exact).
std::int64_t ParseLeadingInteger(std::string_view text) noexcept;

}  // namespace kelvarn
