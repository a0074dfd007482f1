#include "refhost/payments_csv.h"

#include <cmath>
#include <cstdlib>
#include <limits>

namespace refhost {
namespace {

struct Field {
  std::string text;
  bool quoted = false;
};

using Record = std::vector<Field>;

// RFC 4180 records; CR LF or LF line ends; line breaks inside quotes belong to the field.
std::vector<std::pair<Record, int>> SplitRecords(std::string_view content) {
  std::vector<std::pair<Record, int>> records;
  std::size_t i = 0;
  int line = 1;
  if (content.substr(0, 3) == "\xEF\xBB\xBF") i = 3;  // a UTF-8 byte order mark
  while (i < content.size()) {
    Record record;
    const int recordLine = line;
    for (;;) {
      Field field;
      if (i < content.size() && content[i] == '"') {
        field.quoted = true;
        ++i;
        for (;;) {
          if (i >= content.size()) throw CsvError("line " + std::to_string(recordLine) + ": unterminated quoted field");
          const char c = content[i++];
          if (c == '"') {
            if (i < content.size() && content[i] == '"') {
              field.text += '"';
              ++i;
            } else {
              break;
            }
          } else {
            if (c == '\n') ++line;
            field.text += c;
          }
        }
        if (i < content.size() && content[i] != ',' && content[i] != '\n' && content[i] != '\r')
          throw CsvError("line " + std::to_string(line) + ": text after a closing quote");
      } else {
        while (i < content.size() && content[i] != ',' && content[i] != '\n' && content[i] != '\r') {
          if (content[i] == '"') throw CsvError("line " + std::to_string(line) + ": quote inside an unquoted field");
          field.text += content[i++];
        }
      }
      record.push_back(std::move(field));
      if (i < content.size() && content[i] == ',') {
        ++i;
        continue;
      }
      if (i < content.size() && content[i] == '\r') ++i;
      if (i < content.size() && content[i] == '\n') ++i;
      ++line;
      break;
    }
    records.emplace_back(std::move(record), recordLine);
  }
  return records;
}

double ParseAmount(const Field& field, int line) {
  const std::string& text = field.text;
  if (text == "nan") return std::numeric_limits<double>::quiet_NaN();
  if (text == "inf") return std::numeric_limits<double>::infinity();
  if (text == "-inf") return -std::numeric_limits<double>::infinity();
  const bool plainNumber = !text.empty() && text.find_first_not_of("+-0123456789.eE") == std::string::npos;
  char* end = nullptr;
  const double value = plainNumber ? std::strtod(text.c_str(), &end) : 0.0;
  if (!plainNumber || end != text.c_str() + text.size())
    throw CsvError("line " + std::to_string(line) + ": amount is not a number: " + text);
  return value;
}

std::optional<std::u16string> TextField(const Field& field, int line) {
  if (field.text.empty() && !field.quoted) return std::nullopt;
  try {
    return Utf8ToUtf16(field.text);
  } catch (const CsvError& error) {
    throw CsvError("line " + std::to_string(line) + ": " + error.what());
  }
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view utf8) {
  std::u16string out;
  for (std::size_t i = 0; i < utf8.size();) {
    const unsigned char lead = static_cast<unsigned char>(utf8[i]);
    char32_t code = 0;
    int extra = 0;
    if (lead < 0x80) {
      code = lead;
    } else if ((lead & 0xE0) == 0xC0) {
      code = lead & 0x1F;
      extra = 1;
    } else if ((lead & 0xF0) == 0xE0) {
      code = lead & 0x0F;
      extra = 2;
    } else if ((lead & 0xF8) == 0xF0) {
      code = lead & 0x07;
      extra = 3;
    } else {
      throw CsvError("malformed UTF-8");
    }
    for (int k = 1; k <= extra; ++k) {
      if (i + k >= utf8.size()) throw CsvError("malformed UTF-8");
      const unsigned char next = static_cast<unsigned char>(utf8[i + k]);
      if ((next & 0xC0) != 0x80) throw CsvError("malformed UTF-8");
      code = (code << 6) | (next & 0x3F);
    }
    const char32_t minimum[] = {0, 0x80, 0x800, 0x10000};
    if (code < minimum[extra] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
      throw CsvError("malformed UTF-8");
    if (code >= 0x10000) {
      code -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (code >> 10));
      out += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
    } else {
      out += static_cast<char16_t>(code);
    }
    i += static_cast<std::size_t>(extra) + 1;
  }
  return out;
}

std::vector<CsvPayment> ParsePaymentsCsv(std::string_view content) {
  const auto records = SplitRecords(content);
  if (records.empty()) throw CsvError("line 1: the header row is missing");
  // Field by field: a quoted field holding commas is one field, not several names.
  std::string header;
  bool headerCommaInField = false;
  for (const Field& field : records.front().first) {
    if (!header.empty()) header += ',';
    header += field.text;
    if (field.text.find(',') != std::string::npos) headerCommaInField = true;
  }
  if (header != kPaymentsCsvHeader || headerCommaInField)
    throw CsvError("line 1: the header row must be exactly: " + std::string(kPaymentsCsvHeader));
  std::vector<CsvPayment> payments;
  for (std::size_t r = 1; r < records.size(); ++r) {
    const auto& [record, line] = records[r];
    if (record.size() == 1 && record[0].text.empty() && !record[0].quoted) continue;  // blank line
    if (record.size() != 7)
      throw CsvError("line " + std::to_string(line) + ": expected 7 fields, found " + std::to_string(record.size()));
    CsvPayment payment;
    payment.amount = ParseAmount(record[0], line);
    payment.payerSortCode = TextField(record[1], line);
    payment.payerAccountNumber = TextField(record[2], line);
    payment.payerAccountName = TextField(record[3], line);
    payment.payeeSortCode = TextField(record[4], line);
    payment.payeeAccountNumber = TextField(record[5], line);
    payment.payeeAccountName = TextField(record[6], line);
    payments.push_back(std::move(payment));
  }
  return payments;
}

}  // namespace refhost
