// The narrow text's Windows operations.
#include "common/narrow_text_win.h"

#include "common/hresult.h"
#include "tests/com/com_test_support.h"

namespace kelvarn::test {
namespace {

TEST(NarrowTextWindows, WideTextConvertsThroughTheAnsiCodePage) {
  NarrowText text("x");
  AssignWide(text, L"Caf\u00e9 \u20ac");  // code page 1252 has both
  EXPECT_EQ(std::string(text.View()), "Caf\xe9 \x80");
  AppendWide(text, L"!");
  EXPECT_EQ(std::string(text.View()), "Caf\xe9 \x80!");
  AssignWide(text, L"");
  EXPECT_TRUE(text.IsEmpty());
}

TEST(NarrowTextWindows, NullTextIsAnInvalidArgument) {
  NarrowText text("kept");
  auto thrown = [](auto call) {
    try {
      call();
    } catch (HresultValue hr) {
      return Hex(hr);
    }
    return std::string("nothing");
  };
  EXPECT_EQ(thrown([&] { AssignWide(text, nullptr); }), Hex(E_INVALIDARG));
  EXPECT_EQ(thrown([&] { AppendWide(text, nullptr); }), Hex(E_INVALIDARG));
  EXPECT_EQ(thrown([&] { FormatText(text, nullptr); }), Hex(E_INVALIDARG));
  EXPECT_EQ(std::string(text.View()), "kept");
}

TEST(NarrowTextWindows, ToNewBstrKeepsTheLength) {
  UniqueBstr converted(ToNewBstr(NarrowText("Caf\xe9")));
  EXPECT_EQ(SysStringLen(converted.get()), 4u);
  EXPECT_EQ(std::wstring(converted.get()), L"Caf\u00e9");
  UniqueBstr empty(ToNewBstr(NarrowText()));
  ASSERT_NE(empty.get(), nullptr);
  EXPECT_EQ(SysStringLen(empty.get()), 0u);
}

TEST(NarrowTextWindows, StringResourcesAndFormattingGoThroughA256ByteBuffer) {
  NarrowText text("x");
  LoadStringResource(text, Module().module, 300);
  EXPECT_EQ(std::string(text.View()), "Payment processed successfully.");
  LoadStringResource(text, Module().module, 301);  // no such string
  EXPECT_TRUE(text.IsEmpty());
  FormatText(text, "%d day%s to %s", 4, "s", "go");
  EXPECT_EQ(std::string(text.View()), "4 days to go");
  const std::string longText(300, 'a');
  FormatText(text, "%s", longText.c_str());
  EXPECT_EQ(std::string(text.View()), std::string(255, 'a'));
}

}  // namespace
}  // namespace kelvarn::test
