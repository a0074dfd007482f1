#include "bank/bank_win.h"

#include "bank/bank_services_win.h"
#include "common/narrow_text.h"
#include "common/narrow_text_win.h"
#include "frame/com_object_win.h"
#include "frame/error_reporting_win.h"
#include "frame/owners_win.h"
#include "host/host_components_win.h"

namespace kelvarn {
namespace {

// What the host's configuration is asked to do with the bank; only passed on.
constexpr LONG kConfigureOption = 3;

class Bank final : public ComObject<Bank, IBank, BankImplementation> {
 public:
  explicit Bank(IUnknown* outer) noexcept : ComObject(outer) {}

  void* FindInterface(REFIID iid) noexcept {
    if (iid == __uuidof(IBank) || iid == __uuidof(ITrelkBank) || iid == IID_IDispatch) {
      return static_cast<IBank*>(this);
    }
    if (iid == IID_ISupportErrorInfo) return static_cast<ISupportErrorInfo*>(this);
    return nullptr;
  }

  // The name is the bank's key text, converted through the ANSI code page.
  HRESULT FinalConstruct() noexcept {
    return RunOrFail(E_OUTOFMEMORY, [&] { name_.reset(ToNewBstr(kBankKey)); });
  }

  HRESULT STDMETHODCALLTYPE get_BankName(BSTR* name) override {
    return RunComMethod([&] { *RequirePointer(name) = CopyBstr(name_.get()); });
  }

  // Created on first use and kept; a failed creation stores nothing, so the next call retries.
  HRESULT STDMETHODCALLTYPE get_Services(ITrelkBankServices** services) override {
    return RunComMethod([&] {
      RequirePointer(services);
      *services = nullptr;
      if (!services_) {
        const HRESULT hr = CreateBankServicesInstance(nullptr, __uuidof(IBankServices), services_.put_void());
        if (FAILED(hr)) ThrowHresult(hr);
      }
      *services = ComPtr<IBankServices>(services_).release();
    });
  }

  HRESULT STDMETHODCALLTYPE get_FixedCode(LONG* code) override {
    return RunComMethod([&] { *RequirePointer(code) = 1; });
  }

  // The host's component is created for this call and released before it returns.
  HRESULT STDMETHODCALLTYPE Configure(LONG /*option: not passed on*/) override {
    return RunComMethod([&] {
      BankingConfigurationClient configuration;
      configuration.ConfigureBank(kConfigureOption);
    });
  }

  HRESULT STDMETHODCALLTYPE get_Tag(LONG* tag) override {
    return RunComMethod([&] { *RequirePointer(tag) = tag_; });
  }

 private:
  UniqueBstr name_;
  ComPtr<IBankServices> services_;  // null until Services is first read
  LONG tag_ = 0;                    // never changed
};

}  // namespace

HRESULT CreateBankInstance(IUnknown* outer, REFIID iid, void** out) noexcept {
  return Bank::CreateInstance(outer, iid, out);
}

}  // namespace kelvarn
