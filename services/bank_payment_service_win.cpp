#include "services/bank_payment_service_win.h"

#include "common/narrow_text.h"
#include "common/narrow_text_win.h"
#include "frame/module_win.h"
#include "payment/export_payments_win.h"
#include "resources/resource_ids.h"
#include "services/service_object_win.h"
#include "trelk_kelvarn_bank.h"

namespace kelvarn {
namespace {

constexpr LONG kLastResultCode = IDS_RESULT_CODE_LAST - IDS_RESULT_CODE_BASE;

class BankPaymentService final : public ServiceObject<BankPaymentService, IBankPaymentService> {
 public:
  explicit BankPaymentService(IUnknown* outer) noexcept : ServiceObject(outer, L"Bank Payment Service") {}

  void* FindInterface(REFIID iid) noexcept {
    if (iid == __uuidof(IBankPaymentService) || iid == __uuidof(ITrelkPaymentService) || iid == IID_IDispatch) {
      return static_cast<IBankPaymentService*>(this);
    }
    if (iid == IID_ISupportErrorInfo) return static_cast<ISupportErrorInfo*>(this);
    return nullptr;
  }

  // The text of a payment result code (string 300 + code); codes without a text leave `text`
  // as the caller set it.
  HRESULT STDMETHODCALLTYPE GetStatusText(LONG code, BSTR* text) override {
    return RunComMethod([&] {
      RequirePointer(text);
      if (code < 0 || code > kLastResultCode) return;
      NarrowText loaded;
      LoadStringResource(loaded, ModuleInstance(), static_cast<UINT>(IDS_RESULT_CODE_BASE + code));
      if (loaded.IsEmpty()) return;
      *text = ToNewBstr(loaded);
    });
  }

  HRESULT STDMETHODCALLTYPE ExportPayments(IBankPayments* payments, IDispatch* context) override {
    return RunComMethod([&] { return RunPaymentExport(status_, payments, context); });
  }
};

}  // namespace

HRESULT CreateBankPaymentService(IUnknown* outer, REFIID iid, void** out) noexcept {
  return BankPaymentService::CreateInstance(outer, iid, out);
}

}  // namespace kelvarn
