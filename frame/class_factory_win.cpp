#include "frame/class_factory_win.h"

#include <new>

#include "frame/module_win.h"

namespace kelvarn {
namespace {

class ClassFactory final : public IClassFactory {
 public:
  explicit ClassFactory(CreateInstanceFunction createInstance) noexcept : createInstance_(createInstance) {
    InitializeCriticalSection(&lock_);
  }
  ClassFactory(const ClassFactory&) = delete;
  ClassFactory& operator=(const ClassFactory&) = delete;
  ~ClassFactory() { DeleteCriticalSection(&lock_); }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid != IID_IUnknown && iid != IID_IClassFactory) return E_NOINTERFACE;
    *out = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
  }

  // The table holds the first reference; any reference beyond it is outside use and locks the
  // module, so a module whose class objects only the table holds can unload.
  ULONG STDMETHODCALLTYPE AddRef() override {
    CriticalSectionGuard guard(lock_);
    const LONG count = InterlockedIncrement(&count_);
    if (count == 2) LockModule();
    return static_cast<ULONG>(count);
  }
  ULONG STDMETHODCALLTYPE Release() override {
    LONG count;
    {
      CriticalSectionGuard guard(lock_);
      count = InterlockedDecrement(&count_);
      if (count == 1) UnlockModule();
    }
    if (count == 0) delete this;
    return static_cast<ULONG>(count);
  }

  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer && iid != IID_IUnknown) return CLASS_E_NOAGGREGATION;
    return createInstance_(outer, iid, out);
  }

  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    if (lock) {
      LockModule();
    } else {
      UnlockModule();
    }
    return S_OK;
  }

 private:
  CreateInstanceFunction createInstance_;
  CRITICAL_SECTION lock_;
  volatile LONG count_ = 1;
};

}  // namespace

IClassFactory* NewClassFactory(CreateInstanceFunction createInstance) noexcept {
  return new (std::nothrow) ClassFactory(createInstance);
}

}  // namespace kelvarn
