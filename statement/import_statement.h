#pragma once
// The statement import run: the body of IBankStatementService::ImportStatement, run inside the
// uniform catch sequence (it throws HRESULTs and host-call failures).
#include <windows.h>
#include <oaidl.h>

#include "common/narrow_text.h"
#include "trelk_bank_reconciliation.h"

namespace kelvarn {

// The host account's sort code (digits only) and account number; the service object keeps them
// from one run to the next.
struct StatementFilters {
  NarrowText sortCode;       // FilterSortCode
  NarrowText accountNumber;  // FilterAccountNumber
};

// `status` is the service's Status.
HRESULT RunStatementImport(LONG& status, StatementFilters& filters, IBankReconciliation* reconciliation,
                           IBankStatement* statement);

}  // namespace kelvarn
