#pragma once
// The statement import run: the body of IBankStatementService::ImportStatement, run inside the
// uniform catch sequence (it throws HRESULTs and host-call failures).
#include <windows.h>
#include <oaidl.h>

#include "trelk_bank_reconciliation.h"

namespace kelvarn {

// Run outcomes left in the service's Status.
// The bank's statement was read for the host's account: the statement reset, balance 0, a line
// per record of the account (possibly none).
inline constexpr LONG kImportRead = 0;
// No file was chosen; the statement is untouched.
inline constexpr LONG kImportCancelled = 1;
// The chosen file cannot be read or is not the bank's statement, or the host gave no usable
// account; the statement is untouched.
inline constexpr LONG kImportNotRead = 2;

// `status` is the service's Status. Each run takes the account from the host afresh.
HRESULT RunStatementImport(LONG& status, IBankReconciliation* reconciliation, IBankStatement* statement);

}  // namespace kelvarn
