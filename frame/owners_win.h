#pragma once
// Owner types for every raw Windows and COM resource the component holds: a BSTR, a VARIANT, a
// registry key, a kernel handle, a loaded library and an interface pointer. No bare
// SysFreeString / VariantClear / RegCloseKey / CloseHandle / FreeLibrary / Release in the logic.
//
//   UniqueBstr name(SysAllocString(L"x"));   // freed at scope end
//   ComPtr<IBankAccount> account;
//   reconciliation->get_BankAccount(account.put());   // put() releases what it held first
//   *out = name.release();                  // hand ownership to the caller
#include <windows.h>
#include <oleauto.h>
#include <unknwn.h>

#include <utility>

namespace kelvarn {

// Owner of one resource of type T with a null value and a close function.
template <typename T, T kNull, typename Close>
class UniqueResource {
 public:
  UniqueResource() noexcept = default;
  explicit UniqueResource(T value) noexcept : value_(value) {}
  UniqueResource(const UniqueResource&) = delete;
  UniqueResource& operator=(const UniqueResource&) = delete;
  UniqueResource(UniqueResource&& other) noexcept : value_(other.release()) {}
  UniqueResource& operator=(UniqueResource&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  ~UniqueResource() { reset(); }

  T get() const noexcept { return value_; }
  explicit operator bool() const noexcept { return value_ != kNull; }
  // Gives up ownership without closing.
  T release() noexcept { return std::exchange(value_, kNull); }
  void reset(T value = kNull) noexcept {
    T old = std::exchange(value_, value);
    if (old != kNull) Close()(old);
  }
  // Closes what is held and hands out the address for an out argument.
  T* put() noexcept {
    reset();
    return &value_;
  }

 private:
  T value_ = kNull;
};

struct CloseBstr {
  void operator()(BSTR text) const noexcept { SysFreeString(text); }
};
struct CloseRegistryKey {
  void operator()(HKEY key) const noexcept { RegCloseKey(key); }
};
struct CloseKernelHandle {
  void operator()(HANDLE handle) const noexcept { CloseHandle(handle); }
};
struct CloseLibrary {
  void operator()(HMODULE module) const noexcept { FreeLibrary(module); }
};

using UniqueBstr = UniqueResource<BSTR, nullptr, CloseBstr>;
using UniqueHkey = UniqueResource<HKEY, nullptr, CloseRegistryKey>;
// Kernel handles whose "none" is null (events, threads, mappings; not CreateFile results).
using UniqueHandle = UniqueResource<HANDLE, nullptr, CloseKernelHandle>;
using UniqueModule = UniqueResource<HMODULE, nullptr, CloseLibrary>;

// A VARIANT cleared on destruction.
class UniqueVariant {
 public:
  UniqueVariant() noexcept { VariantInit(&value_); }
  UniqueVariant(const UniqueVariant&) = delete;
  UniqueVariant& operator=(const UniqueVariant&) = delete;
  ~UniqueVariant() { VariantClear(&value_); }

  VARIANT* get() noexcept { return &value_; }
  const VARIANT* get() const noexcept { return &value_; }
  VARIANT* operator->() noexcept { return &value_; }
  // Clears what is held and hands out the address for an out argument.
  VARIANT* put() noexcept {
    VariantClear(&value_);
    return &value_;
  }
  // Gives the value to the caller (who clears it) and leaves this one empty.
  VARIANT release() noexcept {
    VARIANT value = value_;
    VariantInit(&value_);
    return value;
  }

 private:
  VARIANT value_;
};

// A counted interface pointer: one reference, released on destruction.
template <typename T>
class ComPtr {
 public:
  ComPtr() noexcept = default;
  ComPtr(std::nullptr_t) noexcept {}
  // Adopts a reference the caller already owns.
  static ComPtr Attach(T* pointer) noexcept {
    ComPtr result;
    result.pointer_ = pointer;
    return result;
  }
  // Adds a reference of its own.
  static ComPtr Share(T* pointer) noexcept {
    if (pointer) pointer->AddRef();
    return Attach(pointer);
  }
  ComPtr(const ComPtr& other) noexcept : pointer_(other.pointer_) {
    if (pointer_) pointer_->AddRef();
  }
  ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
  ComPtr& operator=(ComPtr other) noexcept {
    std::swap(pointer_, other.pointer_);
    return *this;
  }
  ~ComPtr() { reset(); }

  T* get() const noexcept { return pointer_; }
  T* operator->() const noexcept { return pointer_; }
  explicit operator bool() const noexcept { return pointer_ != nullptr; }
  T* release() noexcept { return std::exchange(pointer_, nullptr); }
  void reset() noexcept {
    if (T* old = std::exchange(pointer_, nullptr)) old->Release();
  }
  // Releases what is held and hands out the address for an out argument.
  T** put() noexcept {
    reset();
    return &pointer_;
  }
  void** put_void() noexcept { return reinterpret_cast<void**>(put()); }

  // QueryInterface for another interface; an empty pointer on failure (hr tells why).
  template <typename U>
  ComPtr<U> As(HRESULT* hr = nullptr) const noexcept {
    ComPtr<U> result;
    HRESULT status = pointer_ ? pointer_->QueryInterface(__uuidof(U), result.put_void()) : E_POINTER;
    if (hr) *hr = status;
    return result;
  }

 private:
  T* pointer_ = nullptr;
};

}  // namespace kelvarn
