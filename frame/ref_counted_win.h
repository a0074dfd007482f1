#pragma once
// The reference count of the COM objects that are not ComObjects: the class objects, the services'
// enumerator, and the host's stand-ins of the tests and benchmarks (programs of their own, so the
// base knows nothing of the module's lock). The base derives from the class's interfaces and
// answers AddRef and Release; the class keeps its own QueryInterface.
//
//   class Enumerator final : public RefCounted<Enumerator, ApartmentCount, IEnumVARIANT> {
//    public:
//     Enumerator() noexcept : RefCounted(0) {}   // the first count (1 when not given)
//     HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
//     ...
//   };
//
// `Count` says who may change the count: ApartmentCount (one thread at a time), InterlockedCount
// (any thread), or a class's own (the class object's locks the module). A count is constructed
// from the first count and has Increment() and Decrement() giving the new count, and Value().
//
// When the count reaches 0 the base calls the class's `void OnFinalRelease()`, or, when the class
// has none, deletes it as a `Derived` (a protected or private destructor, or hook, wants the base
// as a friend). A class that adds to AddRef or Release (a log line) overrides them and calls the
// base's.
#include <windows.h>
#include <unknwn.h>

namespace kelvarn {

// A count changed by one thread at a time (objects of a single-threaded apartment).
class ApartmentCount {
 public:
  explicit ApartmentCount(ULONG first) noexcept : value_(first) {}
  ULONG Increment() noexcept { return ++value_; }
  ULONG Decrement() noexcept { return --value_; }
  ULONG Value() const noexcept { return value_; }

 private:
  ULONG value_;
};

// A count that several threads may change at once.
class InterlockedCount {
 public:
  explicit InterlockedCount(ULONG first) noexcept : value_(static_cast<LONG>(first)) {}
  ULONG Increment() noexcept { return static_cast<ULONG>(InterlockedIncrement(&value_)); }
  ULONG Decrement() noexcept { return static_cast<ULONG>(InterlockedDecrement(&value_)); }
  ULONG Value() const noexcept { return static_cast<ULONG>(value_); }

 private:
  volatile LONG value_;
};

template <typename Derived, typename Count, typename... Interfaces>
class RefCounted : public Interfaces... {
 public:
  RefCounted(const RefCounted&) = delete;
  RefCounted& operator=(const RefCounted&) = delete;

  ULONG STDMETHODCALLTYPE AddRef() override { return count_.Increment(); }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG count = count_.Decrement();
    if (count == 0) static_cast<Derived*>(this)->OnFinalRelease();
    return count;
  }

  // The references held now (what the tests check for leaks).
  ULONG References() const noexcept { return count_.Value(); }

 protected:
  explicit RefCounted(ULONG first = 1) noexcept : count_(first) {}
  ~RefCounted() = default;

  void OnFinalRelease() noexcept { delete static_cast<Derived*>(this); }

 private:
  Count count_;
};

}  // namespace kelvarn
