#include "frame/error_reporting_win.h"

#include <cwchar>
#include <iterator>

#include "frame/owners_win.h"

namespace kelvarn {
namespace {

struct DescriptionRow {
  HRESULT thrown;
  const wchar_t* description;
};

// Searched from row 0; an HRESULT not in the table uses row 0. Row r returns 0x800A0000 |
// (0xFFFE - r), codes of the control facility that late-bound callers show with the text.
constexpr DescriptionRow kDescriptions[] = {
    {E_UNEXPECTED, L"Unexpected result"},        {E_OUTOFMEMORY, L"Out of Memory"},
    {E_INVALIDARG, L"Invalid argument"},         {E_NOTIMPL, L"Not implemented"},
    {E_NOINTERFACE, L"Interface not supported"},
};

constexpr HRESULT kFacilityMask = 0x1FFF0000;
constexpr HRESULT kControlFacility = 0x000A0000;

}  // namespace

void ThrowHostFailure(HRESULT hr) { throw _com_error(hr); }

void ThrowHostFailureFrom(HRESULT hr, IUnknown* component, REFIID iid) {
  IErrorInfo* info = nullptr;
  if (component) {
    ComPtr<ISupportErrorInfo> support;
    if (SUCCEEDED(component->QueryInterface(IID_ISupportErrorInfo, support.put_void())) && support &&
        support->InterfaceSupportsErrorInfo(iid) == S_OK) {
      if (GetErrorInfo(0, &info) != S_OK) info = nullptr;
    }
  }
  throw _com_error(hr, info);  // the reference GetErrorInfo gave passes to the exception
}

HRESULT TranslateHresult(HRESULT hr) noexcept {
  if (hr == DISP_E_EXCEPTION || (hr & kFacilityMask) == kControlFacility) return hr;
  ComPtr<ICreateErrorInfo> creator;
  if (FAILED(CreateErrorInfo(creator.put())) || !creator) return hr;
  std::size_t row = 0;
  for (std::size_t i = 0; i < std::size(kDescriptions); ++i) {
    if (kDescriptions[i].thrown == hr) {
      row = i;
      break;
    }
  }
  creator->SetDescription(const_cast<LPOLESTR>(kDescriptions[row].description));
  ComPtr<IErrorInfo> info = creator.As<IErrorInfo>();
  if (info) SetErrorInfo(0, info.get());
  return static_cast<HRESULT>(0x800A0000u | ((0xFFFEu - row) & 0xFFFFu));
}

BSTR AllocateBstr(const OLECHAR* text) { return AllocateBstr(text, text ? static_cast<UINT>(wcslen(text)) : 0); }

BSTR CopyBstr(BSTR text) { return AllocateBstr(text, SysStringLen(text)); }

BSTR AllocateBstr(const OLECHAR* text, UINT length) {
  BSTR copy = SysAllocStringLen(text, length);
  if (!copy) ThrowHresult(kOutOfMemory);
  return copy;
}

}  // namespace kelvarn
