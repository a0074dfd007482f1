// Any values for the seven payment properties (null strings and failing reads included) and
// any amount and processing date through PaymentFileWriter::WritePaymentLine: the line keeps its
// structure, the host is called in order, and the result codes follow the checks.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/ascii_transliteration.h"
#include "fuzz/fuzz_check.h"
#include "payment/byte_sink.h"
#include "payment/payment_file_writer.h"

namespace kelvarn {
namespace {

struct TextProperty {
  bool readFails = false;
  HostString value;
};

TextProperty ConsumeText(FuzzedDataProvider& input) {
  TextProperty property;
  property.readFails = input.ConsumeBool();
  if (!input.ConsumeBool()) {
    const std::string bytes = input.ConsumeRandomLengthString(64);
    std::u16string text;
    for (std::size_t index = 0; index + 1 < bytes.size(); index += 2) {
      text.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[index]) |
                                           static_cast<unsigned char>(bytes[index + 1]) << 8));
    }
    property.value = text;
  }
  return property;
}

// Any double, not-a-number and infinities included.
double ConsumeDouble(FuzzedDataProvider& input) {
  const std::uint64_t bits = input.ConsumeIntegral<std::uint64_t>();
  double value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

class FuzzedPayment final : public PaymentReader {
 public:
  enum Property {
    kPayerSortCode,
    kPayerAccountNumber,
    kPayerAccountName,
    kPayeeSortCode,
    kPayeeAccountNumber,
    kPayeeAccountName,
    kTextProperties
  };

  explicit FuzzedPayment(FuzzedDataProvider& input) {
    for (TextProperty& text : texts_) text = ConsumeText(input);
    amountReadFails_ = input.ConsumeBool();
    amount_ = ConsumeDouble(input);
  }

  bool GetAmount(double& value) override {
    calls_.emplace_back("Amount");
    value = amountReadFails_ ? 777.0 : amount_;  // a failed read's value is not to be used
    return !amountReadFails_;
  }
  bool GetPayerSortCode(HostString& value) override { return Read("PayerSortCode", kPayerSortCode, value); }
  bool GetPayerAccountNumber(HostString& value) override {
    return Read("PayerAccountNumber", kPayerAccountNumber, value);
  }
  bool GetPayerAccountName(HostString& value) override { return Read("PayerAccountName", kPayerAccountName, value); }
  bool GetPayeeSortCode(HostString& value) override { return Read("PayeeSortCode", kPayeeSortCode, value); }
  bool GetPayeeAccountNumber(HostString& value) override {
    return Read("PayeeAccountNumber", kPayeeAccountNumber, value);
  }
  bool GetPayeeAccountName(HostString& value) override { return Read("PayeeAccountName", kPayeeAccountName, value); }
  void PutResultCode(std::int32_t code) override { puts_.push_back(code); }

  const std::vector<std::string>& Calls() const { return calls_; }
  const std::vector<std::int32_t>& Puts() const { return puts_; }
  const TextProperty& Text(Property property) const { return texts_[property]; }
  bool AmountReadFails() const { return amountReadFails_; }
  double AmountValue() const { return amount_; }

 private:
  bool Read(const char* name, Property property, HostString& value) {
    calls_.emplace_back(name);
    if (texts_[property].readFails) {
      value = u"not to be used";
      return false;
    }
    value = texts_[property].value;
    return true;
  }

  TextProperty texts_[kTextProperties];
  bool amountReadFails_ = false;
  double amount_ = 0.0;
  std::vector<std::string> calls_;
  std::vector<std::int32_t> puts_;
};

std::vector<std::string> SplitFields(const std::string& line) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = line.find(',', start);
    fields.push_back(line.substr(start, comma - start));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return fields;
}

