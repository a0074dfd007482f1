#include "payment/payment_file_writer.h"

#include <algorithm>
#include <cmath>

#include "common/host_text.h"
#include "common/ole_date.h"
#include "payment/amount_format.h"

namespace kelvarn {
namespace {

// Only the first 256 bytes of a converted value count; the rest is cut.
constexpr std::size_t kValueCapacity = 256;
constexpr std::size_t kSortCodeWidth = 6;
constexpr std::size_t kAccountNumberWidth = 8;
constexpr std::size_t kNameWidth = 18;
constexpr double kSmallestAmount = 0.000005;

using TextRead = bool (PaymentReader::*)(HostString&);

// A failed read counts as an empty text, as does a null string.
SingleByteText ReadValue(PaymentReader& payment, TextRead read, bool* nullOrEmpty = nullptr) {
  HostString value;
  const bool succeeded = (payment.*read)(value);
  if (!succeeded || !value) {
    if (nullOrEmpty != nullptr) *nullOrEmpty = true;
    return SingleByteText{std::string(), true};
  }
  if (nullOrEmpty != nullptr) *nullOrEmpty = value->empty();
  return ToSingleByte(value->data(), value->size(), kValueCapacity);
}

std::string DigitsOf(std::string_view text) {
  std::string digits;
  for (const char byte : text) {
    if (byte >= '0' && byte <= '9') digits.push_back(byte);
  }
  return digits;
}

// These would break the line's quoted, comma-separated structure.
bool BreaksLine(char byte) { return byte == '"' || byte == ',' || byte == '\r' || byte == '\n'; }

std::string ZeroPadded(std::string_view text, std::size_t width) {
  const std::string_view kept = text.substr(0, width);
  return std::string(width - kept.size(), '0').append(kept);
}

void Fail(PaymentReader& payment, std::int32_t code, bool& passed) {
  payment.PutResultCode(code);
  passed = false;
}

// Reads a sort code and account number, checks them and gives field text of 14 characters.
std::string ReadBankAccount(PaymentReader& payment, TextRead readSortCode, TextRead readAccountNumber,
                            std::int32_t sortCodeCode, std::int32_t accountNumberCode, bool& passed) {
  const SingleByteText sortCode = ReadValue(payment, readSortCode);
  const std::string digits = DigitsOf(sortCode.text);
  // A value the conversion could not take whole is not the host's value: it fails its check.
  if (digits.size() != kSortCodeWidth || !sortCode.complete) Fail(payment, sortCodeCode, passed);

  const SingleByteText accountNumber = ReadValue(payment, readAccountNumber);
  std::string written;
  bool breaksLine = false;
  for (const char byte : accountNumber.text) {
    if (BreaksLine(byte)) {
      breaksLine = true;
    } else {
      written.push_back(byte);
    }
  }
  if (accountNumber.text.size() != kAccountNumberWidth || breaksLine || !accountNumber.complete) {
    Fail(payment, accountNumberCode, passed);
  }
  return ZeroPadded(digits, kSortCodeWidth) + ZeroPadded(written, kAccountNumberWidth);
}

// Letters, digits and white space, with CR and LF as blanks so the name stays on its line.
std::string NameField(std::string_view text) {
  std::string name = PaymentFileWriter::KeepAlnumSpace(text);
  for (char& byte : name) {
    if (byte == '\r' || byte == '\n') byte = ' ';
  }
  name.resize(std::min(name.size(), kNameWidth));
  return name;
}

void AppendTwoDigits(std::string& text, int value) {
  text.push_back(static_cast<char>('0' + value / 10 % 10));
  text.push_back(static_cast<char>('0' + value % 10));
}

// DDMMYYYY of the date's day; a date outside the OLE range (never accepted by the date dialog)
// gives "00000000".
std::string DateField(double processingDate) {
  if (!(processingDate >= kMinOleDate && processingDate <= kMaxOleDate)) return "00000000";
  int year = 0, month = 0, day = 0;
  CivilFromOleDayNumber(static_cast<std::int64_t>(WholeDay(processingDate)), year, month, day);
  std::string text;
  AppendTwoDigits(text, day);
  AppendTwoDigits(text, month);
  AppendTwoDigits(text, year / 100);
  AppendTwoDigits(text, year % 100);
  return text;
}

// Appends `value` in quotes; the line's pieces are built in one reused buffer, so a line costs
// a handful of allocations at most.
void AppendQuoted(std::string& piece, std::string_view value) {
  piece.push_back('"');
  piece.append(value);
  piece.push_back('"');
}

}  // namespace

bool PaymentFileWriter::WritePaymentLine(ByteSink& file, PaymentReader& payment, double processingDate) {
  bool passed = true;
  file.Write("\"CMII\",\"1.0\",");
  std::string piece;
  piece.reserve(128);

  const std::string payer = ReadBankAccount(payment, &PaymentReader::GetPayerSortCode,
                                            &PaymentReader::GetPayerAccountNumber, kInvalidPayerSortCode,
                                            kInvalidPayerAccountNumber, passed);
  AppendQuoted(piece, payer);
  piece.append(",\"\",");
  file.Write(piece);

  const std::string payee = ReadBankAccount(payment, &PaymentReader::GetPayeeSortCode,
                                            &PaymentReader::GetPayeeAccountNumber, kInvalidPayeeSortCode,
                                            kInvalidPayeeAccountNumber, passed);
  piece.clear();
  AppendQuoted(piece, payee);
  piece.push_back(',');
  file.Write(piece);

  double amount = 0.0;
  if (!payment.GetAmount(amount)) amount = 0.0;  // a failed read counts as 0, which fails the check
  // Not-a-number and infinities are no amount: they fail the check and are written as 0.00.
  if (!(amount > kSmallestAmount) || !std::isfinite(amount)) Fail(payment, kInvalidAmount, passed);
  piece.clear();
  AppendQuoted(piece, FormatAmount(amount));
  piece.push_back(',');
  AppendQuoted(piece, DateField(processingDate));
  piece.append(",\"EUR\",\"E\",");
  file.Write(piece);

  bool payeeNameMissing = false;
  const SingleByteText payeeName = ReadValue(payment, &PaymentReader::GetPayeeAccountName, &payeeNameMissing);
  if (payeeNameMissing) Fail(payment, kMissingPayeeAccountName, passed);
  const std::string payeeField = NameField(payeeName.text);
  piece.clear();
  AppendQuoted(piece, payeeField);
  piece.push_back(',');
  AppendQuoted(piece, payeeField);
  piece.push_back(',');
  file.Write(piece);

  const SingleByteText payerName = ReadValue(payment, &PaymentReader::GetPayerAccountName);
  const std::string payerField = NameField(payerName.text);
  piece.clear();
  AppendQuoted(piece, payerField);
  piece.append(",\"\",\"\",\"\",\"\",");
  AppendQuoted(piece, payerField);
  piece.append(",\"\",\"\"\r\n");
  file.Write(piece);
  return passed;
}

std::string PaymentFileWriter::KeepDigits(std::u16string_view text) {
  return DigitsOf(ToSingleByte(text.data(), text.size(), kValueCapacity).text);
}

std::string PaymentFileWriter::KeepAlnumSpace(std::string_view text) {
  std::string kept;
  for (const char byte : text) {
    const bool letter = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z');
    const bool digit = byte >= '0' && byte <= '9';
    const bool space = byte == ' ' || (byte >= '\t' && byte <= '\r');
    if (letter || digit || space) kept.push_back(byte);
  }
  return kept;
}

}  // namespace kelvarn
