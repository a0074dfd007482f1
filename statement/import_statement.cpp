#include "statement/import_statement.h"

#include <optional>
#include <string>

#include "common/host_text.h"
#include "common/narrow_text_win.h"
#include "frame/error_reporting.h"
#include "frame/owners.h"
#include "host/host_components.h"
#include "statement/identify_statement_file.h"
#include "statement/kelvarn_bank_transaction_file.h"
#include "statement/transaction_record.h"

namespace kelvarn {
namespace {

static_assert(sizeof(OLECHAR) == sizeof(char16_t), "BSTRs hold UTF-16 units");

constexpr LONG kStatusCancelled = 1;

// The host's account text as single bytes, as the C runtime's wcstombs gives it (U+0001..U+00FF
// become the byte of the same value). The whole text is kept even where a 32-byte conversion
// buffer would be full and unterminated: a cut text could equal another account's field, the
// whole one equals only the records that really carry it. Empty when a character has no
// single-byte form.
std::optional<std::string> AccountText(BSTR text) {
  const std::size_t length = SysStringLen(text);
  SingleByteText converted = ToSingleByte(reinterpret_cast<const char16_t*>(text), length, length);
  if (!converted.complete) return std::nullopt;
  return std::move(converted.text);
}

void SetFilter(AccountFilter& filter, const std::optional<std::string>& text) {
  if (text) {
    filter.Set(NarrowText(*text));
  } else {
    filter.SetMatchingNothing();
  }
}

std::optional<std::string> DigitsOnly(const std::optional<std::string>& text) {
  if (!text) return std::nullopt;
  std::string digits;
  for (char character : *text) {
    if (character >= '0' && character <= '9') digits.push_back(character);
  }
  return digits;
}

// Takes the filters from the host's bank account. Only BankAccount's result is looked at: when it
// fails (or yields no account) the filters of the previous run stay; a text call that yields no
// string leaves its filter as it was.
void ReadAccountFilters(IBankReconciliation* reconciliation, StatementFilters& filters,
                        ComPtr<IBankAccount>& account) {
  if (FAILED(reconciliation->get_BankAccount(account.put())) || !account) return;
  UniqueBstr accountNumber;
  account->get_BankAccountNumber(accountNumber.put());
  if (accountNumber) SetFilter(filters.accountNumber, AccountText(accountNumber.get()));
  UniqueBstr sortCode;
  account->get_BankSortCode(sortCode.put());
  // The host may write the sort code with separators (12-34-56); the records carry its digits.
  if (sortCode) SetFilter(filters.sortCode, DigitsOnly(AccountText(sortCode.get())));
}

// Adds one line for the record; false when the statement yields no line, which ends the adding
// (the lines already added stay). The line's own results are not looked at.
bool AddStatementLine(IBankStatement* statement, CTransactionRecord& record, LONG lineNumber) {
  ComPtr<IBankStatementLine> line;
  if (FAILED(statement->AddLine(line.put())) || !line) return false;
  UniqueVariant number;
  V_VT(number.get()) = VT_I4;
  V_I4(number.get()) = lineNumber;
  line->SetLineNumber(number.get());
  line->SetCredit(record.IsCredit() ? 1 : 0);
  line->SetAmount(record.Amount());
  line->SetDate(record.Date());
  const UniqueBstr name(ToNewBstr(record.OriginatorName()));
  line->SetName(name.get());
  const UniqueBstr reference(ToNewBstr(record.Reference()));
  line->SetReference(reference.get());
  return true;
}

void AddAccountLines(const char* path, const StatementFilters& filters, IBankStatement* statement) {
  CKelvarnBankTransactionFile file(path, OpenMode::Binary);
  if (!file.IsStatementFile()) return;
  CTransactionRecord record;
  LONG lineNumber = 1;
  while (file.ReadStatementRecord(record)) {
    // A blank record (a passed-over line, the end of the first volume) is no transaction, even
    // for empty filters. Every decoded record has a sort code of 6 characters.
    const NarrowText sortCode = record.SortCode();
    if (sortCode.IsEmpty()) continue;
    if (!filters.sortCode.Matches(sortCode) || !filters.accountNumber.Matches(record.AccountNumber())) continue;
    if (!AddStatementLine(statement, record, lineNumber)) return;
    ++lineNumber;
  }
}

}  // namespace

HRESULT RunStatementImport(LONG& status, StatementFilters& filters, IBankReconciliation* reconciliation,
                           IBankStatement* statement) {
  RequirePointer(reconciliation);
  RequirePointer(statement);
  status = 0;

  char path[kStatementPathSize];
  const StatementFileChoice choice = ChooseStatementFile(path, &IdentifyStatementFile);
  if (choice == StatementFileChoice::Cancelled) {
    status = kStatusCancelled;
    return S_OK;
  }

  statement->Reset();
  statement->SetBalance(0.0);
  ComPtr<IBankAccount> account;  // held to the end of the run
  ReadAccountFilters(reconciliation, filters, account);
  // A path too long for the buffer names no file the run can open: as for an unreadable file.
  if (choice == StatementFileChoice::Chosen) AddAccountLines(path, filters, statement);
  return S_OK;
}

}  // namespace kelvarn
