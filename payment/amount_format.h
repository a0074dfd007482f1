#pragma once
// Amounts as printf's "%.2f" prints them, computed exactly by our own code so every build writes
// the same bytes: a value that lies exactly halfway between two cents rounds away from zero.
#include <string>

namespace kelvarn {

// Fixed-point with two decimals, no separators, a leading minus whenever the sign bit is set
// (so -0.004 gives "-0.00"). Every digit of large values is exact. Not-a-number and infinities
// have no amount form: they give "0.00".
std::string FormatAmount(double value);

}  // namespace kelvarn
