#pragma once
// The BankServices class: the class-table creation function (plain, or aggregated when `outer`
// is given). Also used by Bank's Services property.
#include <windows.h>
#include <unknwn.h>

namespace kelvarn {

HRESULT CreateBankServicesInstance(IUnknown* outer, REFIID iid, void** out) noexcept;

}  // namespace kelvarn
