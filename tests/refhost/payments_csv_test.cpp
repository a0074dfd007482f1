#include "refhost/payments_csv.h"

#include <gtest/gtest.h>

#include <cmath>

namespace refhost {
namespace {

const std::string kHeader = std::string(kPaymentsCsvHeader) + "\n";

TEST(PaymentsCsv, ReadsQuotedUnquotedMissingAndEmptyFields) {
  const auto payments =
      ParsePaymentsCsv(kHeader +
                       "1234.5,12-34-56,12345678,Payer Ltd,654321,87654321,\"O'Brien & Sons, \"\"Dublin\"\"\"\r\n"
                       "-5,,\"\",\"multi\nline\",1,2,caf\xC3\xA9\n");
  ASSERT_EQ(payments.size(), 2u);
  EXPECT_EQ(payments[0].amount, 1234.5);
  EXPECT_EQ(payments[0].payerSortCode, u"12-34-56");
  EXPECT_EQ(payments[0].payeeAccountName, u"O'Brien & Sons, \"Dublin\"");
  EXPECT_EQ(payments[1].amount, -5.0);
  EXPECT_EQ(payments[1].payerSortCode, std::nullopt);           // unquoted empty: missing
  EXPECT_EQ(payments[1].payerAccountNumber, std::u16string());  // quoted empty: empty text
  EXPECT_EQ(payments[1].payerAccountName, u"multi\nline");
  EXPECT_EQ(payments[1].payeeAccountName, u"caf\u00e9");
}

TEST(PaymentsCsv, AcceptsNonFiniteAmounts) {
  const auto payments = ParsePaymentsCsv(kHeader + "nan,,,,,,\ninf,,,,,,\n-inf,,,,,,\n");
  ASSERT_EQ(payments.size(), 3u);
  EXPECT_TRUE(std::isnan(payments[0].amount));
  EXPECT_EQ(payments[1].amount, HUGE_VAL);
  EXPECT_EQ(payments[2].amount, -HUGE_VAL);
}

TEST(PaymentsCsv, AnEmptyBatchIsAHeaderOnly) { EXPECT_TRUE(ParsePaymentsCsv(kHeader).empty()); }

TEST(PaymentsCsv, RejectsMalformedInputWithTheLine) {
  struct Case {
    std::string content;
    std::string reason;
  };
  const Case cases[] = {
      {"", "line 1: the header row is missing"},
      {"amount,payer\n", "line 1: the header row must be exactly"},
      {kHeader + "1,2,3\n", "line 2: expected 7 fields, found 3"},
      {kHeader + "12abc,,,,,,\n", "line 2: amount is not a number: 12abc"},
      {kHeader + ",,,,,,\n", "line 2: amount is not a number"},
      {kHeader + "1,\"open,,,,,\n", "line 2: unterminated quoted field"},
      {kHeader + "1,\"a\"b,,,,,\n", "line 2: text after a closing quote"},
      {kHeader + "1,a\"b,,,,,\n", "line 2: quote inside an unquoted field"},
      {kHeader + "1,\xFF,,,,,\n", "line 2: malformed UTF-8"},
      {"\"amount,payer_sort_code\",payer_account_number,payer_account_name,payee_sort_code,"
       "payee_account_number,payee_account_name\n",
       "line 1: the header row must be exactly"},
  };
  for (const Case& c : cases) {
    try {
      ParsePaymentsCsv(c.content);
      ADD_FAILURE() << "accepted: " << c.content;
    } catch (const CsvError& error) {
      EXPECT_EQ(std::string(error.what()).rfind(c.reason, 0), 0u) << error.what();
    }
  }
}

TEST(PaymentsCsv, Utf8BecomesUtf16IncludingSurrogatePairs) {
  EXPECT_EQ(Utf8ToUtf16("A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"), u"A\u00e9\u20ac\U0001F600");
  EXPECT_THROW(Utf8ToUtf16("\xC0\xAF"), CsvError);      // overlong
  EXPECT_THROW(Utf8ToUtf16("\xE2\x82"), CsvError);      // cut short
  EXPECT_THROW(Utf8ToUtf16("\xED\xA0\x80"), CsvError);  // a surrogate
}

}  // namespace
}  // namespace refhost
