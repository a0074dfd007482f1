#pragma once
// The host-call failure: an HRESULT and an optional IErrorInfo reference. Our own class of the
// familiar name (mingw's comdef.h drags in its support library); it owns one reference to the
// error information: copying adds one, destruction releases one.
#include <windows.h>
#include <oaidl.h>

#include <utility>

namespace kelvarn {

class _com_error {  // NOLINT(readability-identifier-naming): the conventional name
 public:
  // Takes over the caller's reference to `info` (which may be null) without adding one.
  explicit _com_error(HRESULT hr, IErrorInfo* info = nullptr) noexcept : hr_(hr), info_(info) {}
  _com_error(const _com_error& other) noexcept : hr_(other.hr_), info_(other.info_) {
    if (info_) info_->AddRef();
  }
  _com_error& operator=(const _com_error& other) noexcept {
    _com_error copy(other);
    std::swap(hr_, copy.hr_);
    std::swap(info_, copy.info_);
    return *this;
  }
  ~_com_error() {
    if (info_) info_->Release();
  }

  HRESULT Error() const noexcept { return hr_; }
  // The error information (no reference added), or null.
  IErrorInfo* ErrorInfo() const noexcept { return info_; }

 private:
  HRESULT hr_;
  IErrorInfo* info_;
};

}  // namespace kelvarn
