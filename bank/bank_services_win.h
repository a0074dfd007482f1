#pragma once
// The BankServices class: the collection of the bank's two services (payment service at
// position 0, statement service at 1), by position, by name or by enumeration.
#include <windows.h>
#include <oaidl.h>

#include "trelk_kelvarn_bank.h"

namespace kelvarn {

// The collection's vtable on its IBankServices pointer: the interface, then the
// implementation's own list operations, which the host's type library does not show.
struct BankServicesImplementation : IBankServices {
  // Runs the destructor and frees the object, whatever its reference count.
  virtual void STDMETHODCALLTYPE Destroy() = 0;
  virtual HRESULT STDMETHODCALLTYPE AddService(IDispatch* service) = 0;
  virtual HRESULT STDMETHODCALLTYPE RemoveService(LONG position) = 0;
  virtual HRESULT STDMETHODCALLTYPE RemoveAllServices() = 0;
  virtual HRESULT STDMETHODCALLTYPE ServiceAt(LONG position, IDispatch** service) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Tag(LONG* tag) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_Tag(LONG tag) = 0;
};

// The collection's vtable on its ISupportErrorInfo pointer: one operation more.
struct BankServicesErrorInfo : ISupportErrorInfo {
  // Ignores the value; rejects a null pointer, else S_OK without effect.
  virtual HRESULT STDMETHODCALLTYPE AcceptKeyedPointer(LONG key, void* pointer) = 0;
};

// The class-table creation function (plain, or aggregated when `outer` is given). Also used by
// Bank's Services property.
HRESULT CreateBankServicesInstance(IUnknown* outer, REFIID iid, void** out) noexcept;

}  // namespace kelvarn
