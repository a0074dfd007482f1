#pragma once
// The BankStatementService class: the class-table creation function (plain, or aggregated when
// `outer` is given). Also used by BankServices to create its statement service.
#include <windows.h>
#include <unknwn.h>

namespace kelvarn {

HRESULT CreateBankStatementService(IUnknown* outer, REFIID iid, void** out) noexcept;

}  // namespace kelvarn
