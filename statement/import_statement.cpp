// TEMPORARY: the import run is not built yet; the method answers E_NOTIMPL through the catch
// sequence. Replace this file with the run.
#include "statement/import_statement.h"

#include "common/hresult.h"

namespace kelvarn {

HRESULT RunStatementImport(LONG& /*status*/, StatementFilters& /*filters*/, IBankReconciliation* /*reconciliation*/,
                           IBankStatement* /*statement*/) {
  ThrowHresult(E_NOTIMPL);
}

}  // namespace kelvarn
