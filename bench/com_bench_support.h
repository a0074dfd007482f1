#pragma once
// What the two COM-path benchmarks share: the component's services created through the DLL's own
// class objects, a base for the small in-process host objects they hand to the runs (no
// recording, no late binding), a clock, and the folder of the running program.
#include <windows.h>
#include <oaidl.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <utility>

#include "bench/bench_figures.h"
#include "frame/owners_win.h"
#include "frame/ref_counted_win.h"

namespace kelvarn::bench {

// The component's module, loaded for the whole run.
class ComponentModule {
 public:
  // Loads `dllPath`; Loaded() tells whether that worked and DllGetClassObject was found.
  explicit ComponentModule(const char* dllPath);
  ComponentModule(const ComponentModule&) = delete;
  ComponentModule& operator=(const ComponentModule&) = delete;

  bool Loaded() const noexcept { return getClassObject_ != nullptr; }

  // A new instance of `clsid` through its class object (IClassFactory::CreateInstance), as a
  // client that found the module in the registry would make it. Null on any failure.
  template <typename Interface>
  ComPtr<Interface> Create(REFCLSID clsid) const {
    ComPtr<Interface> object;
    CreateInstance(clsid, __uuidof(Interface), object.put_void());
    return object;
  }

 private:
  using GetClassObjectFunction = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
  HRESULT CreateInstance(REFCLSID clsid, REFIID iid, void** out) const;

  UniqueModule module_;
  GetClassObjectFunction getClassObject_ = nullptr;
};

// Calls the host objects receive that the runs are not expected to make. A run that made any is
// reported as failed: the figures would not be of the path the host uses.
std::atomic<long>& UnexpectedHostCalls();

// A host object of the benchmark: one dual interface, plain reference count, no late binding.
template <typename Interface>
class HostObject : public RefCounted<HostObject<Interface>, ApartmentCount, Interface> {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == __uuidof(Interface)) {
      *out = static_cast<Interface*>(this);
      this->AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count) *count = 0;
    return Unexpected();
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return Unexpected(); }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return Unexpected(); }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return Unexpected();
  }

 protected:
  HostObject() = default;
  virtual ~HostObject() = default;
  static HRESULT Unexpected() {
    ++UnexpectedHostCalls();
    return E_NOTIMPL;
  }

 private:
  // The base deletes it through the protected destructor.
  friend RefCounted<HostObject, ApartmentCount, Interface>;
};

// A new host object with one reference, owned by the returned pointer.
template <typename Object, typename... Arguments>
ComPtr<Object> MakeHostObject(Arguments&&... arguments) {
  return ComPtr<Object>::Attach(new Object(std::forward<Arguments>(arguments)...));
}

#define KELVARN_BENCH_UNEXPECTED(method, ...) \
  HRESULT STDMETHODCALLTYPE method(__VA_ARGS__) override { return Unexpected(); }

using Clock = std::chrono::steady_clock;
inline double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// The folder of the running program, with a trailing backslash (a Windows path).
std::string ProgramFolder();

// Prints "FAILED: <what>" on standard error; returns the exit code of a failed benchmark.
int Fail(const std::string& what);

// The main of a COM-path benchmark: runs `run` in a single-threaded apartment; when it succeeds,
// prints the figures it added and appends them to the file of the --figures=PATH option, if any.
// Its exit code.
int RunComBenchmark(int argc, char** argv, int (*run)(Figures& figures));

}  // namespace kelvarn::bench
