// TEMPORARY: stand-ins for the Bank and BankServices creation functions until bank.cpp and
// bank_services.cpp exist. Delete this file (and its line in bank/CMakeLists.txt) then.
#include "bank/bank.h"
#include "bank/bank_services.h"

namespace kelvarn {

HRESULT CreateBankInstance(IUnknown* /*outer*/, REFIID /*iid*/, void** out) noexcept {
  if (!out) return E_POINTER;
  *out = nullptr;
  return E_NOTIMPL;
}

HRESULT CreateBankServicesInstance(IUnknown* /*outer*/, REFIID /*iid*/, void** out) noexcept {
  if (!out) return E_POINTER;
  *out = nullptr;
  return E_NOTIMPL;
}

}  // namespace kelvarn
