#pragma once
// The ASCII text of a character outside ASCII, for fields of the bank's files that hold names:
// Latin letters become their base letter or a fixed transliteration (U+00E9 e with acute gives e,
// U+00DF sharp s gives ss, U+01C4 DZ with caron gives DZ), the Unicode space separators a blank.
#include <string_view>

namespace kelvarn {

// One or two ASCII letters, or a blank; empty for a character with no ASCII text (every one
// outside the four Latin blocks and the space separators, surrogates included).
std::string_view AsciiTransliteration(char16_t character) noexcept;

}  // namespace kelvarn
