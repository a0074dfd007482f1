#include "frame/type_info_holder_win.h"

#include <cwchar>
#include <new>
#include <type_traits>
#include <utility>

#include "frame/module_win.h"
#include "frame/owners_win.h"
#include "frame/type_library_win.h"

namespace kelvarn {

static_assert(std::is_trivially_destructible_v<TypeInfoHolder>, "holders are plain statics");

HRESULT TypeInfoHolder::EnsureLoaded(LCID locale, ITypeInfo*& info) noexcept {
  info = info_.load(std::memory_order_acquire);
  if (info) return S_OK;
  CriticalSectionGuard guard(TypeInfoLock());
  info = info_.load(std::memory_order_acquire);
  if (info) return S_OK;
  ComPtr<ITypeLib> library;
  HRESULT hr =
      LoadRegTypeLib(kComponentLibraryId, kComponentLibraryMajor, kComponentLibraryMinor, locale, library.put());
  if (FAILED(hr)) return hr;
  ComPtr<ITypeInfo> loaded;
  hr = library->GetTypeInfoOfGuid(*iid_, loaded.put());
  if (FAILED(hr)) return hr;
  if (ComPtr<ITypeInfo2> info2 = loaded.As<ITypeInfo2>()) {
    loaded = ComPtr<ITypeInfo>::Attach(info2.release());
  }
  BuildNameCache(loaded.get());
  AddTerminationCallback(&TypeInfoHolder::Terminate, this);
  // Published last, with the cache complete.
  info = loaded.release();
  info_.store(info, std::memory_order_release);
  return S_OK;
}

void TypeInfoHolder::BuildNameCache(ITypeInfo* info) noexcept {
  TYPEATTR* attributes = nullptr;
  if (FAILED(info->GetTypeAttr(&attributes)) || !attributes) return;
  const UINT functionCount = attributes->cFuncs;
  info->ReleaseTypeAttr(attributes);
  if (functionCount == 0) return;
  names_ = new (std::nothrow) CachedName[functionCount];
  if (!names_) return;  // without a cache every lookup goes to the type info
  for (UINT index = 0; index < functionCount; ++index) {
    FUNCDESC* function = nullptr;
    if (FAILED(info->GetFuncDesc(index, &function)) || !function) continue;
    UniqueBstr name;
    UINT found = 0;
    if (SUCCEEDED(info->GetNames(function->memid, name.put(), 1, &found)) && found == 1 && name) {
      const UINT length = SysStringLen(name.get());
      names_[nameCount_++] = CachedName{std::move(name), length, function->memid};
    }
    info->ReleaseFuncDesc(function);
  }
}

void TypeInfoHolder::Terminate(void* context) noexcept {
  auto* holder = static_cast<TypeInfoHolder*>(context);
  // Freed first to last, in cache order (delete[] alone would destroy them last to first).
  for (UINT index = 0; index < holder->nameCount_; ++index) holder->names_[index].name.reset();
  delete[] holder->names_;
  holder->names_ = nullptr;
  holder->nameCount_ = 0;
  const ComPtr<ITypeInfo> info = ComPtr<ITypeInfo>::Attach(holder->info_.exchange(nullptr));
}

HRESULT TypeInfoHolder::GetTypeInfo(LCID locale, ITypeInfo** out) noexcept {
  if (!out) return E_POINTER;
  *out = nullptr;
  ITypeInfo* info = nullptr;
  HRESULT hr = EnsureLoaded(locale, info);
  if (FAILED(hr)) return hr;
  *out = ComPtr<ITypeInfo>::Share(info).release();
  return S_OK;
}

HRESULT TypeInfoHolder::GetIDsOfNames(LPOLESTR* names, UINT count, LCID locale, DISPID* ids) noexcept {
  ITypeInfo* info = nullptr;
  HRESULT hr = EnsureLoaded(locale, info);
  if (FAILED(hr)) return hr;
  if (count > 0 && (!names || !ids)) return E_POINTER;
  for (UINT requested = 0; requested < count; ++requested) {
    const OLECHAR* name = names[requested];
    const std::size_t length = name ? std::wcslen(name) : 0;
    bool cached = false;
    for (UINT index = 0; index < nameCount_ && name; ++index) {
      if (names_[index].length == length && std::wmemcmp(names_[index].name.get(), name, length) == 0) {
        ids[requested] = names_[index].id;
        cached = true;
        break;
      }
    }
    if (!cached) {
      // Inherited members and argument names live in the type info (and the libraries it imports).
      return info->GetIDsOfNames(names, count, ids);
    }
  }
  return S_OK;
}

HRESULT TypeInfoHolder::Invoke(IDispatch* instance, DISPID member, LCID locale, WORD flags, DISPPARAMS* parameters,
                               VARIANT* result, EXCEPINFO* exception, UINT* argumentError) noexcept {
  ITypeInfo* info = nullptr;
  HRESULT hr = EnsureLoaded(locale, info);
  if (FAILED(hr)) return hr;
  return info->Invoke(instance, member, flags, parameters, result, exception, argumentError);
}

}  // namespace kelvarn
