#include "frame/class_factory_win.h"

#include <new>

#include "frame/module_win.h"
#include "frame/ref_counted_win.h"

namespace kelvarn {
namespace {

// The table holds the first reference; any reference beyond it is outside use and locks the
// module, so a module whose class objects only the table holds can unload.
class TableHeldCount {
 public:
  explicit TableHeldCount(ULONG first) noexcept : count_(first) { InitializeCriticalSection(&lock_); }
  TableHeldCount(const TableHeldCount&) = delete;
  TableHeldCount& operator=(const TableHeldCount&) = delete;
  ~TableHeldCount() { DeleteCriticalSection(&lock_); }

  ULONG Increment() noexcept {
    CriticalSectionGuard guard(lock_);
    const ULONG count = count_.Increment();
    if (count == 2) LockModule();
    return count;
  }
  ULONG Decrement() noexcept {
    CriticalSectionGuard guard(lock_);
    const ULONG count = count_.Decrement();
    if (count == 1) UnlockModule();
    return count;
  }
  ULONG Value() const noexcept { return count_.Value(); }

 private:
  CRITICAL_SECTION lock_;
  InterlockedCount count_;
};

class ClassFactory final : public RefCounted<ClassFactory, TableHeldCount, IClassFactory> {
 public:
  explicit ClassFactory(CreateInstanceFunction createInstance) noexcept : createInstance_(createInstance) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid != IID_IUnknown && iid != IID_IClassFactory) return E_NOINTERFACE;
    *out = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
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
};

}  // namespace

IClassFactory* NewClassFactory(CreateInstanceFunction createInstance) noexcept {
  return new (std::nothrow) ClassFactory(createInstance);
}

}  // namespace kelvarn
