#pragma once
// The statement import run: the body of IBankStatementService::ImportStatement, run inside the
// uniform catch sequence (it throws HRESULTs and host-call failures).
#include <windows.h>
#include <oaidl.h>

#include <utility>

#include "common/narrow_text.h"
#include "trelk_bank_reconciliation.h"

namespace kelvarn {

// One account filter: the text a record's field must equal byte for byte. A host text with a
// character that has no single-byte form can equal no record's field: it matches nothing.
class AccountFilter {
 public:
  void Set(NarrowText text) {
    text_ = std::move(text);
    matchesNothing_ = false;
  }
  void SetMatchingNothing() {
    text_.Clear();
    matchesNothing_ = true;
  }
  bool Matches(const NarrowText& field) const noexcept { return !matchesNothing_ && text_ == field; }

 private:
  NarrowText text_;  // empty at creation
  bool matchesNothing_ = false;
};

// The host account's sort code (digits only) and account number; the service object keeps them
// from one run to the next.
struct StatementFilters {
  AccountFilter sortCode;       // FilterSortCode
  AccountFilter accountNumber;  // FilterAccountNumber
};

// `status` is the service's Status.
HRESULT RunStatementImport(LONG& status, StatementFilters& filters, IBankReconciliation* reconciliation,
                           IBankStatement* statement);

}  // namespace kelvarn
