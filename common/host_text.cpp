#include "common/host_text.h"

namespace kelvarn {

SingleByteText ToSingleByte(const char16_t* text, std::size_t length, std::size_t capacity) {
  SingleByteText result{std::string(), true};
  if (text == nullptr) return result;
  result.text.reserve(length < capacity ? length : capacity);
  for (std::size_t index = 0; index < length; ++index) {
    const char16_t unit = text[index];
    // A NUL ends the host's text, as it ends the C runtime's conversion of a wide string.
    if (unit == u'\0') break;
    // No single-byte form (this includes both halves of a surrogate pair): the text stops here.
    if (unit > 0x00FF) {
      result.complete = false;
      break;
    }
    if (result.text.size() == capacity) {
      result.complete = false;
      break;
    }
    result.text.push_back(static_cast<char>(static_cast<unsigned char>(unit)));
  }
  return result;
}

}  // namespace kelvarn