bool IsDigits(const std::string& text) {
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

bool IsName(const std::string& text) {
  if (text.size() > 18) return false;
  for (const char c : text) {
    const bool allowed = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == ' ' ||
                         c == '\t' || c == '\v' || c == '\f';
    if (!allowed) return false;
  }
  return true;
}

bool IsAmount(const std::string& text) {
  std::size_t start = !text.empty() && text[0] == '-' ? 1 : 0;
  const std::size_t point = text.find('.');
  return point != std::string::npos && point > start && point + 3 == text.size() &&
         IsDigits(text.substr(start, point - start)) && IsDigits(text.substr(point + 1));
}

// Missing for the checks: a failed read, a null string or an empty one.
bool Missing(const TextProperty& text) { return text.readFails || !text.value || text.value->empty(); }

// The whole name as a plain string model of the writer's fixed buffer: of the first 256
// characters, up to a NUL, ASCII letters, digits and white space (CR and LF as blanks), and the
// ASCII form of every other character.
std::string ExpectedName(const TextProperty& text) {
  std::string name;
  if (text.readFails || !text.value) return name;
  for (std::size_t index = 0; index < text.value->size() && index < 256; ++index) {
    const char16_t unit = (*text.value)[index];
    if (unit == u'\0') break;
    if (unit >= 0x80) {
      name.append(AsciiTransliteration(unit));
    } else if (unit == u'\r' || unit == u'\n') {
      name.push_back(' ');
    } else if (IsName(std::string(1, static_cast<char>(unit)))) {
      name.push_back(static_cast<char>(unit));
    }
  }
  return name;
}

// A name for the checks: a letter or digit is left of it.
bool HasLetterOrDigit(const std::string& name) {
  for (const char c : name) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) return true;
  }
  return false;
}

}  // namespace
}  // namespace kelvarn

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kelvarn;
  FuzzedDataProvider input(data, size);
  const double processingDate = ConsumeDouble(input);
  FuzzedPayment payment(input);
  StringByteSink file;
  const bool passed = PaymentFileWriter::WritePaymentLine(file, payment, processingDate);

  FUZZ_CHECK((payment.Calls() == std::vector<std::string>{"PayerSortCode", "PayerAccountNumber", "PayeeSortCode",
                                                          "PayeeAccountNumber", "Amount", "PayeeAccountName",
                                                          "PayerAccountName"}));
  FUZZ_CHECK(passed == payment.Puts().empty());
  static const std::set<std::int32_t> kCodes = {21, 23, 24, 25, 28, 29, 30};
  for (const std::int32_t code : payment.Puts()) FUZZ_CHECK(kCodes.count(code) == 1);
  const std::set<std::int32_t> puts(payment.Puts().begin(), payment.Puts().end());
  FUZZ_CHECK(puts.size() == payment.Puts().size());  // each check puts its code at most once

  const double amount = payment.AmountReadFails() ? 0.0 : payment.AmountValue();
  // 0.005 is the least amount that the field gives as a cent or more.
  FUZZ_CHECK((puts.count(kInvalidAmount) == 1) == !(std::isfinite(amount) && amount >= 0.005));
  // The checks in the line's order, so the code left on the payment is the last failing one's.
  static const std::int32_t kOrder[] = {23, 24, 28, 29, 21, 30, 25};
  std::vector<std::int32_t> ordered;
  for (const std::int32_t code : kOrder) {
    if (puts.count(code) == 1) ordered.push_back(code);
  }
  FUZZ_CHECK(ordered == payment.Puts());
  for (const auto& [property, code] : {std::pair{FuzzedPayment::kPayeeAccountName, kInvalidPayeeAccountName},
                                       std::pair{FuzzedPayment::kPayerAccountName, kInvalidPayerAccountName}}) {
    const TextProperty& name = payment.Text(property);
    // The bank gets the field, the name's first 18 characters: it must hold a letter or digit.
    FUZZ_CHECK((puts.count(code) == 1) == !HasLetterOrDigit(ExpectedName(name).substr(0, 18)));
    if (Missing(name)) FUZZ_CHECK(puts.count(code) == 1);
  }
  for (const auto property : {FuzzedPayment::kPayerSortCode, FuzzedPayment::kPayerAccountNumber,
                              FuzzedPayment::kPayeeSortCode, FuzzedPayment::kPayeeAccountNumber}) {
    static const std::int32_t kCodeOf[] = {kInvalidPayerSortCode, kInvalidPayerAccountNumber, 0, kInvalidPayeeSortCode,
                                           kInvalidPayeeAccountNumber};
    // A missing sort code or account number always fails its check.
    if (Missing(payment.Text(property))) FUZZ_CHECK(puts.count(kCodeOf[property]) == 1);
  }

  // One line, 19 quoted fields, ended by CR LF.
  const std::string& line = file.Bytes();
  FUZZ_CHECK(line.size() >= 2 && line.compare(line.size() - 2, 2, "\r\n") == 0);
  const std::string body = line.substr(0, line.size() - 2);
  FUZZ_CHECK(body.find_first_of("\r\n") == std::string::npos);
  std::vector<std::string> fields = SplitFields(body);
  FUZZ_CHECK(fields.size() == 19);
  for (std::string& field : fields) {
    FUZZ_CHECK(field.size() >= 2 && field.front() == '"' && field.back() == '"');
    field = field.substr(1, field.size() - 2);
    FUZZ_CHECK(field.find('"') == std::string::npos);
  }
  FUZZ_CHECK(fields[0] == "CMII" && fields[1] == "1.0" && fields[3].empty());
  for (const int account : {2, 4}) {
    FUZZ_CHECK(fields[account].size() == 14 && IsDigits(fields[account].substr(0, 6)));
  }
  FUZZ_CHECK(IsAmount(fields[5]));
  if (!std::isfinite(amount)) FUZZ_CHECK(fields[5] == "0.00");
  if (puts.count(kInvalidAmount) == 0) FUZZ_CHECK(fields[5] != "0.00");
  FUZZ_CHECK(fields[6].size() == 8 && IsDigits(fields[6]));
  FUZZ_CHECK(fields[7] == "EUR" && fields[8] == "E");
  FUZZ_CHECK(IsName(fields[9]) && fields[10] == fields[9]);
  FUZZ_CHECK(IsName(fields[11]) && fields[16] == fields[11]);
  for (const auto& [property, field] :
       {std::pair{FuzzedPayment::kPayeeAccountName, 9}, std::pair{FuzzedPayment::kPayerAccountName, 11}}) {
    FUZZ_CHECK(fields[field] == ExpectedName(payment.Text(property)).substr(0, 18));
  }
  for (const int empty : {12, 13, 14, 15, 17, 18}) FUZZ_CHECK(fields[empty].empty());
  return 0;
}
