#pragma once
// The component category the host looks for to find its bank components. Portable, so that the
// installer's registry rows (tools/) and DllRegisterServer (the class table) take the same value.
#include <cstdint>

namespace kelvarn {

struct GuidFields {
  std::uint32_t data1;
  std::uint16_t data2;
  std::uint16_t data3;
  std::uint8_t data4[8];
};

inline constexpr GuidFields kBankComponentCategory = {
    0x4E28D2A2, 0xEE93, 0x11D3, {0x8A, 0x15, 0x00, 0xE0, 0x29, 0x17, 0x8D, 0x24}};

}  // namespace kelvarn
