#include "statement/transaction_record.h"

#include <gtest/gtest.h>

#include <string>

#include "common/hresult.h"

namespace kelvarn {
namespace {

struct Fields {
  std::string sortCode = "123456";
  std::string accountNumber = "12345678";
  std::string accountType = "0";
  std::string transactionCode = "99";
  std::string originatorSortCode = "401122";
  std::string originatorAccountNumber = "11223344";
  std::string skipped = "0000";
  std::string amount = "00000012345";
  std::string originatorName = "ACME SUPPLIES LTD ";
  std::string originatorReference = "INV 20231         ";
  std::string accountName = "SAMPLE TRADING    ";
  std::string processingDate = " 07123";
};

std::string Line(const Fields& f) {
  std::string line = f.sortCode + f.accountNumber + f.accountType + f.transactionCode + f.originatorSortCode +
                     f.originatorAccountNumber + f.skipped + f.amount + f.originatorName + f.originatorReference +
                     f.accountName + f.processingDate;
  EXPECT_EQ(line.size(), 106u) << "malformed test line";
  return line;
}

std::string Describe(const CTransactionRecord& r) {
  return std::string("[") + r.SortCode().CStr() + "|" + r.AccountNumber().CStr() + "|" + r.AccountType().CStr() + "|" +
         r.TransactionCode().CStr() + "|" + r.OriginatorSortCode().CStr() + "|" + r.OriginatorAccountNumber().CStr() +
         "|" + std::to_string(r.Amount()) + "|" + r.OriginatorName().CStr() + "|" + r.OriginatorReference().CStr() +
         "|" + r.AccountName().CStr() + "|" + std::to_string(r.Date()) + "|" + r.ProcessingDate().CStr() + "]";
}

constexpr const char* kBlank = "[||||||0.000000||||0.000000|]";

TEST(TransactionRecord, DecodesEveryField) {
  CTransactionRecord record;
  record.Decode(Line(Fields()));
  EXPECT_EQ(Describe(record),
            "[123456|12345678|0|99|401122|11223344|123.450000|ACME SUPPLIES LTD |"
            "INV 20231         |SAMPLE TRADING    |39205.000000| 07123]");
  EXPECT_EQ(record.Amount(), 123.45);
  EXPECT_EQ(record.Date(), 39205.0);
}

TEST(TransactionRecord, IgnoresCharactersAfterColumn106) {
  CTransactionRecord exact;
  CTransactionRecord longer;
  exact.Decode(Line(Fields()));
  longer.Decode(Line(Fields()) + "TRAILING JUNK 999\r");
  EXPECT_EQ(Describe(longer), Describe(exact));
}

TEST(TransactionRecord, KeepsBlanksAndAnyCharacters) {
  Fields fields;
  fields.sortCode = " 2 4 6";
  fields.accountType = " ";
  fields.originatorName = "                  ";
  fields.accountName = "\xe9t\xe9 Caf\xe9 ~!@#$%^&*";
  CTransactionRecord record;
  record.Decode(Line(fields));
  EXPECT_EQ(record.SortCode().View(), " 2 4 6");
  EXPECT_EQ(record.AccountType().View(), " ");
  EXPECT_EQ(record.OriginatorName().View(), std::string(18, ' '));
  EXPECT_EQ(record.AccountName().View(), fields.accountName);
}

TEST(TransactionRecord, RefusesAShortLine) {
  CTransactionRecord record;
  const std::string line = Line(Fields()).substr(0, 105);
  try {
    record.Decode(line);
    FAIL() << "a 105-character line was decoded";
  } catch (HresultValue hr) {
    EXPECT_EQ(hr, kInvalidArgument);
  }
}

// The amount is the double nearest the decimal value of the hundredths: exactly the literal.
TEST(TransactionRecord, DecodesTheAmount) {
  struct Case {
    const char* field;
    double expected;
  };
  const Case cases[] = {
      {"00000012345", 123.45},       {"           ", 0.0},          {"  -00000150", -1.5},
      {"00000000001", 0.01},         {"00000000010", 0.1},          {"00000001999", 19.99},
      {"-0000001999", -19.99},       {"00000000035", 0.35},         {"00000000069", 0.69},
      {"02147483647", 21474836.47},  {"02147483648", 21474836.48},  // beyond 32 bits: exact, no wrap
      {"02147483608", 21474836.08},  {"99999999905", 999999999.05}, {"99999999999", 999999999.99},
      {"-9999999999", -99999999.99}, {"-9999999905", -99999999.05}, {"+0000000100", 1.0},
      {"00012AB3456", 0.12},         {"ABCDEFGHIJK", 0.0},
  };
  for (const Case& c : cases) {
    Fields fields;
    fields.amount = c.field;
    CTransactionRecord record;
    record.Decode(Line(fields));
    EXPECT_EQ(record.Amount(), c.expected) << '"' << c.field << '"';
  }
}

TEST(TransactionRecord, DecodesTheProcessingDate) {
  struct Case {
    const char* field;
    double expected;
  };
  const Case cases[] = {
      {" 07123", 39205.0},                     // 3 May 2007
      {" 07031", 39113.0},                     // 31 January
      {" 07032", 39114.0},                     // 1 February
      {" 00060", 36585.0},                     // 29 February 2000
      {" 01060", 36951.0},                     // 1 March 2001
      {" 08060", 39507.0},                     // 29 February 2008
      {" 08366", 39813.0},                     // 31 December 2008
      {" 00366", 36891.0},                     // 31 December 2000
      {" 29365", 47483.0},                     // 31 December 2029
      {" 30001", 10959.0},                     // 1 January 1930
      {" 99365", 36525.0},                     // 31 December 1999
      {"999001", -329081.0},                   // a three-digit year is taken as it stands
      {" 01366", 0.0},                         // beyond the year's length
      {" 07400", 0.0},       {" 07000", 0.0},  // day 0
      {" 07-05", 0.0},                         // negative day
      {"      ", 0.0},       {"-07123", 0.0},  // no year before 100
      {" 7 123", 39205.0},                     // the year " 7 " reads as 7
  };
  auto check = [](CTransactionRecord& record, const Case& c) {
    Fields fields;
    fields.processingDate = c.field;
    record.Decode(Line(fields));
    EXPECT_EQ(record.Date(), c.expected) << '"' << c.field << '"';
    EXPECT_EQ(record.ProcessingDate().View(), c.field);
  };
  for (const Case& c : cases) {
    CTransactionRecord fresh;
    check(fresh, c);
  }
  // One record reused line after line, as the reader does, each date twice in a row.
  CTransactionRecord reused;
  for (const Case& c : cases) {
    check(reused, c);
    check(reused, c);
    reused.Clear();
    EXPECT_EQ(reused.Date(), 0.0);
  }
}

TEST(TransactionRecord, CreditFlagFromTheTransactionCode) {
  struct Case {
    const char* code;
    bool credit;
  };
  const Case cases[] = {{"90", true},  {"93", true},  {"95", true},  {"99", true},  {"17", false},
                        {"00", false}, {" 9", false}, {"9 ", false}, {"91", false}, {"09", false}};
  for (const Case& c : cases) {
    Fields fields;
    fields.transactionCode = c.code;
    CTransactionRecord record;
    record.Decode(Line(fields));
    EXPECT_EQ(record.IsCredit(), c.credit) << '"' << c.code << '"';
  }
  EXPECT_FALSE(CTransactionRecord().IsCredit());
}

TEST(TransactionRecord, ReferenceJoinsOriginatorReferenceAndAccountName) {
  CTransactionRecord record;
  record.Decode(Line(Fields()));
  EXPECT_EQ(record.Reference().View(), "INV 20231          SAMPLE TRADING    ");
  EXPECT_EQ(record.Reference().Length(), 37u);

  Fields blankReference;
  blankReference.originatorReference = std::string(18, ' ');
  record.Decode(Line(blankReference));
  EXPECT_EQ(record.Reference().View(), std::string(19, ' ') + "SAMPLE TRADING    ");

  EXPECT_EQ(CTransactionRecord().Reference().View(), "");
}

TEST(TransactionRecord, ClearsToBlankAndCopiesByValue) {
  CTransactionRecord record;
  EXPECT_EQ(Describe(record), kBlank);
  record.Decode(Line(Fields()));
  const CTransactionRecord copy(record);
  CTransactionRecord assigned;
  assigned = record;
  record.Clear();
  EXPECT_EQ(Describe(record), kBlank);
  EXPECT_EQ(record.Reference().View(), "");
  EXPECT_EQ(Describe(copy), Describe(assigned));
  EXPECT_EQ(copy.SortCode().View(), "123456");
  EXPECT_EQ(copy.Amount(), 123.45);
}

}  // namespace
}  // namespace kelvarn
