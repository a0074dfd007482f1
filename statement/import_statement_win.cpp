#include "statement/import_statement_win.h"

#include <optional>
#include <string>

#include "common/digits.h"
#include "common/host_text.h"
#include "common/narrow_text_win.h"
#include "frame/error_reporting_win.h"
#include "frame/owners_win.h"
#include "host/host_components_win.h"
#include "statement/identify_statement_file_win.h"
#include "statement/kelvarn_bank_transaction_file.h"
#include "statement/transaction_record.h"

namespace kelvarn {
namespace {

static_assert(sizeof(OLECHAR) == sizeof(char16_t), "BSTRs hold UTF-16 units");

// The host's account text as single bytes, as the C runtime's wcstombs gives it (U+0001..U+00FF
// become the byte of the same value). The whole text is kept even where a 32-byte conversion
// buffer would be full and unterminated: a cut text could equal another account's field, the
// whole one equals only the records that really carry it. None when there is no text or a
// character has no single-byte form.
std::optional<std::string> AccountText(const UniqueBstr& text) {
  if (!text) return std::nullopt;
  const std::size_t length = SysStringLen(text.get());
  SingleByteText converted = ToSingleByte(reinterpret_cast<const char16_t*>(text.get()), length, length);
  if (!converted.complete) return std::nullopt;
  return std::move(converted.text);
}

// What a record's fields must equal, byte for byte: the sort code's digits and the account number.
struct AccountFilters {
  NarrowText sortCode;
  NarrowText accountNumber;
};

// The filters of this run from the host's bank account, or none when the host gives no usable
// account: no account, an account number that is missing, empty or not convertible, or a sort
// code that is missing, not convertible or without a digit. The texts' own results are not
// looked at: a failed call gives no text.
std::optional<AccountFilters> ReadAccountFilters(IBankReconciliation* reconciliation, ComPtr<IBankAccount>& account) {
  if (FAILED(reconciliation->get_BankAccount(account.put())) || !account) return std::nullopt;
  UniqueBstr accountNumberText;
  account->get_BankAccountNumber(accountNumberText.put());
  UniqueBstr sortCodeText;
  account->get_BankSortCode(sortCodeText.put());
  const std::optional<std::string> accountNumber = AccountText(accountNumberText);
  // The host may write the sort code with separators (12-34-56); the records carry its digits.
  std::optional<std::string> sortCode = AccountText(sortCodeText);
  if (sortCode) *sortCode = DigitsOf(*sortCode);
  if (!accountNumber || accountNumber->empty() || !sortCode || sortCode->empty()) return std::nullopt;
  return AccountFilters{NarrowText(*sortCode), NarrowText(*accountNumber)};
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

// The file is the bank's statement. A blank record (a passed-over line, the end of the first
// volume) has an empty sort code, which a filter with a digit never equals.
void AddAccountLines(CKelvarnBankTransactionFile& file, const AccountFilters& filters, IBankStatement* statement) {
  CTransactionRecord record;
  LONG lineNumber = 1;
  while (file.ReadStatementRecord(record)) {
    const bool accountRecord = record.SortCode() == filters.sortCode && record.AccountNumber() == filters.accountNumber;
    if (!accountRecord) continue;
    if (!AddStatementLine(statement, record, lineNumber)) return;
    ++lineNumber;
  }
}

}  // namespace

HRESULT RunStatementImport(LONG& status, IBankReconciliation* reconciliation, IBankStatement* statement) {
  RequirePointer(reconciliation);
  RequirePointer(statement);
  status = kImportRead;

  char path[kStatementPathSize];
  const StatementFileChoice choice = ChooseStatementFile(path, &IdentifyStatementFile);
  if (choice == StatementFileChoice::Cancelled) {
    status = kImportCancelled;
    return S_OK;
  }

  ComPtr<IBankAccount> account;  // held to the end of the run
  const std::optional<AccountFilters> filters = ReadAccountFilters(reconciliation, account);
  // A path too long for the buffer names no file the run can open.
  if (!filters || choice != StatementFileChoice::Chosen) {
    status = kImportNotRead;
    return S_OK;
  }
  CKelvarnBankTransactionFile file(path, OpenMode::Binary);
  if (!file.IsStatementFile()) {
    status = kImportNotRead;
    return S_OK;
  }
  // The host's statement is touched only once there is something to read into it.
  statement->Reset();
  statement->SetBalance(0.0);
  AddAccountLines(file, *filters, statement);
  return S_OK;
}

}  // namespace kelvarn
