#pragma once
// The BankPaymentService class: the class-table creation function (plain, or aggregated when
// `outer` is given). Also used by BankServices to create its payment service.
#include <windows.h>
#include <unknwn.h>

namespace kelvarn {

HRESULT CreateBankPaymentService(IUnknown* outer, REFIID iid, void** out) noexcept;

}  // namespace kelvarn
