#pragma once
// Error reporting of the component's COM methods.
//
// Inside a method, failures are exceptions: a thrown HRESULT value (`long`, see
// common/hresult.h: E_INVALIDARG for a null required argument, E_OUTOFMEMORY for a failed
// allocation) or a `_com_error` for a failed call of a host component. Every method of the four
// dual interfaces (except IUnknown, IDispatch and the Status setter) wraps its body in
// RunComMethod, the uniform catch sequence, so no exception ever leaves a COM method:
//
//   HRESULT STDMETHODCALLTYPE BankPaymentService::get_ServiceName(BSTR* name) {
//     return RunComMethod([&] {
//       *RequirePointer(name) = CopyBstr(name_.get());
//     });   // a body returning void yields S_OK; a body may also return its own HRESULT
//   }
//
// Host calls: `if (FAILED(hr)) ThrowHostFailureFrom(hr, configuration.get(),
// __uuidof(IBankingConfiguration));` and `ThrowHostFailure(E_POINTER)` for a component that
// could not be created.
#include <windows.h>
#include <oaidl.h>

#include <new>
#include <type_traits>

#include "common/hresult.h"
#include "frame/com_error_win.h"

namespace kelvarn {

static_assert(std::is_same_v<HresultValue, HRESULT>, "thrown HRESULTs must be caught as HRESULT");

// Throws `_com_error` with `hr` and no error information.
[[noreturn]] void ThrowHostFailure(HRESULT hr);

// Throws `_com_error` with `hr` and the error information of `component`, taken only when the
// component says (ISupportErrorInfo) that `iid` supports it.
[[noreturn]] void ThrowHostFailureFrom(HRESULT hr, IUnknown* component, REFIID iid);

// The HRESULT a method returns for a thrown HRESULT; posts error information with the
// description of the table row as a side effect (nothing for DISP_E_EXCEPTION or facility 10).
HRESULT TranslateHresult(HRESULT hr) noexcept;

// The result of `body`: S_OK for a body returning void, its own HRESULT otherwise.
template <typename Body>
HRESULT ResultOf(Body& body) {
  if constexpr (std::is_void_v<decltype(body())>) {
    body();
    return S_OK;
  } else {
    return body();
  }
}

// The catch sequence of code that posts no error information (registration, construction):
// runs `body` and gives `failure` for whatever it throws.
template <typename Body>
HRESULT RunOrFail(HRESULT failure, Body&& body) noexcept {
  try {
    return ResultOf(body);
  } catch (...) {
    return failure;
  }
}

// The uniform catch sequence: runs `body` and turns whatever it throws into the method's result.
template <typename Body>
HRESULT RunComMethod(Body&& body) noexcept {
  try {
    return ResultOf(body);
  } catch (_com_error) {  // NOLINT(misc-throw-by-value-catch-by-reference): releases its info
    // The host's error information was fetched off the thread and is not posted again.
    return DISP_E_EXCEPTION;
  } catch (HRESULT hr) {
    return TranslateHresult(hr);
  } catch (const std::bad_alloc&) {
    // A standard container or string could not allocate: the same as a thrown E_OUTOFMEMORY.
    return TranslateHresult(E_OUTOFMEMORY);
  } catch (...) {
    return E_UNEXPECTED;
  }
}

// Rejects a null required argument (in or out) with a thrown E_INVALIDARG; returns it otherwise.
template <typename T>
T* RequirePointer(T* pointer) {
  if (!pointer) ThrowHresult(kInvalidArgument);
  return pointer;
}

// New BSTRs; a failed allocation throws E_OUTOFMEMORY. AllocateBstr reads up to the NUL,
// CopyBstr copies a BSTR with its length (a null BSTR gives an empty one).
BSTR AllocateBstr(const OLECHAR* text);
BSTR AllocateBstr(const OLECHAR* text, UINT length);
BSTR CopyBstr(BSTR text);

}  // namespace kelvarn
