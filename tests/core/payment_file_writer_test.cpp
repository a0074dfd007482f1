#include "payment/payment_file_writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "common/digits.h"
#include "common/ole_date.h"

namespace kelvarn {
namespace {

using Log = std::vector<std::string>;

// The values a host payment hands over; a property named in `failingReads` fails its read.
struct PaymentValues {
  double amount = 1234.5;
  HostString payerSortCode = u"12-34-56";
  HostString payerAccountNumber = u"12345678";
  HostString payerAccountName = u"Acme Payroll Ltd";
  HostString payeeSortCode = u"65-43-21";
  HostString payeeAccountNumber = u"87654321";
  HostString payeeAccountName = u"Trelk Supplies";
  std::set<std::string> failingReads;
};

// A host payment that records every call, in order, into a shared log.
class RecordingPayment final : public PaymentReader {
 public:
  RecordingPayment(PaymentValues values, Log& log) : values_(std::move(values)), log_(log) {}

  bool GetAmount(double& value) override {
    if (!Read("Amount")) return false;
    value = values_.amount;
    return true;
  }
  bool GetPayerSortCode(HostString& value) override { return ReadText("PayerSortCode", values_.payerSortCode, value); }
  bool GetPayerAccountNumber(HostString& value) override {
    return ReadText("PayerAccountNumber", values_.payerAccountNumber, value);
  }
  bool GetPayerAccountName(HostString& value) override {
    return ReadText("PayerAccountName", values_.payerAccountName, value);
  }
  bool GetPayeeSortCode(HostString& value) override { return ReadText("PayeeSortCode", values_.payeeSortCode, value); }
  bool GetPayeeAccountNumber(HostString& value) override {
    return ReadText("PayeeAccountNumber", values_.payeeAccountNumber, value);
  }
  bool GetPayeeAccountName(HostString& value) override {
    return ReadText("PayeeAccountName", values_.payeeAccountName, value);
  }
  void PutResultCode(std::int32_t code) override { log_.push_back("put ResultCode " + std::to_string(code)); }

 private:
  bool Read(const std::string& name) {
    log_.push_back("get " + name);
    return values_.failingReads.count(name) == 0;
  }
  bool ReadText(const std::string& name, const HostString& stored, HostString& value) {
    if (!Read(name)) {
      value = u"should not be used";
      return false;
    }
    value = stored;
    return true;
  }

  PaymentValues values_;
  Log& log_;
};

// Records the writes into the same log, so the order of reads, puts and writes shows.
class RecordingSink final : public ByteSink {
 public:
  explicit RecordingSink(Log& log) : log_(log) {}
  void Write(std::string_view bytes) override {
    log_.push_back("write " + std::string(bytes));
    bytes_.append(bytes);
  }
  const std::string& Bytes() const { return bytes_; }

