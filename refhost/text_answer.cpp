#include "refhost/text_answer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace refhost {
namespace {

// Characters, not bytes, of a UTF-8 text: continuation bytes take no column.
std::size_t Columns(const std::string& text) {
  return static_cast<std::size_t>(
      std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

}  // namespace

std::string MoneyText(double amount) {
  if (std::isnan(amount)) return "nan";
  if (std::isinf(amount)) return amount < 0 ? "-inf" : "inf";
  char buffer[512];
  std::snprintf(buffer, sizeof buffer, "%.2f", amount);
  std::string digits = buffer;
  const bool negative = !digits.empty() && digits[0] == '-';
  if (negative) digits.erase(0, 1);
  const std::size_t point = digits.find('.');
  std::string whole = digits.substr(0, point);
  for (std::size_t at = whole.size(); at > 3; at -= 3) whole.insert(at - 3, ",");
  // A negative amount that rounds to zero is shown as zero.
  const bool zero = digits.find_first_not_of("0.") == std::string::npos;
  return (negative && !zero ? "-" : "") + whole + digits.substr(point);
}

std::string HresultWords(std::uint32_t hr) {
  struct Known {
    std::uint32_t code;
    const char* words;
  };
  static const Known known[] = {
      {0x00000000u, "S_OK"},
      {0x00000001u, "S_FALSE"},
      {0x800AFFFCu, "0x800AFFFC (Invalid argument)"},
      {0x800AFFFDu, "0x800AFFFD (Out of Memory)"},
      {0x800AFFFEu, "0x800AFFFE (Unexpected result)"},
      {0x80020009u, "0x80020009 (a host component or object failed)"},
      {0x80040154u, "0x80040154 (class not registered)"},
      {0x8000FFFFu, "0x8000FFFF (unexpected failure)"},
  };
  for (const Known& k : known)
    if (k.code == hr) return k.words;
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "0x%08X", static_cast<unsigned>(hr));
  return buffer;
}

std::string ExportStatusWords(long status) {
  switch (status) {
    case 0:
      return "every payment written, every check passed";
    case 1:
      return "file written, but at least one payment failed a check";
    case 2:
      return "the file could not be written, or a payment could not be read";
    case 3:
      return "cancelled in a dialog: nothing written";
    default:
      return "status " + std::to_string(status);
  }
}

std::string ImportStatusWords(long status) {
  switch (status) {
    case 0:
      return "statement read";
    case 1:
      return "no file chosen";
    case 2:
      return "nothing imported: the file cannot be read or is not the bank's statement, or the bank account "
             "selects no records";
    default:
      return "status " + std::to_string(status);
  }
}

std::string TextTable(const std::vector<std::vector<std::string>>& rows, const std::vector<std::size_t>& rightAligned) {
  std::vector<std::size_t> widths;
  for (const auto& row : rows) {
    if (widths.size() < row.size()) widths.resize(row.size(), 0);
    for (std::size_t column = 0; column < row.size(); ++column)
      widths[column] = std::max(widths[column], Columns(row[column]));
  }
  std::string text;
  for (const auto& row : rows) {
    std::string line;
    for (std::size_t column = 0; column < row.size(); ++column) {
      const std::string& cell = row[column];
      const std::string padding(widths[column] - Columns(cell), ' ');
      const bool right = std::find(rightAligned.begin(), rightAligned.end(), column) != rightAligned.end();
      if (column > 0) line += "  ";
      line += right ? padding + cell : cell + padding;
    }
    line.erase(line.find_last_not_of(' ') + 1);
    text += line + "\n";
  }
  return text;
}

}  // namespace refhost
