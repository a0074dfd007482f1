#pragma once
// The frame both service classes share: name, status and methods 1 to 5 of the host's service
// interfaces (ServiceName, Status get/put, AcceptPointer, AcceptKeyedPointer). Each class adds
// GetStatusText and its run (method 7).
#include <windows.h>
#include <oaidl.h>

#include "frame/com_object_win.h"
#include "frame/error_reporting_win.h"
#include "frame/owners_win.h"

namespace kelvarn {

template <typename Derived, typename Interface>
class ServiceObject : public ComObject<Derived, Interface> {
 public:
  HRESULT FinalConstruct() noexcept { return name_ ? S_OK : E_OUTOFMEMORY; }

  HRESULT STDMETHODCALLTYPE get_ServiceName(BSTR* name) override {
    return RunComMethod([&] { *RequirePointer(name) = CopyBstr(name_.get()); });
  }
  HRESULT STDMETHODCALLTYPE get_Status(LONG* status) override {
    return RunComMethod([&] { *RequirePointer(status) = status_; });
  }
  // Stored unchecked; the one method of the interface that cannot fail.
  HRESULT STDMETHODCALLTYPE put_Status(LONG status) override {
    status_ = status;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE AcceptPointer(IUnknown* object) override {
    return RunComMethod([&] { RequirePointer(object); });
  }
  HRESULT STDMETHODCALLTYPE AcceptKeyedPointer(LONG /*key: unused*/, IUnknown* object) override {
    return RunComMethod([&] { RequirePointer(object); });
  }

 protected:
  ServiceObject(IUnknown* outer, const OLECHAR* name) noexcept
      : ComObject<Derived, Interface>(outer), name_(SysAllocString(name)) {}

  LONG status_ = 0;  // outcome of the last run, or what the host stored

 private:
  UniqueBstr name_;
};

}  // namespace kelvarn
