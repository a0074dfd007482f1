// Any record line through CTransactionRecord::Decode: every field is its run of columns, the
// derived values hold their rules, and a record that decoded other lines before (and keeps the
// last date decoding) gives the same values as a new one.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/hresult.h"
#include "common/ole_date.h"
#include "fuzz/fuzz_check.h"
#include "statement/transaction_record.h"

namespace kelvarn {
namespace {

constexpr std::size_t kRecordLength = CTransactionRecord::kRecordLength;

void CheckDecoded(CTransactionRecord& record, std::string_view line) {
  FUZZ_CHECK(record.SortCode().View() == line.substr(0, 6));
  FUZZ_CHECK(record.AccountNumber().View() == line.substr(6, 8));
  FUZZ_CHECK(record.AccountType().View() == line.substr(14, 1));
  FUZZ_CHECK(record.TransactionCode().View() == line.substr(15, 2));
  FUZZ_CHECK(record.OriginatorSortCode().View() == line.substr(17, 6));
  FUZZ_CHECK(record.OriginatorAccountNumber().View() == line.substr(23, 8));
  FUZZ_CHECK(record.OriginatorName().View() == line.substr(46, 18));
  FUZZ_CHECK(record.OriginatorReference().View() == line.substr(64, 18));
  FUZZ_CHECK(record.AccountName().View() == line.substr(82, 18));
  FUZZ_CHECK(record.ProcessingDate().View() == line.substr(100, 6));
  const std::string_view code = line.substr(15, 2);
  FUZZ_CHECK(record.IsCredit() == (code == "90" || code == "93" || code == "95" || code == "99"));
  const std::string reference = std::string(line.substr(64, 18)) + " " + std::string(line.substr(82, 18));
  FUZZ_CHECK(record.Reference().View() == reference);
  // Eleven characters hold at most 99,999,999,999 hundredths.
  FUZZ_CHECK(std::isfinite(record.Amount()) && std::fabs(record.Amount()) <= 999999999.99 + 1e-3);
  FUZZ_CHECK(record.Date() == 0.0 || (record.Date() >= kMinOleDate && record.Date() <= kMaxOleDate));
  FUZZ_CHECK(record.Date() == std::floor(record.Date()));  // a day, no time
}

bool SameValues(CTransactionRecord& a, CTransactionRecord& b) {
  return a.SortCode() == b.SortCode() && a.AccountNumber() == b.AccountNumber() && a.AccountType() == b.AccountType() &&
         a.TransactionCode() == b.TransactionCode() && a.OriginatorSortCode() == b.OriginatorSortCode() &&
         a.OriginatorAccountNumber() == b.OriginatorAccountNumber() && a.OriginatorName() == b.OriginatorName() &&
         a.OriginatorReference() == b.OriginatorReference() && a.AccountName() == b.AccountName() &&
         a.ProcessingDate() == b.ProcessingDate() && a.Amount() == b.Amount() && a.Date() == b.Date() &&
         a.IsCredit() == b.IsCredit() && a.Reference() == b.Reference();
}

}  // namespace
}  // namespace kelvarn

// The whole input is one record line; a second line, when the input has one after the first
// 106 characters, is decoded into a record that decoded the first line before.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kelvarn;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  CTransactionRecord record;
  if (size < kRecordLength) {
    bool refused = false;
    try {
      record.Decode(input);
    } catch (HresultValue hr) {
      refused = hr == kInvalidArgument;
    }
    FUZZ_CHECK(refused);
    return 0;
  }
  record.Decode(input);
  CheckDecoded(record, input);

  const std::string_view second = input.substr(kRecordLength);
  if (second.size() >= kRecordLength) {
    CTransactionRecord reused;
    reused.Decode(input);
    reused.Clear();
    reused.Decode(second);
    CTransactionRecord fresh;
    fresh.Decode(second);
    CheckDecoded(fresh, second);
    FUZZ_CHECK(SameValues(reused, fresh));
    // And back: the first line again on the record that decoded the second.
    reused.Decode(input);
    FUZZ_CHECK(SameValues(reused, record));
  }
  return 0;
}
