#pragma once
// A type library of one dual interface, for the component's type information holders to load in
// place of its registered one: the interface's functions are given names and member ids, every
// call is recorded (from any thread) as "typeInfo.GetNames(7)", "typeLib.Release()" ..., and
// methods the holders are not expected to call fail the test. GetNames of one member can be held
// until the test lets it go, to stop a holder half-way through building its name cache.
#include <windows.h>
#include <oaidl.h>

#include <mutex>
#include <string>
#include <vector>

#include "frame/owners_win.h"
#include "frame/ref_counted_win.h"
#include "fakehost/call_log.h"

namespace kelvarn::test {

// A call log that several threads may write.
class SharedCallLog {
 public:
  void Add(std::string line);
  Lines Take();

 private:
  std::mutex mutex_;
  Lines lines_;
};

struct FakeFunction {
  std::wstring name;
  MEMBERID id;
};

// "{93028D03-F3F3-40D4-8D16-42681AE1100F}"
std::string GuidText(const GUID& guid);

class FakeTypeInfo final : public RefCounted<FakeTypeInfo, InterlockedCount, ITypeInfo> {
 public:
  FakeTypeInfo(SharedCallLog& log, std::vector<FakeFunction> functions);

  // GetNames of `member` sets `reached` and then waits for `proceed` (ten seconds at most).
  void HoldGetNames(MEMBERID member, HANDLE reached, HANDLE proceed);

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  HRESULT STDMETHODCALLTYPE GetTypeAttr(TYPEATTR** attributes) override;
  HRESULT STDMETHODCALLTYPE GetTypeComp(ITypeComp**) override { return Unexpected("GetTypeComp"); }
  HRESULT STDMETHODCALLTYPE GetFuncDesc(UINT index, FUNCDESC** function) override;
  HRESULT STDMETHODCALLTYPE GetVarDesc(UINT, VARDESC**) override { return Unexpected("GetVarDesc"); }
  HRESULT STDMETHODCALLTYPE GetNames(MEMBERID member, BSTR* names, UINT maximum, UINT* found) override;
  HRESULT STDMETHODCALLTYPE GetRefTypeOfImplType(UINT, HREFTYPE*) override {
    return Unexpected("GetRefTypeOfImplType");
  }
  HRESULT STDMETHODCALLTYPE GetImplTypeFlags(UINT, INT*) override { return Unexpected("GetImplTypeFlags"); }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(LPOLESTR* names, UINT count, MEMBERID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(PVOID, MEMBERID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return Unexpected("Invoke");
  }
  HRESULT STDMETHODCALLTYPE GetDocumentation(MEMBERID, BSTR*, BSTR*, DWORD*, BSTR*) override {
    return Unexpected("GetDocumentation");
  }
  HRESULT STDMETHODCALLTYPE GetDllEntry(MEMBERID, INVOKEKIND, BSTR*, BSTR*, WORD*) override {
    return Unexpected("GetDllEntry");
  }
  HRESULT STDMETHODCALLTYPE GetRefTypeInfo(HREFTYPE, ITypeInfo**) override { return Unexpected("GetRefTypeInfo"); }
  HRESULT STDMETHODCALLTYPE AddressOfMember(MEMBERID, INVOKEKIND, PVOID*) override {
    return Unexpected("AddressOfMember");
  }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID, PVOID*) override { return Unexpected("CreateInstance"); }
  HRESULT STDMETHODCALLTYPE GetMops(MEMBERID, BSTR*) override { return Unexpected("GetMops"); }
  HRESULT STDMETHODCALLTYPE GetContainingTypeLib(ITypeLib**, UINT*) override {
    return Unexpected("GetContainingTypeLib");
  }
  void STDMETHODCALLTYPE ReleaseTypeAttr(TYPEATTR* attributes) override;
  void STDMETHODCALLTYPE ReleaseFuncDesc(FUNCDESC* function) override;
  void STDMETHODCALLTYPE ReleaseVarDesc(VARDESC*) override { Unexpected("ReleaseVarDesc"); }

 private:
  friend RefCounted;
  ~FakeTypeInfo() = default;
  HRESULT Unexpected(const char* method);

  SharedCallLog& log_;
  const std::vector<FakeFunction> functions_;
  TYPEATTR attributes_{};
  std::vector<FUNCDESC> descriptions_;
  MEMBERID heldMember_ = MEMBERID_NIL;
  HANDLE reached_ = nullptr;
  HANDLE proceed_ = nullptr;
};

// The library: GetTypeInfoOfGuid hands out its one type information for any interface.
class FakeTypeLib final : public RefCounted<FakeTypeLib, InterlockedCount, ITypeLib> {
 public:
  FakeTypeLib(SharedCallLog& log, FakeTypeInfo* info);

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  UINT STDMETHODCALLTYPE GetTypeInfoCount() override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, ITypeInfo**) override { return Unexpected("GetTypeInfo"); }
  HRESULT STDMETHODCALLTYPE GetTypeInfoType(UINT, TYPEKIND*) override { return Unexpected("GetTypeInfoType"); }
  HRESULT STDMETHODCALLTYPE GetTypeInfoOfGuid(REFGUID guid, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetLibAttr(TLIBATTR**) override { return Unexpected("GetLibAttr"); }
  HRESULT STDMETHODCALLTYPE GetTypeComp(ITypeComp**) override { return Unexpected("GetTypeComp"); }
  HRESULT STDMETHODCALLTYPE GetDocumentation(INT, BSTR*, BSTR*, DWORD*, BSTR*) override {
    return Unexpected("GetDocumentation");
  }
  HRESULT STDMETHODCALLTYPE IsName(LPOLESTR, ULONG, BOOL*) override { return Unexpected("IsName"); }
  HRESULT STDMETHODCALLTYPE FindName(LPOLESTR, ULONG, ITypeInfo**, MEMBERID*, USHORT*) override {
    return Unexpected("FindName");
  }
  void STDMETHODCALLTYPE ReleaseTLibAttr(TLIBATTR*) override { Unexpected("ReleaseTLibAttr"); }

 private:
  friend RefCounted;
  ~FakeTypeLib() = default;
  HRESULT Unexpected(const char* method);

  SharedCallLog& log_;
  ComPtr<FakeTypeInfo> info_;
};

class PrivateModuleCopy;

// Makes the copy's LoadRegTypeLib hand out `library` (with a reference for the caller), recorded
// as "LoadRegTypeLib()" in `log`; one copy at a time.
void LoadTypeLibrariesFrom(PrivateModuleCopy& module, FakeTypeLib* library, SharedCallLog& log);

}  // namespace kelvarn::test
