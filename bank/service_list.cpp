#include "bank/service_list.h"

#include <algorithm>
#include <new>

#include "common/hresult.h"

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
  service->AddRef();
  storage_[position] = service;
  ++count_;
}

void ServiceList::RemoveAt(LONG position) noexcept {
  IDispatch* removed = storage_[position];
  std::copy(storage_.get() + position + 1, storage_.get() + count_, storage_.get() + position);
  storage_[--count_] = nullptr;
  // Released after the list is consistent again: the service's destruction may reach the list.
  removed->Release();
}

void ServiceList::RemoveAll() noexcept {
  while (count_ > 0) {
    IDispatch* removed = storage_[--count_];
    storage_[count_] = nullptr;
    removed->Release();
  }
  storage_.reset();
  capacity_ = 0;
}

}  // namespace kelvarn
