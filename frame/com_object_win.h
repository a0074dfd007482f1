#pragma once
// The base of the component's COM classes: one dual interface plus ISupportErrorInfo, a plain
// reference count (every object lives in the host's single-threaded apartment), the module lock
// from construction to destruction, aggregation, and IDispatch from the registered type library.
//
// How to write a class on it, and the other steps of adding one (class table, IDL, registry
// script, tests): docs/architecture.md.
//
// A class is `final` (the base deletes through the derived type, with no virtual destructor, so
// that the base adds no slots to the interface's vtable), answers its interfaces besides IUnknown
// in `void* FindInterface(REFIID) noexcept`, may define `HRESULT FinalConstruct()` (run before
// the first QueryInterface; a failure deletes the object), and is created by
// `CreateInstance(outer, iid, out)` from its class-table creation function. `Layout` and
// `ErrorInfoLayout`: abstract structs deriving from `Interface` and ISupportErrorInfo that
// declare a class's own operations after the interface's methods in its vtables.
#include <windows.h>
#include <oaidl.h>

#include <new>

#include "frame/module_win.h"
#include "frame/type_info_holder_win.h"

namespace kelvarn {

template <typename Derived, typename Interface, typename Layout = Interface,
          typename ErrorInfoLayout = ISupportErrorInfo>
class ComObject : public Layout, public ErrorInfoLayout {
 public:
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  // Allocates and constructs an instance (aggregated when `outer` is given), runs its
  // FinalConstruct and queries it for `iid`; the instance is deleted again on any failure.
  static HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** out) noexcept {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer && iid != IID_IUnknown) return CLASS_E_NOAGGREGATION;
    Derived* object = new (std::nothrow) Derived(outer);
    if (!object) return E_OUTOFMEMORY;
    HRESULT hr = object->FinalConstruct();
    if (SUCCEEDED(hr)) hr = object->inner_.QueryInterface(iid, out);
    if (FAILED(hr)) {
      *out = nullptr;
      delete object;
    }
    return hr;
  }

  // IUnknown of every interface of the object: the controlling unknown (the outer object when
  // aggregated, else the object's own).
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    return controlling_->QueryInterface(iid, out);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return controlling_->AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return controlling_->Release(); }

  // IDispatch, answered from the type information of the class's dual interface.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = 1;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT /*index: one interface*/, LCID locale, ITypeInfo** out) override {
    return typeInfo_.GetTypeInfo(locale, out);
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override {
    return typeInfo_.GetIDsOfNames(names, count, locale, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID, LCID locale, WORD flags, DISPPARAMS* parameters,
                                   VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override {
    return typeInfo_.Invoke(static_cast<Interface*>(this), member, locale, flags, parameters, result, exception,
                            argumentError);
  }

  // ISupportErrorInfo: rich errors for the class's own dual interface only.
  HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override {
    return iid == __uuidof(Interface) ? S_OK : S_FALSE;
  }

 protected:
  explicit ComObject(IUnknown* outer) noexcept : inner_(this, outer != nullptr), controlling_(outer ? outer : &inner_) {
    LockModule();
  }
  ~ComObject() { UnlockModule(); }

  HRESULT FinalConstruct() noexcept { return S_OK; }

  // The object's own unknown (what an aggregating outer object holds).
  IUnknown* InnerUnknown() noexcept { return &inner_; }

 private:
  // The non-delegating unknown: the object's identity and its reference count.
  class Inner final : public IUnknown {
   public:
    Inner(ComObject* object, bool aggregated) noexcept : object_(object), aggregated_(aggregated) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
      if (!out) return E_POINTER;
      *out = nullptr;
      if (iid == IID_IUnknown) {
        // Aggregated, the object's own unknown is the inner one; alone, it is the dual interface.
        *out = aggregated_ ? static_cast<IUnknown*>(this) : static_cast<IUnknown*>(static_cast<Interface*>(object_));
      } else {
        *out = static_cast<Derived*>(object_)->FindInterface(iid);
      }
      if (!*out) return E_NOINTERFACE;
      static_cast<IUnknown*>(*out)->AddRef();
      return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++count_; }
    ULONG STDMETHODCALLTYPE Release() override {
      const ULONG count = --count_;
      if (count == 0) delete static_cast<Derived*>(object_);
      return count;
    }

   private:
    ComObject* object_;
    bool aggregated_;
    ULONG count_ = 0;
  };

  Inner inner_;
  IUnknown* controlling_;
  static inline TypeInfoHolder typeInfo_{__uuidof(Interface)};
};

}  // namespace kelvarn
