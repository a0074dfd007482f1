#include "bank/service_enumerator_win.h"

#include <new>

namespace kelvarn {
ServiceEnumerator* ServiceEnumerator::New(const ServiceList& list, IUnknown* collection, LONG position) noexcept {
  return new (std::nothrow) ServiceEnumerator(list, collection, position);
}

ServiceEnumerator::ServiceEnumerator(const ServiceList& list, IUnknown* collection, LONG position) noexcept
    : RefCounted(0), list_(&list), collection_(ComPtr<IUnknown>::Share(collection)), position_(position) {}

HRESULT STDMETHODCALLTYPE ServiceEnumerator::QueryInterface(REFIID iid, void** out) {
  if (iid != IID_IUnknown && iid != IID_IEnumVARIANT) {
    if (out) *out = nullptr;
    return E_NOINTERFACE;
  }
  if (!out) return E_POINTER;
  *out = static_cast<IEnumVARIANT*>(this);
  AddRef();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE ServiceEnumerator::Next(ULONG wanted, VARIANT* elements, ULONG* fetched) {
  if (fetched) *fetched = 0;
  // Nowhere to put what is wanted; the caller gets an error rather than a crash.
  if (wanted > 0 && !elements) return E_POINTER;
  for (ULONG i = 0; i < wanted; ++i) VariantInit(&elements[i]);
  const LONG entries = list_->Count();
  VARIANT* element = elements;
  while (wanted > 0 && position_ < entries) {
    V_VT(element) = VT_DISPATCH;
    if (FAILED(list_->At(position_)->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&V_DISPATCH(element))))) {
      VariantInit(element);  // no half-filled element is left behind
      break;
    }
    if (fetched) ++*fetched;
    --wanted;
    ++element;
    ++position_;
  }
  return wanted == 0 ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE ServiceEnumerator::Skip(ULONG count) {
  // Counted in 64 bits: a huge count must not wrap round into range.
  const LONGLONG target = static_cast<LONGLONG>(position_) + count;
  if (target > list_->Count()) return S_FALSE;
  position_ = static_cast<LONG>(target);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE ServiceEnumerator::Reset() {
  position_ = 0;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE ServiceEnumerator::Clone(IEnumVARIANT** out) {
  if (out) *out = nullptr;
  ServiceEnumerator* clone = New(*list_, collection_.get(), position_);
  if (!clone) return E_OUTOFMEMORY;
  const HRESULT hr = clone->QueryInterface(IID_IEnumVARIANT, reinterpret_cast<void**>(out));
  if (FAILED(hr)) clone->Destroy();  // a null out pointer: nobody would ever release the clone
  return hr;
}

void STDMETHODCALLTYPE ServiceEnumerator::Destroy() { delete this; }

}  // namespace kelvarn