 private:
  Log& log_;
  std::string bytes_;
};

double Date(int year, int month, int day) { return static_cast<double>(OleDayNumberFromCivil(year, month, day)); }

const double kProcessingDate = Date(2008, 3, 5) + 0.6;  // the time of day is not written

struct WriteResult {
  bool passed;
  std::string line;
  Log calls;
};

WriteResult Write(const PaymentValues& values, double processingDate = kProcessingDate) {
  Log log;
  RecordingPayment payment(values, log);
  RecordingSink sink(log);
  const bool passed = PaymentFileWriter::WritePaymentLine(sink, payment, processingDate);
  return {passed, sink.Bytes(), log};
}

// The result code puts of a call log, in order.
std::vector<int> Puts(const Log& calls) {
  std::vector<int> codes;
  for (const std::string& call : calls) {
    if (call.rfind("put ResultCode ", 0) == 0) codes.push_back(std::stoi(call.substr(15)));
  }
  return codes;
}

TEST(PaymentFileWriter, ValidPaymentCallsAndLine) {
  PaymentValues values;
  values.payeeAccountName = u"O'Brien & Sons (Dublin) Ltd";
  const WriteResult result = Write(values);
  EXPECT_TRUE(result.passed);
  EXPECT_EQ(result.calls, (Log{
                              "write \"CMII\",\"1.0\",",
                              "get PayerSortCode",
                              "get PayerAccountNumber",
                              "write \"12345612345678\",\"\",",
                              "get PayeeSortCode",
                              "get PayeeAccountNumber",
                              "write \"65432187654321\",",
                              "get Amount",
                              "write \"1234.50\",\"05032008\",\"EUR\",\"E\",",
                              "get PayeeAccountName",
                              "write \"OBrien  Sons Dubli\",\"OBrien  Sons Dubli\",",
                              "get PayerAccountName",
                              "write \"Acme Payroll Ltd\",\"\",\"\",\"\",\"\",\"Acme Payroll Ltd\",\"\",\"\"\r\n",
                          }));
  EXPECT_EQ(result.line,
            "\"CMII\",\"1.0\",\"12345612345678\",\"\",\"65432187654321\",\"1234.50\",\"05032008\",\"EUR\",\"E\","
            "\"OBrien  Sons Dubli\",\"OBrien  Sons Dubli\",\"Acme Payroll Ltd\",\"\",\"\",\"\",\"\","
            "\"Acme Payroll Ltd\",\"\",\"\"\r\n");
}

TEST(PaymentFileWriter, EveryCheckFailsAtItsPlaceAndTheLastCodeStays) {
  PaymentValues values;
  values.payerSortCode = u"1234";
  values.payerAccountNumber = u"1234567";
  values.payeeSortCode = std::nullopt;
  values.payeeAccountNumber = u"123456789";
  values.amount = -5;
  values.payeeAccountName = std::nullopt;
  values.payerAccountName = u"\u2014";  // an em dash: nothing is left of it
  const WriteResult result = Write(values);
  EXPECT_FALSE(result.passed);
  EXPECT_EQ(result.calls, (Log{
                              "write \"CMII\",\"1.0\",",   "get PayerSortCode",
                              "put ResultCode 23",         "get PayerAccountNumber",
                              "put ResultCode 24",         "write \"00123401234567\",\"\",",
                              "get PayeeSortCode",         "put ResultCode 28",
                              "get PayeeAccountNumber",    "put ResultCode 29",
                              "write \"00000012345678\",", "get Amount",
                              "put ResultCode 21",         "write \"-5.00\",\"05032008\",\"EUR\",\"E\",",
                              "get PayeeAccountName",      "put ResultCode 30",
                              "write \"\",\"\",",          "get PayerAccountName",
                              "put ResultCode 25",         "write \"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n",
                          }));
}

// The variable fields of a line: 3, 5, 6, 10 (and 11), 12 (and 17).
std::string Line(const std::string& payer, const std::string& payee, const std::string& amount,
                 const std::string& payeeName, const std::string& payerName, const std::string& date = "05032008") {
  return "\"CMII\",\"1.0\",\"" + payer + "\",\"\",\"" + payee + "\",\"" + amount + "\",\"" + date +
         "\",\"EUR\",\"E\",\"" + payeeName + "\",\"" + payeeName + "\",\"" + payerName + "\",\"\",\"\",\"\",\"\",\"" +
         payerName + "\",\"\",\"\"\r\n";
}

struct LineCase {
  const char* name;
  void (*change)(PaymentValues&);
  std::vector<int> puts;
  std::string line;
};

const std::string kPayer = "12345612345678";
const std::string kPayee = "65432187654321";
const std::string kPayeeName = "Trelk Supplies";
const std::string kPayerName = "Acme Payroll Ltd";
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInfinity = std::numeric_limits<double>::infinity();

const LineCase kLineCases[] = {
    {"sort code 1234 is short",
     [](PaymentValues& v) { v.payerSortCode = u"1234"; },
     {23},
     Line("00123412345678", kPayee, "1234.50", kPayeeName, kPayerName)},
    {"sort code digits beyond six are cut",
     [](PaymentValues& v) { v.payeeSortCode = u"65-43-21-9"; },
     {28},
     Line(kPayer, "65432187654321", "1234.50", kPayeeName, kPayerName)},
    {"null sort code",
     [](PaymentValues& v) { v.payerSortCode = std::nullopt; },
     {23},
     Line("00000012345678", kPayee, "1234.50", kPayeeName, kPayerName)},
    {"account number 1234567 is short",
     [](PaymentValues& v) { v.payerAccountNumber = u"1234567"; },
     {24},
     Line("12345601234567", kPayee, "1234.50", kPayeeName, kPayerName)},
    {"account number 123456789 is long",
     [](PaymentValues& v) { v.payerAccountNumber = u"123456789"; },
     {24},
     Line("12345612345678", kPayee, "1234.50", kPayeeName, kPayerName)},
    {"account number with a blank passes",
     [](PaymentValues& v) { v.payerAccountNumber = u"1234 567"; },
     {},
     Line("1234561234 567", kPayee, "1234.50", kPayeeName, kPayerName)},
    {"account number with a quote",
     [](PaymentValues& v) { v.payeeAccountNumber = u"8765\"321"; },
     {29},
     Line(kPayer, "65432108765321", "1234.50", kPayeeName, kPayerName)},
    {"account number with comma, CR and LF",
     [](PaymentValues& v) { v.payeeAccountNumber = u"87,6\r\n54"; },
     {29},
     Line(kPayer, "65432100087654", "1234.50", kPayeeName, kPayerName)},
    {"account number ending above U+00FF",
     [](PaymentValues& v) { v.payerAccountNumber = u"12345678\u20AC"; },
     {24},
     Line("12345612345678", kPayee, "1234.50", kPayeeName, kPayerName)},
    {"sort code ending above U+00FF",
     [](PaymentValues& v) { v.payerSortCode = u"123456\u0663"; },
     {23},
     Line("12345612345678", kPayee, "1234.50", kPayeeName, kPayerName)},
    {"amount 0", [](PaymentValues& v) { v.amount = 0; }, {21}, Line(kPayer, kPayee, "0.00", kPayeeName, kPayerName)},
    {"amount -5", [](PaymentValues& v) { v.amount = -5; }, {21}, Line(kPayer, kPayee, "-5.00", kPayeeName, kPayerName)},
    {"amount 0.000005 rounds to no cent",
     [](PaymentValues& v) { v.amount = 0.000005; },
     {21},
     Line(kPayer, kPayee, "0.00", kPayeeName, kPayerName)},
    {"amount 0.004 rounds to no cent",
     [](PaymentValues& v) { v.amount = 0.004; },
     {21},
     Line(kPayer, kPayee, "0.00", kPayeeName, kPayerName)},
    {"amount 0.000006 rounds to no cent",
     [](PaymentValues& v) { v.amount = 0.000006; },
     {21},
     Line(kPayer, kPayee, "0.00", kPayeeName, kPayerName)},
    {"amount just below 0.005",
     [](PaymentValues& v) { v.amount = std::nextafter(0.005, 0.0); },
     {21},
     Line(kPayer, kPayee, "0.00", kPayeeName, kPayerName)},
    {"amount 0.005 rounds up to a cent",
     [](PaymentValues& v) { v.amount = 0.005; },
     {},
     Line(kPayer, kPayee, "0.01", kPayeeName, kPayerName)},
    {"amount 0.01",
     [](PaymentValues& v) { v.amount = 0.01; },
     {},
     Line(kPayer, kPayee, "0.01", kPayeeName, kPayerName)},
    {"amount 10.004 is written rounded",
     [](PaymentValues& v) { v.amount = 10.004; },
     {},
     Line(kPayer, kPayee, "10.00", kPayeeName, kPayerName)},
    {"negative amount rounding to zero",
     [](PaymentValues& v) { v.amount = -0.001; },
     {21},
     Line(kPayer, kPayee, "-0.00", kPayeeName, kPayerName)},
    {"amount tie rounds away from zero",
     [](PaymentValues& v) { v.amount = 2.375; },
     {},
     Line(kPayer, kPayee, "2.38", kPayeeName, kPayerName)},
    {"amount not a number",
     [](PaymentValues& v) { v.amount = kNaN; },
     {21},
     Line(kPayer, kPayee, "0.00", kPayeeName, kPayerName)},
    {"amount infinite",
     [](PaymentValues& v) { v.amount = kInfinity; },
     {21},
     Line(kPayer, kPayee, "0.00", kPayeeName, kPayerName)},
    {"amount minus infinity",
     [](PaymentValues& v) { v.amount = -kInfinity; },
     {21},
     Line(kPayer, kPayee, "0.00", kPayeeName, kPayerName)},
    {"empty payee name",
     [](PaymentValues& v) { v.payeeAccountName = u""; },
     {30},
     Line(kPayer, kPayee, "1234.50", "", kPayerName)},
    {"payee name of punctuation",
     [](PaymentValues& v) { v.payeeAccountName = u"&*()!"; },
     {30},
     Line(kPayer, kPayee, "1234.50", "", kPayerName)},
    {"null payer name",
     [](PaymentValues& v) { v.payerAccountName = std::nullopt; },
     {25},
     Line(kPayer, kPayee, "1234.50", kPayeeName, "")},
    {"empty payer name",
     [](PaymentValues& v) { v.payerAccountName = u""; },
     {25},
     Line(kPayer, kPayee, "1234.50", kPayeeName, "")},
    {"amount and payee name fail: the payee name's code stays",
     [](PaymentValues& v) {
       v.amount = 0;
       v.payeeAccountName = u"--";
     },
     {21, 30},
     Line(kPayer, kPayee, "0.00", "", kPayerName)},
    {"payee and payer names fail: the payer name's code stays",
     [](PaymentValues& v) {
       v.payeeAccountName = u" ";
       v.payerAccountName = u"?";
     },
     {30, 25},
     Line(kPayer, kPayee, "1234.50", " ", "")},
    {"amount and payer name fail: the payer name's code stays",
     [](PaymentValues& v) {
       v.amount = -1;
       v.payerAccountName = std::nullopt;
     },
     {21, 25},
     Line(kPayer, kPayee, "-1.00", kPayeeName, "")},
    {"CR and LF in names become blanks",
     [](PaymentValues& v) {
       v.payeeAccountName = u"Line\r\nTwo";
       v.payerAccountName = u"A\tB\"C,D\vE";
     },
     {},
     Line(kPayer, kPayee, "1234.50", "Line  Two", "A\tBCD\vE")},
    {"a NUL ends a name",
     [](PaymentValues& v) { v.payeeAccountName = std::u16string(u"Ab\0Cd", 5); },
     {},
     Line(kPayer, kPayee, "1234.50", "Ab", kPayerName)},
    {"a name of only a NUL is empty",
     [](PaymentValues& v) { v.payeeAccountName = std::u16string(1, u'\0'); },
     {30},
     Line(kPayer, kPayee, "1234.50", "", kPayerName)},
    {"names are cut to 18 characters",
     [](PaymentValues& v) {
       v.payeeAccountName = u"Abcdefghijklmnopqrstuvwxyz";
       v.payerAccountName = u"0123456789 0123456789";
     },
     {},
     Line(kPayer, kPayee, "1234.50", "Abcdefghijklmnopqr", "0123456789 0123456")},
    {"failed reads count as empty and 0",
     [](PaymentValues& v) {
       v.failingReads = {"PayerSortCode", "PayeeAccountNumber", "Amount", "PayeeAccountName", "PayerAccountName"};
     },
     {23, 29, 21, 30, 25},
     Line("00000012345678", "65432100000000", "0.00", "", "")},
};

TEST(PaymentFileWriter, ChecksAndWrittenFields) {
  for (const LineCase& lineCase : kLineCases) {
    PaymentValues values;
    lineCase.change(values);
    const WriteResult result = Write(values);
    EXPECT_EQ(result.passed, lineCase.puts.empty()) << lineCase.name;
    EXPECT_EQ(Puts(result.calls), lineCase.puts) << lineCase.name;
    EXPECT_EQ(result.line, lineCase.line) << lineCase.name;
  }
}

// Payee and payer names in ASCII: the same text as either name gives the same field; a name with
// no letter or digit left fails its check (30 for the payee, then 25 for the payer).
TEST(PaymentFileWriter, NamesTakeTheirAsciiFormAndNeedALetterOrDigit) {
  const struct {
    const char* label;
    std::u16string name;
    std::string field;
    bool isName;
  } cases[] = {
      {"typographic apostrophe and ampersand", u"O\u2019Brien & Sons", "OBrien  Sons", true},
      {"en dash", u"Smith \u2013 Jones Ltd", "Smith  Jones Ltd", true},
      {"e with acute", u"Caf\u00E9 Noir", "Cafe Noir", true},
      {"u with diaeresis", u"M\u00FCller GmbH", "Muller GmbH", true},
      {"Polish letters", u"\u0141\u00F3d\u017A Trading", "Lodz Trading", true},
      {"sharp s", u"Gro\u00DFmann", "Grossmann", true},
      {"O with stroke", u"\u00D8resund Shipping", "Oresund Shipping", true},
      {"AE and o with stroke", u"\u00C6r\u00F8 Fiskeri", "AEro Fiskeri", true},
      {"letters with two marks", u"Nguy\u1EC5n V\u0103n Thi\u1EC7u", "Nguyen Van Thieu", true},
      {"S with cedilla, O with acute, n with tilde", u"\u015Eahin \u00D3buda Pe\u00F1a", "Sahin Obuda Pena", true},
      {"u with double acute and OE", u"Sz\u0171cs \u0152uvre", "Szucs OEuvre", true},
      {"thorn and D with stroke", u"\u00DEorsson \u0110or\u0111e", "THorsson Dorde", true},
      {"digraph Dz and ligature IJ", u"\u01C5ura \u0132sselmeer", "Dzura IJsselmeer", true},
      {"a combining mark after its letter", u"Jose\u0301 Luis", "Jose Luis", true},
      {"dotless i, D with stroke, eth", u"Y\u0131ld\u0131z \u0110\u00D0", "Yildiz DD", true},
      {"Latin letters without an ASCII form", u"\u014Aa\u0138a", "aa", true},
      {"Greek", u"\u03A0\u03B1\u03C0\u03B1\u03B4\u03CC\u03C0\u03BF\u03C5\u03BB\u03BF\u03C2", "", false},
      {"Greek words leave their blank", u"\u0391\u03B8\u03AE\u03BD\u03B1 \u039A\u03BF", " ", false},
      {"emoji between words", u"Rose \U0001F339 Florist", "Rose  Florist", true},
      {"emoji between letters", u"Caf\u00E9\U0001F600Bar", "CafeBar", true},
      {"lone surrogates", std::u16string{u'A', u'b', char16_t{0xD800}, u'C', char16_t{0xDC00}, u'd'}, "AbCd", true},
      {"punctuation only", u"&*()!-'.,\"", "", false},
      {"symbols of Latin-1", u"\u00A3100 \u00A9 \u00AE Ltd", "100   Ltd", true},
      {"no-break space", u"Acme\u00A0Ltd", "Acme Ltd", true},
      {"other space separators", u"A\u2000B\u200AC\u205FD\u1680E\u202FF\u3000G", "A B C D E F G", true},
      {"white space only", u" \t\r\n", " \t  ", false},
      {"space separators only", u"\u00A0\u3000", "  ", false},
      {"digits only", u"1234", "1234", true},
      {"sharp s within the field", u"Schloss Bergstra\u00DFe AG", "Schloss Bergstrass", true},
      {"AE across the field's end", u"Pedersen Lund Og \u00C6r\u00F8", "Pedersen Lund Og A", true},
      {"letters only after the field's 18 blanks", std::u16string(20, u' ') + u"Late", std::string(18, ' '), false},
  };
  for (const auto& nameCase : cases) {
    PaymentValues values;
    values.payeeAccountName = nameCase.name;
    values.payerAccountName = nameCase.name;
    const WriteResult result = Write(values);
    const std::vector<int> puts = nameCase.isName ? std::vector<int>() : std::vector<int>{30, 25};
    EXPECT_EQ(Puts(result.calls), puts) << nameCase.label;
    EXPECT_EQ(result.line, Line(kPayer, kPayee, "1234.50", nameCase.field, nameCase.field)) << nameCase.label;
  }
}

// Values beyond the 256-byte work area: only their first 256 bytes count.
TEST(PaymentFileWriter, LongValuesAreCut) {
  PaymentValues values;
  values.payerSortCode = std::u16string(300, u'7');
  values.payerAccountNumber = u"1234567" + std::u16string(300, u'8');
  values.payeeAccountName = std::u16string(250, u'.') + u"Hidden beyond the work area";
  values.payerAccountName = std::u16string(1000, u'x');
  const WriteResult result = Write(values);
  EXPECT_EQ(Puts(result.calls), (std::vector<int>{23, 24}));
  EXPECT_EQ(result.line, Line("77777712345678", kPayee, "1234.50", "Hidden", "xxxxxxxxxxxxxxxxxx"));

  values.payeeAccountName = std::u16string(256, u'.') + u"Beyond the work area";
  EXPECT_EQ(Puts(Write(values).calls), (std::vector<int>{23, 24, 30}));
}

TEST(PaymentFileWriter, DateFieldIsDayMonthYear) {
  const struct {
    double date;
    const char* field;
  } cases[] = {
      {Date(2008, 3, 5), "05032008"},
      {Date(2008, 3, 5) + 0.999, "05032008"},
      {Date(2010, 12, 31) + 0.5, "31122010"},
      {Date(100, 1, 1), "01010100"},
      {Date(9999, 12, 31) + 0.75, "31129999"},
      {kNaN, "00000000"},
      {1e300, "00000000"},
  };
  for (const auto& dateCase : cases) {
    EXPECT_EQ(Write(PaymentValues{}, dateCase.date).line,
              Line(kPayer, kPayee, "1234.50", kPayeeName, kPayerName, dateCase.field))
        << dateCase.date;
  }
}

// The filters the writer applies: the sort code's digits and the name rule.
TEST(PaymentFileWriter, DigitFilterAndNameRule) {
  EXPECT_EQ(DigitsOf("12-34-56"), "123456");
  EXPECT_EQ(DigitsOf(" a1\xB2"
                     "2 ? 3"),
            "123");  // superscript two (0xB2) is no digit
  EXPECT_EQ(DigitsOf(""), "");
  const auto keptInName = [](std::string_view text) {
    std::string kept;
    for (const char byte : text) {
      if (PaymentFileWriter::KeepsInName(byte)) kept.push_back(byte);
    }
    return kept;
  };
  std::string everyByte;
  for (int byte = 1; byte < 256; ++byte) everyByte.push_back(static_cast<char>(byte));
  EXPECT_EQ(keptInName(everyByte), "\t\n\v\f\r 0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  EXPECT_EQ(keptInName("O'Brien & Sons (Dublin) Ltd"), "OBrien  Sons Dublin Ltd");
}

// A whole file as the export writes it: binary stream, one line per payment, CR LF each.
TEST(PaymentFileWriter, WholeFileByteForByte) {
  std::FILE* file = std::tmpfile();
  ASSERT_NE(file, nullptr);
  PaymentValues first;
  PaymentValues second;
  second.payeeSortCode = u"65 43 2";
  second.amount = 0.625;
  PaymentValues third;
  third.payerAccountName = u"Kelvarn \u00C9ire\r\nBranch";
  third.amount = 99999999.99;
  Log log;
  FileByteSink sink(file);
  std::vector<bool> passed;
  for (const PaymentValues& values : {first, second, third}) {
    RecordingPayment payment(values, log);
    passed.push_back(PaymentFileWriter::WritePaymentLine(sink, payment, Date(2009, 12, 29)));
  }
  EXPECT_FALSE(sink.Failed());
  EXPECT_EQ(passed, (std::vector<bool>{true, false, true}));
  EXPECT_EQ(Puts(log), (std::vector<int>{28}));

  std::string bytes;
  std::rewind(file);
  for (int byte = std::fgetc(file); byte != EOF; byte = std::fgetc(file)) bytes.push_back(static_cast<char>(byte));
  std::fclose(file);
  EXPECT_EQ(
      bytes,
      "\"CMII\",\"1.0\",\"12345612345678\",\"\",\"65432187654321\",\"1234.50\",\"29122009\",\"EUR\",\"E\","
      "\"Trelk Supplies\",\"Trelk Supplies\",\"Acme Payroll Ltd\",\"\",\"\",\"\",\"\",\"Acme Payroll "
      "Ltd\",\"\",\"\"\r\n"
      "\"CMII\",\"1.0\",\"12345612345678\",\"\",\"06543287654321\",\"0.63\",\"29122009\",\"EUR\",\"E\","
      "\"Trelk Supplies\",\"Trelk Supplies\",\"Acme Payroll Ltd\",\"\",\"\",\"\",\"\",\"Acme Payroll "
      "Ltd\",\"\",\"\"\r\n"
      "\"CMII\",\"1.0\",\"12345612345678\",\"\",\"65432187654321\",\"99999999.99\",\"29122009\",\"EUR\",\"E\","
      "\"Trelk Supplies\",\"Trelk Supplies\",\"Kelvarn Eire  Bran\",\"\",\"\",\"\",\"\",\"Kelvarn Eire  Bran\",\"\","
      "\"\"\r\n");
}

}  // namespace
}  // namespace kelvarn
