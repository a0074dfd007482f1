#pragma once
// The Bank class: the class-table creation function (plain, or aggregated when `outer` is given).
#include <windows.h>
#include <unknwn.h>

namespace kelvarn {

HRESULT CreateBankInstance(IUnknown* outer, REFIID iid, void** out) noexcept;

}  // namespace kelvarn
