#pragma once
// The base of the fake host objects: a COM object of the test program implementing one of the
// host's interfaces plus ISupportErrorInfo, recording its calls into a CallLog and failing on
// request with rich error information.
//
//   class FakeThing final : public FakeObject<IThing> {
//    public:
//     FakeThing(CallLog& log) : FakeObject(log, "thing") {}
//     HRESULT STDMETHODCALLTYPE DoIt(LONG value) override {
//       return Call("DoIt", std::to_string(value));   // records "thing.DoIt(5)"; S_OK or the failure
//     }
//     HRESULT STDMETHODCALLTYPE Other() override { return Unexpected("Other"); }
//   };
//   auto thing = MakeFake<FakeThing>(log);             // ComPtr<FakeThing>, one reference
//   thing->failures["DoIt"] = {E_FAIL, L"it broke"};   // DoIt now fails and posts "it broke"
#include <windows.h>
#include <oaidl.h>

#include <map>
#include <string>
#include <utility>

#include "frame/owners_win.h"
#include "frame/ref_counted_win.h"
#include "fakehost/bstr_accounting.h"
#include "fakehost/call_log.h"
#include "fakehost/fault_injection.h"

namespace kelvarn::test {

// A BSTR-valued property of a fake: a text, or null.
struct FakeText {
  bool isNull = false;
  std::wstring text;
  FakeText() = default;
  FakeText(const wchar_t* value) : isNull(value == nullptr), text(value ? value : L"") {}  // NOLINT
  BSTR Allocate() const { return isNull ? nullptr : SysAllocStringLen(text.data(), static_cast<UINT>(text.size())); }
};

struct Failure {
  HRESULT hr = E_FAIL;
  std::wstring description;  // posted as the thread's error information (empty: none posted)
};

// Error information the fakes post: records its final release, so a test sees that the
// component's error object was fetched and released.
class FakeErrorInfo final : public RefCounted<FakeErrorInfo, ApartmentCount, IErrorInfo> {
 public:
  FakeErrorInfo(CallLog& log, std::wstring description) : log_(log), description_(std::move(description)) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  HRESULT STDMETHODCALLTYPE GetGUID(GUID* guid) override;
  HRESULT STDMETHODCALLTYPE GetSource(BSTR* source) override;
  HRESULT STDMETHODCALLTYPE GetDescription(BSTR* description) override;
  HRESULT STDMETHODCALLTYPE GetHelpFile(BSTR* file) override;
  HRESULT STDMETHODCALLTYPE GetHelpContext(DWORD* context) override;

 private:
  friend RefCounted;
  void OnFinalRelease();

  CallLog& log_;
  std::wstring description_;
};

// Posts `description` as the thread's error information (a FakeErrorInfo).
void PostFakeErrorInfo(CallLog& log, const std::wstring& description);

template <typename Interface>
class FakeObject : public RefCounted<FakeObject<Interface>, ApartmentCount, Interface, ISupportErrorInfo> {
 public:
  // Methods that fail, by name, and whether the object offers rich error information.
  std::map<std::string, Failure> failures;
  bool richErrors = true;
  // Logs "<name> released" when the last reference goes.
  bool logRelease = false;

  const std::string& Name() const { return name_; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == __uuidof(Interface)) {
      *out = static_cast<Interface*>(this);
    } else if (iid == IID_ISupportErrorInfo) {
      *out = static_cast<ISupportErrorInfo*>(this);
    } else {
      return E_NOINTERFACE;
    }
    this->AddRef();
    return S_OK;
  }

  // The component calls the host's objects through their vtables; late binding is unexpected.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count) *count = 0;
    return Unexpected("GetTypeInfoCount");
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return Unexpected("GetTypeInfo"); }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return Unexpected("GetIDsOfNames");
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return Unexpected("Invoke");
  }

  HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override {
    return richErrors && iid == __uuidof(Interface) ? S_OK : S_FALSE;
  }

 protected:
  FakeObject(CallLog& log, std::string name) : log_(log), name_(std::move(name)) {}
  virtual ~FakeObject() = default;

  // Records "<name>.<method>(<arguments>)" and answers the method's failure (posting its error
  // information) or S_OK.
  // Under an active FaultInjection the call is counted, and may fail or misbehave as `returns`
  // allows (Injected() tells the method which way).
  HRESULT Call(const std::string& method, const std::string& arguments = std::string(),
               Returns returns = Returns::kStatus) {
    log_.Add(name_ + "." + method + "(" + arguments + ")");
    injected_ = NextFault(name_ + "." + method, returns);
    const HRESULT injectedFailure = FailureOf(injected_, log_);
    if (FAILED(injectedFailure)) return injectedFailure;
    auto failure = failures.find(method);
    if (failure == failures.end()) return S_OK;
    if (!failure->second.description.empty()) PostFakeErrorInfo(log_, failure->second.description);
    return failure->second.hr;
  }
  HRESULT Unexpected(const std::string& method) { return UnexpectedCall(name_ + "." + method); }

  // The fault the last Call met (kNone without injection).
  Fault Injected() const { return injected_; }
  // A new BSTR of `text` (or null), as the last call's fault shapes it; watched by the BSTR
  // accounting, since the component must free it.
  BSTR HandOutText(const FakeText& text, const std::string& method) {
    bool isNull = text.isNull;
    std::wstring value = text.text;
    if (injected_ != Fault::kNone) value = MisbehavingText(text.text, injected_, isNull);
    if (isNull) return nullptr;
    return WatchHandedOut(SysAllocStringLen(value.data(), static_cast<UINT>(value.size())), name_ + "." + method);
  }

  CallLog& log_;

 private:
  friend RefCounted<FakeObject, ApartmentCount, Interface, ISupportErrorInfo>;
  void OnFinalRelease() {
    if (logRelease) log_.Add(name_ + " released");
    delete this;
  }

  std::string name_;
  Fault injected_ = Fault::kNone;
};

// A new fake with one reference, owned by the returned pointer.
template <typename Fake, typename... Arguments>
ComPtr<Fake> MakeFake(Arguments&&... arguments) {
  return ComPtr<Fake>::Attach(new Fake(std::forward<Arguments>(arguments)...));
}

}  // namespace kelvarn::test
