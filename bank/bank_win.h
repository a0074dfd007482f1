#pragma once
// The Bank class: the bank's name, its services collection (created once per Bank and kept), a
// fixed code, and the host's configuration of this bank.
#include <windows.h>
#include <oaidl.h>

#include "trelk_kelvarn_bank.h"

namespace kelvarn {

// The Bank's vtable on its IBank pointer: the interface, then the implementation's own tag
// accessor, which the host's type library does not show.
struct BankImplementation : IBank {
  virtual HRESULT STDMETHODCALLTYPE get_Tag(LONG* tag) = 0;
};

// The class-table creation function (plain, or aggregated when `outer` is given).
HRESULT CreateBankInstance(IUnknown* outer, REFIID iid, void** out) noexcept;

}  // namespace kelvarn
