#include "common/host_text.h"

#include <gtest/gtest.h>

#include <string>

namespace kelvarn {
namespace {

TEST(ToSingleByte, ConvertsCharactersUpToU00FF) {
  struct Case {
    const char* name;
    std::u16string input;
    std::size_t capacity;
    std::string expected;
    bool complete;
  };
  const Case cases[] = {
      {"plain", u"12-34-56", 10, "12-34-56", true},
      {"latin-1", u"Caf\u00e9 \u00ff\u0080", 10, "Caf\xe9 \xff\x80", true},
      {"exactly the capacity", u"12345678", 8, "12345678", true},
      {"cut at the capacity", u"123456789", 8, "12345678", false},
      {"zero capacity", u"1", 0, "", false},
      {"empty", u"", 4, "", true},
      {"above U+00FF ends it", u"ab\u0100cd", 10, "ab", false},
      {"euro sign ends it", u"\u20ac5", 10, "", false},
      {"surrogate pair ends it", u"x\U0001F600y", 10, "x", false},
      {"NUL ends the text", std::u16string(u"ab\0cd", 5), 10, "ab", true},
  };
  for (const Case& c : cases) {
    const SingleByteText result = ToSingleByte(c.input.data(), c.input.size(), c.capacity);
    EXPECT_EQ(result.text, c.expected) << c.name;
    EXPECT_EQ(result.complete, c.complete) << c.name;
  }
}

TEST(ToSingleByte, TakesANullTextAsEmpty) {
  const SingleByteText result = ToSingleByte(nullptr, 5, 10);
  EXPECT_EQ(result.text, "");
  EXPECT_TRUE(result.complete);
}

}  // namespace
}  // namespace kelvarn
