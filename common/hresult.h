#pragma once
// Failures inside the component travel as a thrown 32-bit HRESULT value. On Windows (LLP64) this
// is exactly `long`, which the COM layer's catch sequence catches; elsewhere a 32-bit integer.
#include <cstdint>
#include <type_traits>

namespace kelvarn {

using HresultValue = std::conditional_t<sizeof(long) == 4, long, std::int32_t>;

inline constexpr HresultValue kInvalidArgument = static_cast<HresultValue>(0x80070057u);
inline constexpr HresultValue kOutOfMemory = static_cast<HresultValue>(0x8007000Eu);
inline constexpr HresultValue kUnexpected = static_cast<HresultValue>(0x8000FFFFu);

[[noreturn]] inline void ThrowHresult(HresultValue hr) { throw hr; }

}  // namespace kelvarn
