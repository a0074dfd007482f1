#include "frame/type_info_holder.h"

#include <cwchar>
#include <new>

#include "frame/module.h"
#include "frame/owners.h"
#include "frame/type_library.h"

namespace kelvarn {

HRESULT TypeInfoHolder::EnsureLoaded(LCID locale) noexcept {
  if (info_) return S_OK;
  CriticalSectionGuard guard(TypeInfoLock());
  if (info_) return S_OK;
  ComPtr<ITypeLib> library;
  HRESULT hr = LoadRegTypeLib(kComponentLibraryId, kComponentLibraryMajor, kComponentLibraryMinor, locale,
                              library.put());
  if (FAILED(hr)) return hr;
  ComPtr<ITypeInfo> info;
  hr = library->GetTypeInfoOfGuid(*iid_, info.put());
  if (FAILED(hr)) return hr;
  if (ComPtr<ITypeInfo2> info2 = info.As<ITypeInfo2>()) {
    info = ComPtr<ITypeInfo>::Attach(info2.release());
  }
  info_ = info.release();
  BuildNameCache();
  AddTerminationCallback(&TypeInfoHolder::Terminate, this);
  return S_OK;
}

void TypeInfoHolder::BuildNameCache() noexcept {
  TYPEATTR* attributes = nullptr;
  if (FAILED(info_->GetTypeAttr(&attributes)) || !attributes) return;
  const UINT functionCount = attributes->cFuncs;
  info_->ReleaseTypeAttr(attributes);
  if (functionCount == 0) return;
  names_ = new (std::nothrow) CachedName[functionCount];
  if (!names_) return;  // without a cache every lookup goes to the type info
  for (UINT index = 0; index < functionCount; ++index) {
    FUNCDESC* function = nullptr;
    if (FAILED(info_->GetFuncDesc(index, &function)) || !function) continue;
    BSTR name = nullptr;
    UINT found = 0;
    if (SUCCEEDED(info_->GetNames(function->memid, &name, 1, &found)) && found == 1 && name) {
      names_[nameCount_++] = CachedName{name, SysStringLen(name), function->memid};
    }
    info_->ReleaseFuncDesc(function);
  }
}

void TypeInfoHolder::Terminate(void* context) noexcept {
  auto* holder = static_cast<TypeInfoHolder*>(context);
  for (UINT index = 0; index < holder->nameCount_; ++index) SysFreeString(holder->names_[index].name);
  delete[] holder->names_;
  holder->names_ = nullptr;
  holder->nameCount_ = 0;
  if (holder->info_) holder->info_->Release();
  holder->info_ = nullptr;
}

HRESULT TypeInfoHolder::GetTypeInfo(LCID locale, ITypeInfo** out) noexcept {
  if (!out) return E_POINTER;
  *out = nullptr;
  HRESULT hr = EnsureLoaded(locale);
  if (FAILED(hr)) return hr;
  info_->AddRef();
  *out = info_;
  return S_OK;
}

HRESULT TypeInfoHolder::GetIDsOfNames(LPOLESTR* names, UINT count, LCID locale, DISPID* ids) noexcept {
  HRESULT hr = EnsureLoaded(locale);
  if (FAILED(hr)) return hr;
  if (count > 0 && (!names || !ids)) return E_POINTER;
  for (UINT requested = 0; requested < count; ++requested) {
    const OLECHAR* name = names[requested];
    const std::size_t length = name ? std::wcslen(name) : 0;
    bool cached = false;
    for (UINT index = 0; index < nameCount_ && name; ++index) {
      if (names_[index].length == length && std::wmemcmp(names_[index].name, name, length) == 0) {
        ids[requested] = names_[index].id;
        cached = true;
        break;
      }
    }
    if (!cached) {
      // Inherited members and argument names live in the type info (and the libraries it imports).
      return info_->GetIDsOfNames(names, count, ids);
    }
  }
  return S_OK;
}

HRESULT TypeInfoHolder::Invoke(IDispatch* instance, DISPID member, LCID locale, WORD flags,
                               DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception,
                               UINT* argumentError) noexcept {
  HRESULT hr = EnsureLoaded(locale);
  if (FAILED(hr)) return hr;
  return info_->Invoke(instance, member, flags, parameters, result, exception, argumentError);
}

}  // namespace kelvarn
