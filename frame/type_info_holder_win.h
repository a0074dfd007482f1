#pragma once
// The type information of one of the component's dual interfaces, shared by all objects of its
// class: loaded from the registered type library on first use, with a cache of member names,
// and released by a termination callback when the module unloads.
#include <windows.h>
#include <oaidl.h>

#include <atomic>

#include "frame/owners_win.h"

namespace kelvarn {

class TypeInfoHolder {
 public:
  // Trivially destructible, so holders may be plain statics; they hold nothing until first use
  // and are emptied by their termination callback.
  constexpr explicit TypeInfoHolder(const IID& iid) noexcept : iid_(&iid) {}
  TypeInfoHolder(const TypeInfoHolder&) = delete;
  TypeInfoHolder& operator=(const TypeInfoHolder&) = delete;

  // The interface's type information with a reference added; E_POINTER for a null out pointer.
  HRESULT GetTypeInfo(LCID locale, ITypeInfo** out) noexcept;
  // Each name is looked up in the cache; on a miss the whole request goes to the type info.
  HRESULT GetIDsOfNames(LPOLESTR* names, UINT count, LCID locale, DISPID* ids) noexcept;
  HRESULT Invoke(IDispatch* instance, DISPID member, LCID locale, WORD flags, DISPPARAMS* parameters, VARIANT* result,
                 EXCEPINFO* exception, UINT* argumentError) noexcept;

 private:
  struct CachedName {
    UniqueBstr name;
    UINT length = 0;
    DISPID id = DISPID_UNKNOWN;
  };

  // The published type information, loaded first if needed.
  HRESULT EnsureLoaded(LCID locale, ITypeInfo*& info) noexcept;
  void BuildNameCache(ITypeInfo* info) noexcept;
  static void Terminate(void* context) noexcept;

  const IID* iid_;
  // The ITypeInfo2 interface when the type info has one. Published only once the name cache is
  // complete: a thread that sees it (acquire) sees the whole cache, and never changes it.
  std::atomic<ITypeInfo*> info_{nullptr};
  CachedName* names_ = nullptr;
  UINT nameCount_ = 0;
};

}  // namespace kelvarn
