#include "common/narrow_text.h"

#include <gtest/gtest.h>

#include <string>

#include "common/hresult.h"

namespace kelvarn {
namespace {

HresultValue ThrownBy(void (*action)()) {
  try {
    action();
  } catch (HresultValue hr) {
    return hr;
  }
  return 0;
}

TEST(NarrowText, BuildsAssignsAndAppends) {
  NarrowText text("Kelvarn");
  text.Append(" ").Append(NarrowText("Bank"));
  EXPECT_EQ(text.View(), "Kelvarn Bank");
  EXPECT_EQ(text.Length(), 12u);
  EXPECT_STREQ(text.CStr(), "Kelvarn Bank");
  text.Assign("x");
  EXPECT_EQ(text.View(), "x");
  text.Assign(NarrowText());
  EXPECT_TRUE(text.IsEmpty());
  EXPECT_STREQ(text.CStr(), "");
  text.Assign(std::string_view("abcdef", 3)).Append(std::string_view("xyz", 2));
  EXPECT_EQ(text.View(), "abcxy");
  text.Clear();
  EXPECT_EQ(text.View(), "");
}

TEST(NarrowText, HasValueSemantics) {
  NarrowText original("992087");
  NarrowText copy(original);
  NarrowText assigned;
  assigned = original;
  original.Append("!");
  EXPECT_EQ(copy.View(), "992087");
  EXPECT_EQ(assigned.View(), "992087");
  EXPECT_EQ(original.View(), "992087!");
  assigned = assigned;  // self-assignment keeps the text
  EXPECT_EQ(assigned.View(), "992087");
}

TEST(NarrowText, CutsDownToWhatExists) {
  const NarrowText text("abcdef");
  struct Case {
    const char* name;
    NarrowText result;
    const char* expected;
  };
  const Case cases[] = {
      {"left within", text.Left(2), "ab"},
      {"left past end", text.Left(10), "abcdef"},
      {"left zero", text.Left(0), ""},
      {"right within", text.Right(2), "ef"},
      {"right past end", text.Right(10), "abcdef"},
      {"right zero", text.Right(0), ""},
      {"mid within", text.Mid(1, 3), "bcd"},
      {"mid count past end", text.Mid(4, 10), "ef"},
      {"mid start at end", text.Mid(6, 2), ""},
      {"mid start past end", text.Mid(9, 2), ""},
      {"empty text", NarrowText().Mid(0, 3), ""},
  };
  for (const Case& c : cases) EXPECT_EQ(c.result.View(), c.expected) << c.name;
}

TEST(NarrowText, ComparesExactlyWithMissingAsEmpty) {
  EXPECT_TRUE(NarrowText("abc").Equals("abc"));
  EXPECT_FALSE(NarrowText("abc").Equals("ABC"));
  EXPECT_FALSE(NarrowText("abc").Equals("abc "));
  EXPECT_TRUE(NarrowText().Equals(static_cast<const char*>(nullptr)));
  EXPECT_TRUE(NarrowText().Equals(""));
  EXPECT_FALSE(NarrowText("a").Equals(static_cast<const char*>(nullptr)));
  EXPECT_TRUE(NarrowText("a b") == NarrowText("a b"));
  EXPECT_TRUE(NarrowText("a") != NarrowText("b"));
}

TEST(NarrowText, ReadsCharactersAndRefusesPastTheEnd) {
  const NarrowText text("xy");
  EXPECT_EQ(text.At(0), 'x');
  EXPECT_EQ(text.At(1), 'y');
  EXPECT_EQ(ThrownBy([] { NarrowText("xy").At(2); }), kInvalidArgument);
  EXPECT_EQ(ThrownBy([] { NarrowText().At(0); }), kInvalidArgument);
}

TEST(NarrowText, RefusesNullTexts) {
  const char* const missing = nullptr;
  static const char* nullText;
  nullText = missing;
  EXPECT_EQ(ThrownBy([] { NarrowText text(nullText); }), kInvalidArgument);
  EXPECT_EQ(ThrownBy([] { NarrowText().Assign(nullText); }), kInvalidArgument);
  EXPECT_EQ(ThrownBy([] { NarrowText("a").Append(nullText); }), kInvalidArgument);
  EXPECT_EQ(static_cast<std::uint32_t>(kInvalidArgument), 0x80070057u);
}

TEST(NarrowText, ReportsExhaustedMemoryAsOutOfMemory) {
  // Growing past the largest possible text fails before any allocation, like an exhausted heap.
  EXPECT_EQ(ThrownBy([] {
              NarrowText text("a");
              text.Append(std::string_view(text.CStr(), std::string().max_size()));
            }),
            kOutOfMemory);
}

}  // namespace
}  // namespace kelvarn
