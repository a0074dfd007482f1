#pragma once
// The enumerator of a BankServices collection (IEnumVARIANT, what for-each loops use): yields
// each service as VT_DISPATCH. Its methods return their HRESULT directly, without the uniform
// catch sequence and without error information.
#include <windows.h>
#include <oaidl.h>

#include "bank/service_list_win.h"
#include "frame/owners_win.h"
#include "frame/ref_counted_win.h"

namespace kelvarn {

// The enumerator's vtable: IEnumVARIANT, then its own destroy operation.
struct ServiceEnumeratorLayout : IEnumVARIANT {
  // Runs the destructor and frees the object, whatever its reference count.
  virtual void STDMETHODCALLTYPE Destroy() = 0;
};

class ServiceEnumerator final : public RefCounted<ServiceEnumerator, ApartmentCount, ServiceEnumeratorLayout> {
 public:
  // A new enumerator over `list` at `position` with no reference yet, or null when it cannot be
  // allocated. It keeps `collection` (the owner of `list`) alive with a counted reference, so
  // the list outlives every enumerator over it.
  static ServiceEnumerator* New(const ServiceList& list, IUnknown* collection, LONG position) noexcept;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  HRESULT STDMETHODCALLTYPE Next(ULONG wanted, VARIANT* elements, ULONG* fetched) override;
  HRESULT STDMETHODCALLTYPE Skip(ULONG count) override;
  HRESULT STDMETHODCALLTYPE Reset() override;
  HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT** out) override;
  void STDMETHODCALLTYPE Destroy() override;

 private:
  ServiceEnumerator(const ServiceList& list, IUnknown* collection, LONG position) noexcept;
  ~ServiceEnumerator() = default;
  // The last release runs Destroy().
  friend RefCounted;
  void OnFinalRelease() noexcept { Destroy(); }

  const ServiceList* list_;      // the collection's list, seen in its state at each call
  ComPtr<IUnknown> collection_;  // keeps the list's owner alive
  LONG position_;                // index of the next entry to return
};

}  // namespace kelvarn
