#pragma once
// Host text (UTF-16) to single-byte text: U+0001..U+00FF become the byte of the same value.
#include <cstddef>
#include <string>

namespace kelvarn {

struct SingleByteText {
  std::string text;  // the converted bytes, at most `capacity` of them
  bool complete;     // false when the text was cut at the capacity or at a character above U+00FF
};

// Converts `length` UTF-16 units (a null `text` counts as empty). The conversion ends at the
// first character above U+00FF (it has no single-byte form) or after `capacity` bytes.
SingleByteText ToSingleByte(const char16_t* text, std::size_t length, std::size_t capacity);

}  // namespace kelvarn
