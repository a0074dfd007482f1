#include "payment/payment_file_writer.h"

#include <algorithm>
#include <cmath>

#include "common/ascii_transliteration.h"
#include "common/digits.h"
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

using TextRead = bool (PaymentReader::*)(HostString&);

// A failed read counts as an empty text, as does a null string.
SingleByteText ReadValue(PaymentReader& payment, TextRead read) {
  HostString value;
  if (!(payment.*read)(value) || !value) return SingleByteText{std::string(), true};
  const std::u16string& text = *value;
  return ToSingleByte(text.data(), text.size(), kValueCapacity);
}

// These would break the line's quoted, comma-separated structure.
bool BreaksLine(char byte) { return byte == '"' || byte == ',' || byte == '\r' || byte == '\n'; }

void Fail(PaymentReader& payment, std::int32_t code, bool& passed) {
  payment.PutResultCode(code);
  passed = false;
}

// The 14 characters of a bank account's field: the sort code's first six digits and the account
// number's first eight kept bytes, each zero-padded on the left to its width. A fixed buffer:
// no allocation per line.
class BankAccountField {
 public:
  // Keeps the first `width` bytes that `keep` takes; returns how many bytes it took in all.
  template <typename Keep>
  std::size_t Put(std::size_t offset, std::size_t width, std::string_view text, Keep keep) {
    char kept[kAccountNumberWidth];
    std::size_t count = 0;
    for (const char byte : text) {
      if (!keep(byte)) continue;
      if (count < width) kept[count] = byte;
      ++count;
    }
    const std::size_t used = std::min(count, width);
    std::fill(bytes_ + offset, bytes_ + offset + (width - used), '0');
    std::copy(kept, kept + used, bytes_ + offset + (width - used));
    return count;
  }
  std::string_view View() const { return std::string_view(bytes_, sizeof bytes_); }

 private:
  char bytes_[kSortCodeWidth + kAccountNumberWidth] = {};
};

// Reads a sort code and account number, checks them and gives field text of 14 characters.
BankAccountField ReadBankAccount(PaymentReader& payment, TextRead readSortCode, TextRead readAccountNumber,
                                 std::int32_t sortCodeCode, std::int32_t accountNumberCode, bool& passed) {
  BankAccountField field;
  const SingleByteText sortCode = ReadValue(payment, readSortCode);
  const std::size_t digits = field.Put(0, kSortCodeWidth, sortCode.text, [](char byte) { return IsDigit(byte); });
  // A value the conversion could not take whole is not the host's value: it fails its check.
  if (digits != kSortCodeWidth || !sortCode.complete) Fail(payment, sortCodeCode, passed);

  const SingleByteText accountNumber = ReadValue(payment, readAccountNumber);
  const std::size_t written =
      field.Put(kSortCodeWidth, kAccountNumberWidth, accountNumber.text, [](char byte) { return !BreaksLine(byte); });
  const bool breaksLine = written != accountNumber.text.size();
  if (accountNumber.text.size() != kAccountNumberWidth || breaksLine || !accountNumber.complete) {
    Fail(payment, accountNumberCode, passed);
  }
  return field;
}

bool IsLetterOrDigit(char byte) {
  return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || IsDigit(byte);
}

// The host's text of a name; empty when the read failed (which counts as no text).
HostString ReadName(PaymentReader& payment, TextRead read) {
  HostString value;
  if (!(payment.*read)(value)) value.reset();
  return value;
}

// A name's field, built straight from the host's text into a fixed buffer (no allocation per
// line). Of the host's first 256 characters, up to a NUL: ASCII letters, digits and white space
// stay, CR and LF becoming blanks so the name stays on its line; every other character gives its
// ASCII transliteration or nothing (so a surrogate pair, never half of one, is dropped). The
// result is cut to the field's width.
class NameField {
 public:
  explicit NameField(const HostString& value) {
    if (!value) return;
    const std::size_t end = std::min(value->size(), kValueCapacity);
    for (std::size_t index = 0; index < end; ++index) {
      if (length_ == kNameWidth) break;
      const char16_t unit = (*value)[index];
      if (unit == u'\0') break;
      if (unit < 0x80) {
        const char byte = static_cast<char>(unit);
        if (PaymentFileWriter::KeepsInName(byte)) Put(byte == '\r' || byte == '\n' ? ' ' : byte);
      } else {
        for (const char byte : AsciiTransliteration(unit)) Put(byte);
      }
    }
  }
  std::string_view View() const { return std::string_view(bytes_, length_); }
  // A field with no letter or digit (empty or white space only) gives the bank no name, even
  // when the host's text has letters past the field's end.
  bool IsName() const { return hasLetterOrDigit_; }

 private:
  void Put(char byte) {
    if (length_ == kNameWidth) return;
    bytes_[length_++] = byte;
    if (IsLetterOrDigit(byte)) hasLetterOrDigit_ = true;
  }

  char bytes_[kNameWidth] = {};
  std::size_t length_ = 0;
  bool hasLetterOrDigit_ = false;
};

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

  const BankAccountField payer =
      ReadBankAccount(payment, &PaymentReader::GetPayerSortCode, &PaymentReader::GetPayerAccountNumber,
                      kInvalidPayerSortCode, kInvalidPayerAccountNumber, passed);
  AppendQuoted(piece, payer.View());
  piece.append(",\"\",");
  file.Write(piece);

  const BankAccountField payee =
      ReadBankAccount(payment, &PaymentReader::GetPayeeSortCode, &PaymentReader::GetPayeeAccountNumber,
                      kInvalidPayeeSortCode, kInvalidPayeeAccountNumber, passed);
  piece.clear();
  AppendQuoted(piece, payee.View());
  piece.push_back(',');
  file.Write(piece);

  double amount = 0.0;
  if (!payment.GetAmount(amount)) amount = 0.0;  // a failed read counts as 0, which fails the check
  const std::string amountField = FormatAmount(amount);
  // Not-a-number and infinities are no amount (written as 0.00); nor is a positive amount that
  // rounds to no cent, which the bank would read as a payment of 0.00.
  if (!(amount > 0.0) || !std::isfinite(amount) || amountField == "0.00") Fail(payment, kInvalidAmount, passed);
  piece.clear();
  AppendQuoted(piece, amountField);
  piece.push_back(',');
  AppendQuoted(piece, DateField(processingDate));
  piece.append(",\"EUR\",\"E\",");
  file.Write(piece);

  const NameField payeeField(ReadName(payment, &PaymentReader::GetPayeeAccountName));
  if (!payeeField.IsName()) Fail(payment, kInvalidPayeeAccountName, passed);
  piece.clear();
  AppendQuoted(piece, payeeField.View());
  piece.push_back(',');
  AppendQuoted(piece, payeeField.View());
  piece.push_back(',');
  file.Write(piece);

  const NameField payerField(ReadName(payment, &PaymentReader::GetPayerAccountName));
  if (!payerField.IsName()) Fail(payment, kInvalidPayerAccountName, passed);
  piece.clear();
  AppendQuoted(piece, payerField.View());
  piece.append(",\"\",\"\",\"\",\"\",");
  AppendQuoted(piece, payerField.View());
  piece.append(",\"\",\"\"\r\n");
  file.Write(piece);
  return passed;
}

bool PaymentFileWriter::KeepsInName(char byte) noexcept {
  return IsLetterOrDigit(byte) || byte == ' ' || (byte >= '\t' && byte <= '\r');
}

}  // namespace kelvarn
