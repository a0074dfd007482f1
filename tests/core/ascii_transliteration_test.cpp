#include "common/ascii_transliteration.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>

#ifdef _WIN32
#include <windows.h>
#endif

namespace kelvarn {
namespace {

std::string Hex(char32_t character) {
  char text[16];
  std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(character));
  return text;
}

TEST(AsciiTransliteration, GivesTheBaseLetterThenTheFixedFormsThenTheCompatibilityLetters) {
  const struct {
    char16_t character;
    const char* text;
  } cases[] = {
      // The canonical decomposition's base letter.
      {u'\u00E9', "e"},
      {u'\u00D3', "O"},
      {u'\u00F1', "n"},
      {u'\u015E', "S"},
      {u'\u0171', "u"},
      {u'\u1EC7', "e"},
      {u'\u00C5', "A"},
      {u'\u00FF', "y"},
      {u'\u01D5', "U"},
      {u'\u0218', "S"},
      // The fixed transliterations.
      {u'\u00DF', "ss"},
      {u'\u00C6', "AE"},
      {u'\u00E6', "ae"},
      {u'\u00D8', "O"},
      {u'\u00F8', "o"},
      {u'\u0141', "L"},
      {u'\u0142', "l"},
      {u'\u0152', "OE"},
      {u'\u0153', "oe"},
      {u'\u00DE', "TH"},
      {u'\u00FE', "th"},
      {u'\u0110', "D"},
      {u'\u0111', "d"},
      {u'\u00D0', "D"},
      {u'\u00F0', "d"},
      {u'\u0126', "H"},
      {u'\u0167', "t"},
      {u'\u0131', "i"},
      {u'\u013F', "L"},
      {u'\u1E9E', "SS"},
      // The fixed transliteration of the base letter.
      {u'\u01FC', "AE"},
      {u'\u01E3', "ae"},
      {u'\u01FE', "O"},
      // The compatibility decomposition's letters.
      {u'\u01C4', "DZ"},
      {u'\u01C5', "Dz"},
      {u'\u01C6', "dz"},
      {u'\u0132', "IJ"},
      {u'\u0133', "ij"},
      {u'\u01C7', "LJ"},
      {u'\u01C8', "Lj"},
      {u'\u01CC', "nj"},
      {u'\u01F1', "DZ"},
      {u'\u017F', "s"},
      {u'\u1E9B', "s"},
      {u'\u00AA', "a"},
      {u'\u00BA', "o"},
      // Space separators.
      {u'\u00A0', " "},
      {u'\u1680', " "},
      {u'\u2000', " "},
      {u'\u2007', " "},
      {u'\u200A', " "},
      {u'\u202F', " "},
      {u'\u205F', " "},
      {u'\u3000', " "},
      // No ASCII letters: the base is no ASCII letter, the compatibility form holds digits or
      // other characters, or the character is outside the Latin blocks.
      {u'\u0080', ""},
      {u'\u00AD', ""},
      {u'\u00B2', ""},
      {u'\u00BD', ""},
      {u'\u00B5', ""},
      {u'\u00D7', ""},
      {u'\u0149', ""},
      {u'\u014A', ""},
      {u'\u0138', ""},
      {u'\u03B1', ""},
      {u'\u0301', ""},
      {u'\u2013', ""},
      {u'\u2019', ""},
      {u'\u20AC', ""},
      {u'\u200B', ""},
      {u'\u2028', ""},
      {u'\uFB01', ""},
      {u'\uFF21', ""},
      {char16_t{0xD83C}, ""},
      {char16_t{0xDF39}, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(AsciiTransliteration(c.character), c.text) << Hex(c.character);
}

// Whatever the table holds, a name field gets only ASCII letters or a blank from it, and only
// from the four Latin blocks and the space separators.
TEST(AsciiTransliteration, GivesOnlyAsciiLettersOrABlankAndOnlyForLatinLettersAndSpaces) {
  std::string wrong;
  for (char32_t code = 0x80; code <= 0xFFFF; ++code) {
    const std::string text(AsciiTransliteration(static_cast<char16_t>(code)));
    if (text.empty()) continue;
    const bool latin = code <= 0x024F || (code >= 0x1E00 && code <= 0x1EFF);
    const bool space =
        code == 0x1680 || (code >= 0x2000 && code <= 0x200A) || code == 0x202F || code == 0x205F || code == 0x3000;
    bool letters = text.size() <= 2;
    for (const char byte : text) letters = letters && ((byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z'));
    const bool fits = (latin && (letters || (code == 0x00A0 && text == " "))) || (space && text == " ");
    if (!fits) wrong += Hex(code) + " \"" + text + "\" ";
  }
  EXPECT_EQ(wrong, "");
}

#ifdef _WIN32
// The table against the platform's own decompositions, for every character of the four blocks.
TEST(AsciiTransliteration, AgreesWithThePlatformsNormalization) {
  using NormalizeStringFunction = int(WINAPI*)(NORM_FORM, LPCWSTR, int, LPWSTR, int);
  const HMODULE library = LoadLibraryW(L"normaliz.dll");
  if (library == nullptr) GTEST_SKIP() << "no normaliz.dll";
  const auto normalize =
      reinterpret_cast<NormalizeStringFunction>(reinterpret_cast<void*>(GetProcAddress(library, "NormalizeString")));
  if (normalize == nullptr) GTEST_SKIP() << "no NormalizeString";
  const auto decomposition = [&](NORM_FORM form, wchar_t character) {
    wchar_t text[32];
    const int length = normalize(form, &character, 1, text, 32);
    return length > 0 ? std::wstring(text, static_cast<std::size_t>(length)) : std::wstring(1, character);
  };
  const auto asciiLetter = [](wchar_t character) {
    return (character >= L'A' && character <= L'Z') || (character >= L'a' && character <= L'z');
  };
  const std::wstring fixedFrom =
      L"\u00DF\u00C6\u00E6\u00D8\u00F8\u0141\u0142\u0152\u0153\u00DE\u00FE\u0110\u0111"
      L"\u00D0\u00F0\u0126\u0127\u0166\u0167\u0131\u013F\u0140\u1E9E";
  const char* const fixedTo[] = {"ss", "AE", "ae", "O", "o", "L", "l", "OE", "oe", "TH", "th", "D",
                                 "d",  "D",  "d",  "H", "h", "T", "t", "i",  "L",  "l",  "SS"};

  const std::pair<int, int> blocks[] = {{0x0080, 0x00FF}, {0x0100, 0x017F}, {0x0180, 0x024F}, {0x1E00, 0x1EFF}};
  std::string wrong;
  for (const auto& [first, last] : blocks) {
    for (int code = first; code <= last; ++code) {
      const wchar_t character = static_cast<wchar_t>(code);
      std::string expected;
      const std::wstring canonical = decomposition(NormalizationD, character);
      const std::size_t fixed = fixedFrom.find(character);
      if (code == 0x00A0) {
        expected = " ";
      } else if (canonical != std::wstring(1, character) && asciiLetter(canonical[0])) {
        expected = static_cast<char>(canonical[0]);
      } else if (fixed != std::wstring::npos) {
        expected = fixedTo[fixed];
      } else if (canonical != std::wstring(1, character) && fixedFrom.find(canonical[0]) != std::wstring::npos) {
        expected = fixedTo[fixedFrom.find(canonical[0])];
      } else {
        std::string letters;
        bool onlyLetters = true;
        for (const wchar_t unit : decomposition(NormalizationKD, character)) {
          if (unit >= 0x0300 && unit <= 0x036F) continue;  // combining marks
          if (!asciiLetter(unit)) onlyLetters = false;
          letters.push_back(static_cast<char>(unit));
        }
        if (onlyLetters && !letters.empty()) expected = letters;
      }
      if (AsciiTransliteration(character) != expected) wrong += Hex(static_cast<char32_t>(code)) + " ";
    }
  }
  FreeLibrary(library);
  EXPECT_EQ(wrong, "");
}
#endif

}  // namespace
}  // namespace kelvarn
