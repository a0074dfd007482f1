#include "refhost/text_answer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace refhost {
namespace {

TEST(TextAnswer, MoneyGroupsThousandsAndRoundsToCents) {
  const struct {
    double amount;
    const char* text;
  } cases[] = {
      {0.0, "0.00"},
      {5.0, "5.00"},
      {123.456, "123.46"},
      {999.996, "1,000.00"},
      {1234.5, "1,234.50"},
      {1000000.0, "1,000,000.00"},
      {-1234.5, "-1,234.50"},
      {-0.001, "0.00"},
      {999999.99, "999,999.99"},
      {12345678.9, "12,345,678.90"},
  };
  for (const auto& c : cases) EXPECT_EQ(MoneyText(c.amount), c.text) << c.amount;
  EXPECT_EQ(MoneyText(std::numeric_limits<double>::quiet_NaN()), "nan");
  EXPECT_EQ(MoneyText(std::numeric_limits<double>::infinity()), "inf");
  EXPECT_EQ(MoneyText(-std::numeric_limits<double>::infinity()), "-inf");
}

TEST(TextAnswer, HresultsByNameOrCode) {
  EXPECT_EQ(HresultWords(0), "S_OK");
  EXPECT_EQ(HresultWords(1), "S_FALSE");
  EXPECT_EQ(HresultWords(0x800AFFFCu), "0x800AFFFC (Invalid argument)");
  EXPECT_EQ(HresultWords(0x80020009u), "0x80020009 (a host component or object failed)");
  EXPECT_EQ(HresultWords(0x80004005u), "0x80004005");
}

TEST(TextAnswer, StatusesInWords) {
  EXPECT_EQ(ExportStatusWords(0), "every payment written, every check passed");
  EXPECT_EQ(ExportStatusWords(1), "file written, but at least one payment failed a check");
  EXPECT_EQ(ExportStatusWords(3), "cancelled in a dialog: nothing written");
  EXPECT_EQ(ExportStatusWords(7), "status 7");
  EXPECT_EQ(ImportStatusWords(0), "statement read");
  EXPECT_EQ(ImportStatusWords(1), "no file chosen");
  EXPECT_EQ(ImportStatusWords(-1), "status -1");
}

TEST(TextAnswer, TableAlignsColumnsByCharacters) {
  // "Zoë" is four bytes, three columns; column 1 is aligned on the right.
  const std::string table = TextTable({{"line", "amount", "name"}, {"1", "1,234.50", "Zoë"}, {"12", "5.00", "A"}}, {1});
  EXPECT_EQ(table,
            "line    amount  name\n"
            "1     1,234.50  Zoë\n"
            "12        5.00  A\n");
  EXPECT_EQ(TextTable({}, {}), "");
}

}  // namespace
}  // namespace refhost
