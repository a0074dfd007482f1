#pragma once
// The services of a BankServices collection: a growable array of IDispatch pointers, each entry
// holding one reference, in insertion order.
#include <windows.h>
#include <oaidl.h>

#include <memory>

namespace kelvarn {

class ServiceList {
 public:
  ServiceList() noexcept = default;
  ServiceList(const ServiceList&) = delete;
  ServiceList& operator=(const ServiceList&) = delete;
  ~ServiceList() { RemoveAll(); }

  LONG Count() const noexcept { return count_; }
  LONG Capacity() const noexcept { return capacity_; }
  bool IsPosition(LONG position) const noexcept { return position >= 0 && position < count_; }
  // The entry at a valid position (no reference added).
  IDispatch* At(LONG position) const noexcept { return storage_[position]; }

  // Adds a reference to `service` and appends it; grows the storage by whole grow steps when it
  // is full. Throws E_OUTOFMEMORY (list unchanged) when the storage cannot grow.
  void Append(IDispatch* service) { Insert(count_, service); }
  void Insert(LONG position, IDispatch* service);
  // Releases the entry at a valid position and moves the later entries down one place.
  void RemoveAt(LONG position) noexcept;
  // Releases every entry, last to first, and frees the storage.
  void RemoveAll() noexcept;

 private:
  void Grow(LONG needed);

  LONG growStep_ = 8;
  LONG capacity_ = 0;
  LONG count_ = 0;
  std::unique_ptr<IDispatch*[]> storage_;  // slots from count_ upward are null
};

}  // namespace kelvarn
