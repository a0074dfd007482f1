#include "fakehost/fake_host_components.h"

#include <algorithm>
#include <cstring>
#include <functional>

#include "frame/ref_counted_win.h"

namespace kelvarn::test {
namespace {

// "key "Kelvarn Bank" zero-filled to 100": the key's text and whether the rest of its contract
// size is zero bytes.
std::string DescribeKey(const char* key, std::size_t size) {
  if (!key) return "key null";
  const std::size_t length = strnlen(key, size);
  const bool zeroFilled = std::all_of(key + length, key + size, [](char c) { return c == '\0'; });
  return "key " + Quoted(std::string(key, length).c_str()) +
         (zeroFilled ? " zero-filled to " : " not zero-filled to ") + std::to_string(size);
}

// Copies `text` with its terminator, cut to `size` bytes (no terminator when it does not fit).
void WriteCut(char* buffer, std::size_t size, const std::string& text) {
  std::memcpy(buffer, text.c_str(), std::min(size, text.size() + 1));
}

template <typename Interface>
class FakeComponent : public FakeObject<Interface> {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (out && iid == __uuidof(Interface)) {
      // The component's query for the host interface is one of its calls; other queries come
      // from COM itself or from the fakes.
      const Fault fault = NextFault(this->Name() + ".QueryInterface", Returns::kInterface);
      if (fault != Fault::kNone) {
        *out = nullptr;
        return fault == Fault::kNullOut ? S_OK : FailureOf(fault, this->log_);
      }
    }
    if (!control_.answersInterface && out && iid == __uuidof(Interface)) {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    return FakeObject<Interface>::QueryInterface(iid, out);
  }

 protected:
  FakeComponent(CallLog& log, std::string name, const ComponentControl& control)
      : FakeObject<Interface>(log, std::move(name)), control_(control) {
    this->failures = control.failures;
    this->richErrors = control.richErrors;
    this->logRelease = true;
  }

 private:
  const ComponentControl& control_;
};

class FakeBankingConfiguration final : public FakeComponent<IBankingConfiguration> {
 public:
  FakeBankingConfiguration(CallLog& log, const BankingConfigurationSettings& settings)
      : FakeComponent(log, "configuration", settings), settings_(settings) {}

  HRESULT STDMETHODCALLTYPE ConfigureBank(char* key, LONG option) override {
    return Call("ConfigureBank", DescribeKey(key, 1024) + ", " + std::to_string(option));
  }
  HRESULT STDMETHODCALLTYPE GetStatementFileRequest(char* key, StatementFileRequest* request) override {
    const HRESULT hr = Call("GetStatementFileRequest", DescribeKey(key, 100));
    if (FAILED(hr) || !request) return hr;
    WriteCut(request->title, sizeof request->title, settings_.title);
    WriteCut(request->initialDirectory, sizeof request->initialDirectory, settings_.initialDirectory);
    request->flags = settings_.flags;
    return hr;
  }
  HRESULT STDMETHODCALLTYPE GetPaymentFileDefaults(char* key, char* fileName, char* extension,
                                                   char* directory) override {
    const HRESULT hr = Call("GetPaymentFileDefaults", DescribeKey(key, 100), Returns::kPaymentFileDefaults);
    if (FAILED(hr)) return hr;
    switch (Injected()) {
      case Fault::kEmpty:
        WriteCut(fileName, 1024, "");
        WriteCut(extension, 4, "");
        WriteCut(directory, 1024, "");
        break;
      case Fault::kEmbeddedNul:
        WriteCut(fileName, 1024, std::string("pa\0yments\0", 10));
        WriteCut(extension, 4, std::string("c\0v", 3));
        WriteCut(directory, 1024, settings_.directory.substr(0, 2) + '\0' + settings_.directory.substr(2));
        break;
      case Fault::kUnterminated:  // every byte of each contract size, no terminator
        std::memset(fileName, 'n', 1024);
        std::memset(extension, 'x', 4);
        std::memset(directory, 'd', 1024);
        break;
      case Fault::kLongExtension:  // past the 4 bytes of the contract
        WriteCut(fileName, 1024, settings_.fileName);
        WriteCut(extension, 6, "jsonl");
        WriteCut(directory, 1024, settings_.directory);
        break;
      default:
        WriteCut(fileName, 1024, settings_.fileName);
        WriteCut(extension, 4, settings_.extension);
        WriteCut(directory, 1024, settings_.directory);
    }
    return hr;
  }

 private:
  const BankingConfigurationSettings& settings_;
};

class FakeStatementFileChooser final : public FakeComponent<IStatementFileChooser> {
 public:
  FakeStatementFileChooser(CallLog& log, const StatementFileChooserSettings& settings,
                           std::vector<Recognition>& recognitions)
      : FakeComponent(log, "chooser", settings),
        settings_(settings),
        recognitions_(recognitions),
        path_(settings.path) {}
  ~FakeStatementFileChooser() override { ForgetPath(); }

