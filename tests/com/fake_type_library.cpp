#include "tests/com/fake_type_library.h"

#include <type_traits>
#include <utility>

#include "tests/com/private_module_copy.h"

namespace kelvarn::test {

void SharedCallLog::Add(std::string line) {
  const std::lock_guard<std::mutex> lock(mutex_);
  lines_.push_back(std::move(line));
}

Lines SharedCallLog::Take() {
  const std::lock_guard<std::mutex> lock(mutex_);
  Lines taken;
  taken.swap(lines_);
  return taken;
}

namespace {

FakeTypeLib* g_library = nullptr;
SharedCallLog* g_libraryLog = nullptr;

HRESULT WINAPI LoadFakeTypeLibrary(REFGUID /*library*/, WORD /*major*/, WORD /*minor*/, LCID /*locale*/,
                                   ITypeLib** out) {
  g_libraryLog->Add("LoadRegTypeLib()");
  if (!out) return E_INVALIDARG;
  g_library->AddRef();
  *out = g_library;
  return S_OK;
}
static_assert(std::is_same_v<decltype(&LoadFakeTypeLibrary), decltype(&LoadRegTypeLib)>, "LoadRegTypeLib's type");

}  // namespace

void LoadTypeLibrariesFrom(PrivateModuleCopy& module, FakeTypeLib* library, SharedCallLog& log) {
  g_library = library;
  g_libraryLog = &log;
  module.ReplaceImport("oleaut32.dll", "LoadRegTypeLib", reinterpret_cast<void*>(&LoadFakeTypeLibrary));
}

std::string GuidText(const GUID& guid) {
  wchar_t text[40] = {};
  StringFromGUID2(guid, text, 40);
  return Utf8(text);
}

FakeTypeInfo::FakeTypeInfo(SharedCallLog& log, std::vector<FakeFunction> functions)
    : log_(log), functions_(std::move(functions)) {
  attributes_.typekind = TKIND_DISPATCH;
  attributes_.cFuncs = static_cast<WORD>(functions_.size());
  for (const FakeFunction& function : functions_) {
    FUNCDESC description{};
    description.memid = function.id;
    description.funckind = FUNC_DISPATCH;
    description.invkind = INVOKE_FUNC;
    descriptions_.push_back(description);
  }
}

void FakeTypeInfo::HoldGetNames(MEMBERID member, HANDLE reached, HANDLE proceed) {
  heldMember_ = member;
  reached_ = reached;
  proceed_ = proceed;
}

HRESULT FakeTypeInfo::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (iid == IID_IUnknown || iid == IID_ITypeInfo) {
    *out = static_cast<ITypeInfo*>(this);
    AddRef();
    return S_OK;
  }
  // Only the extended interface may be asked for; the holders work without it.
  log_.Add("typeInfo.QueryInterface(" + std::string(iid == IID_ITypeInfo2 ? "ITypeInfo2" : GuidText(iid)) + ")");
  return E_NOINTERFACE;
}

ULONG FakeTypeInfo::AddRef() {
  log_.Add("typeInfo.AddRef()");
  return RefCounted::AddRef();
}

ULONG FakeTypeInfo::Release() {
  log_.Add("typeInfo.Release()");
  return RefCounted::Release();
}

HRESULT FakeTypeInfo::GetTypeAttr(TYPEATTR** attributes) {
  log_.Add("typeInfo.GetTypeAttr()");
  if (!attributes) return E_INVALIDARG;
  *attributes = &attributes_;
  return S_OK;
}

void FakeTypeInfo::ReleaseTypeAttr(TYPEATTR* attributes) {
  log_.Add(attributes == &attributes_ ? "typeInfo.ReleaseTypeAttr()" : "typeInfo.ReleaseTypeAttr(not its own)");
}

HRESULT FakeTypeInfo::GetFuncDesc(UINT index, FUNCDESC** function) {
  log_.Add("typeInfo.GetFuncDesc(" + std::to_string(index) + ")");
  if (!function) return E_INVALIDARG;
  if (index >= descriptions_.size()) return TYPE_E_ELEMENTNOTFOUND;
  *function = &descriptions_[index];
  return S_OK;
}

void FakeTypeInfo::ReleaseFuncDesc(FUNCDESC* function) {
  const bool own = function >= descriptions_.data() && function < descriptions_.data() + descriptions_.size();
  log_.Add(own ? "typeInfo.ReleaseFuncDesc(" + std::to_string(function->memid) + ")"
               : "typeInfo.ReleaseFuncDesc(not its own)");
}

HRESULT FakeTypeInfo::GetNames(MEMBERID member, BSTR* names, UINT maximum, UINT* found) {
  log_.Add("typeInfo.GetNames(" + std::to_string(member) + ")");
  if (!names || !found || maximum == 0) return E_INVALIDARG;
  *found = 0;
  if (member == heldMember_ && reached_) {
    SetEvent(reached_);
    WaitForSingleObject(proceed_, 10000);
  }
  for (const FakeFunction& function : functions_) {
    if (function.id != member) continue;
    names[0] = SysAllocString(function.name.c_str());
    *found = 1;
    return S_OK;
  }
  return TYPE_E_ELEMENTNOTFOUND;
}

HRESULT FakeTypeInfo::GetIDsOfNames(LPOLESTR* names, UINT count, MEMBERID* ids) {
  std::string arguments;
  for (UINT index = 0; index < count; ++index) arguments += (index ? ", " : "") + Quoted(names[index]);
  log_.Add("typeInfo.GetIDsOfNames(" + arguments + ")");
  HRESULT hr = S_OK;
  for (UINT index = 0; index < count; ++index) {
    ids[index] = MEMBERID_NIL;
    for (const FakeFunction& function : functions_) {
      if (names[index] && function.name == names[index]) ids[index] = function.id;
    }
    if (ids[index] == MEMBERID_NIL) hr = DISP_E_UNKNOWNNAME;
  }
  return hr;
}

HRESULT FakeTypeInfo::Unexpected(const char* method) { return UnexpectedCall(std::string("typeInfo.") + method); }

FakeTypeLib::FakeTypeLib(SharedCallLog& log, FakeTypeInfo* info)
    : log_(log), info_(ComPtr<FakeTypeInfo>::Share(info)) {}

HRESULT FakeTypeLib::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (iid != IID_IUnknown && iid != IID_ITypeLib) return Unexpected("QueryInterface");
  *out = static_cast<ITypeLib*>(this);
  AddRef();
  return S_OK;
}

ULONG FakeTypeLib::AddRef() {
  log_.Add("typeLib.AddRef()");
  return RefCounted::AddRef();
}

ULONG FakeTypeLib::Release() {
  log_.Add("typeLib.Release()");
  return RefCounted::Release();
}

UINT FakeTypeLib::GetTypeInfoCount() {
  Unexpected("GetTypeInfoCount");
  return 0;
}

HRESULT FakeTypeLib::GetTypeInfoOfGuid(REFGUID guid, ITypeInfo** info) {
  log_.Add("typeLib.GetTypeInfoOfGuid(" + GuidText(guid) + ")");
  if (!info) return E_INVALIDARG;
  info_->AddRef();  // the caller's reference
  *info = info_.get();
  return S_OK;
}

HRESULT FakeTypeLib::Unexpected(const char* method) { return UnexpectedCall(std::string("typeLib.") + method); }

}  // namespace kelvarn::test
