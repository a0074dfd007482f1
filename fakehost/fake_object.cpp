#include "fakehost/fake_object.h"

namespace kelvarn::test {

HRESULT FakeErrorInfo::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (iid != IID_IUnknown && iid != IID_IErrorInfo) return E_NOINTERFACE;
  *out = static_cast<IErrorInfo*>(this);
  AddRef();
  return S_OK;
}

void FakeErrorInfo::OnFinalRelease() {
  log_.Add("error info " + Quoted(description_.c_str()) + " released");
  delete this;
}

HRESULT FakeErrorInfo::GetGUID(GUID* guid) {
  if (!guid) return E_POINTER;
  *guid = GUID_NULL;
  return S_OK;
}

HRESULT FakeErrorInfo::GetSource(BSTR* source) {
  if (!source) return E_POINTER;
  *source = SysAllocString(L"Trelk host");
  return S_OK;
}

HRESULT FakeErrorInfo::GetDescription(BSTR* description) {
  if (!description) return E_POINTER;
  *description = SysAllocString(description_.c_str());
  return S_OK;
}

HRESULT FakeErrorInfo::GetHelpFile(BSTR* file) {
  if (!file) return E_POINTER;
  *file = nullptr;
  return S_OK;
}

HRESULT FakeErrorInfo::GetHelpContext(DWORD* context) {
  if (!context) return E_POINTER;
  *context = 0;
  return S_OK;
}

void PostFakeErrorInfo(CallLog& log, const std::wstring& description) {
  auto* info = new FakeErrorInfo(log, description);
  SetErrorInfo(0, info);  // the thread takes its own reference
  info->Release();
}

}  // namespace kelvarn::test
