#include "common/host_text.h"

namespace kelvarn {

SingleByteText ToSingleByte(const char16_t* text, std::size_t length, std::size_t capacity) {
  SingleByteText result{std::string(), true};
  if (text == nullptr) return result;
  // Find where the conversion ends first, then copy that run in one go.
  std::size_t count = 0;
  for (; count < length; ++count) {
    const char16_t unit = text[count];
    // A NUL ends the host's text, as it ends the C runtime's conversion of a wide string.
    if (unit == u'\0') break;
    // No single-byte form (this includes both halves of a surrogate pair): the text stops here.
    if (unit > 0x00FF) {
      result.complete = false;
      break;
    }
    if (count == capacity) {
      result.complete = false;
      break;
    }
  }
  result.text.resize(count);
  for (std::size_t index = 0; index < count; ++index) {
    result.text[index] = static_cast<char>(static_cast<unsigned char>(text[index]));
  }
  return result;
}

}  // namespace kelvarn
