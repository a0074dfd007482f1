#pragma once
// The reference host's answers in words (--format text), for a person reading them: the
// JSON answer stays the one for programs. Portable: no Windows headers.
#include <cstdint>
#include <string>
#include <vector>

namespace refhost {

// "1,234.50": two decimals, thousands grouped; "-12.00"; "nan", "inf" and "-inf" as they are.
std::string MoneyText(double amount);

// An HRESULT the component gives, with its name or description: "S_OK",
// "0x800AFFFC (Invalid argument)", or the hexadecimal code alone when it is none of those.
std::string HresultWords(std::uint32_t hr);

// What a payment service's or a statement service's Status says after a run.
std::string ExportStatusWords(long status);
std::string ImportStatusWords(long status);

// Rows of cells as aligned columns (two spaces between, no trailing blanks), the first row the
// heading; a column listed in rightAligned is aligned on the right (amounts). Each line ends LF.
std::string TextTable(const std::vector<std::vector<std::string>>& rows, const std::vector<std::size_t>& rightAligned);

}  // namespace refhost
