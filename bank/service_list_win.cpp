#include "bank/service_list_win.h"

#include <algorithm>
#include <new>

#include "common/hresult.h"
#include "frame/owners_win.h"

namespace kelvarn {

void ServiceList::Grow(LONG needed) {
  if (count_ + needed <= capacity_) return;
  const LONG missing = count_ + needed - capacity_;
  const LONG steps = (missing + growStep_ - 1) / growStep_;
  const LONG capacity = capacity_ + steps * growStep_;
  std::unique_ptr<IDispatch*[]> storage(new (std::nothrow) IDispatch*[capacity]());
  if (!storage) ThrowHresult(kOutOfMemory);
  std::copy(storage_.get(), storage_.get() + count_, storage.get());
  storage_ = std::move(storage);
  capacity_ = capacity;
}

void ServiceList::Insert(LONG position, IDispatch* service) {
  Grow(1);
  std::copy_backward(storage_.get() + position, storage_.get() + count_, storage_.get() + count_ + 1);
  storage_[position] = ComPtr<IDispatch>::Share(service).release();
  ++count_;
}

void ServiceList::RemoveAt(LONG position) noexcept {
  // Released at scope end, after the list is consistent again: the service's destruction may
  // reach the list.
  const ComPtr<IDispatch> removed = ComPtr<IDispatch>::Attach(storage_[position]);
  std::copy(storage_.get() + position + 1, storage_.get() + count_, storage_.get() + position);
  storage_[--count_] = nullptr;
}

void ServiceList::RemoveAll() noexcept {
  while (count_ > 0) {
    const ComPtr<IDispatch> removed = ComPtr<IDispatch>::Attach(storage_[--count_]);
    storage_[count_] = nullptr;
  }
  storage_.reset();
  capacity_ = 0;
}

}  // namespace kelvarn