  HRESULT STDMETHODCALLTYPE ChooseFile(StatementFileRequest* request) override {
    std::string arguments = "null";
    if (request) {
      arguments = std::string(request->recogniser ? "recogniser set" : "no recogniser") + ", title " +
                  Quoted(std::string(request->title, strnlen(request->title, sizeof request->title)).c_str()) +
                  ", directory " +
                  Quoted(std::string(request->initialDirectory,
                                     strnlen(request->initialDirectory, sizeof request->initialDirectory))
                             .c_str()) +
                  ", flags " + std::to_string(request->flags);
    }
    const HRESULT hr = Call("ChooseFile", arguments);
    if (FAILED(hr) || !request || !request->recogniser) return hr;
    auto recogniser = reinterpret_cast<IdentifyStatementFileFunction>(request->recogniser);
    for (const std::string& candidate : settings_.candidates) {
      char description[256] = "(untouched)";
      const int result = recogniser(description, candidate.c_str());
      log_.Add("recogniser(" + Quoted(candidate.c_str()) + ") = " + std::to_string(result) + ", description " +
               Quoted(description));
      recognitions_.push_back({candidate, result, std::string(description, strnlen(description, sizeof description))});
    }
    return hr;
  }
  HRESULT STDMETHODCALLTYPE SetOwnerWindow(LONG) override { return Unexpected("SetOwnerWindow"); }
  HRESULT STDMETHODCALLTYPE GetFilterIndex(LONG*) override { return Unexpected("GetFilterIndex"); }
  HRESULT STDMETHODCALLTYPE GetFileName(LPWSTR* path) override {
    const HRESULT hr = Call("GetFileName", std::string(), Returns::kText);
    if (FAILED(hr) || !path) return hr;
    // A string of the chooser's own that stays its own: the accounting reports any free of it.
    ForgetPath();
    bool isNull = path_.isNull;
    const std::wstring text = Injected() == Fault::kNone ? path_.text : MisbehavingText(path_.text, Injected(), isNull);
    if (!isNull) {
      ownPath_ = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
      if (BstrAccounting* accounting = BstrAccounting::Active()) accounting->Keep(ownPath_, "chooser.GetFileName");
    }
    *path = ownPath_;
    return hr;
  }
  HRESULT STDMETHODCALLTYPE GetCancelled(LONG* cancelled) override {
    const HRESULT hr = Call("GetCancelled");
    if (FAILED(hr) || !cancelled) return hr;
    *cancelled = settings_.cancelled;
    return hr;
  }

 private:
  void ForgetPath() {
    if (!ownPath_) return;
    if (BstrAccounting* accounting = BstrAccounting::Active()) accounting->Release(ownPath_);
    SysFreeString(ownPath_);
    ownPath_ = nullptr;
  }

  const StatementFileChooserSettings& settings_;
  std::vector<Recognition>& recognitions_;
  FakeText path_;
  BSTR ownPath_ = nullptr;
};

// A class object that makes a new component per CreateInstance.
class FakeClassFactory final : public RefCounted<FakeClassFactory, ApartmentCount, IClassFactory> {
 public:
  using Create = std::function<IUnknown*()>;
  FakeClassFactory(CallLog& log, std::string name, const ComponentControl& control, Create create)
      : log_(log), name_(std::move(name)), control_(control), create_(std::move(create)) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid != IID_IUnknown && iid != IID_IClassFactory) return E_NOINTERFACE;
    *out = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    if (FAILED(control_.creationFailure)) {
      log_.Add(name_ + " not created");
      return control_.creationFailure;
    }
    const Fault fault = NextFault(name_ + ".CreateInstance", Returns::kInterface);
    if (fault != Fault::kNone) {
      log_.Add(name_ + " not created (" + FaultName(fault) + ")");
      return fault == Fault::kNullOut ? S_OK : FailureOf(fault, log_);
    }
    IUnknown* object = create_();
    log_.Add(name_ + " created");
    const HRESULT hr = object->QueryInterface(iid, out);
    object->Release();
    return hr;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

 private:
  CallLog& log_;
  std::string name_;
  const ComponentControl& control_;
  Create create_;
};

DWORD Register(REFCLSID clsid, IClassFactory* factory) {
  DWORD cookie = 0;
  if (FAILED(CoRegisterClassObject(clsid, factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie))) {
    UnexpectedCall("CoRegisterClassObject failed (is COM initialised on this thread?)");
  }
  factory->Release();  // COM holds it while registered
  return cookie;
}

}  // namespace

FakeHostComponents::FakeHostComponents(CallLog& log) : log_(log) {
  configurationCookie_ =
      Register(CLSID_BankingConfiguration, new FakeClassFactory(log_, "configuration", configuration, [this] {
                 return static_cast<IUnknown*>(
                     static_cast<IBankingConfiguration*>(new FakeBankingConfiguration(log_, configuration)));
               }));
  chooserCookie_ = Register(CLSID_StatementFileChooser, new FakeClassFactory(log_, "chooser", chooser, [this] {
                              return static_cast<IUnknown*>(static_cast<IStatementFileChooser*>(
                                  new FakeStatementFileChooser(log_, chooser, recognitions)));
                            }));
}

FakeHostComponents::~FakeHostComponents() {
  if (configurationCookie_) CoRevokeClassObject(configurationCookie_);
  if (chooserCookie_) CoRevokeClassObject(chooserCookie_);
}

}  // namespace kelvarn::test
