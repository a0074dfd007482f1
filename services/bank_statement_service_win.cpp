#include "services/bank_statement_service_win.h"

#include "services/service_object_win.h"
#include "statement/import_statement_win.h"
#include "trelk_kelvarn_bank.h"

namespace kelvarn {
namespace {

class BankStatementService final : public ServiceObject<BankStatementService, IBankStatementService> {
 public:
  explicit BankStatementService(IUnknown* outer) noexcept : ServiceObject(outer, L"Bank Reconciliation Service") {}

  void* FindInterface(REFIID iid) noexcept {
    if (iid == __uuidof(IBankStatementService) || iid == __uuidof(ITrelkReconciliationService) ||
        iid == IID_IDispatch) {
      return static_cast<IBankStatementService*>(this);
    }
    if (iid == IID_ISupportErrorInfo) return static_cast<ISupportErrorInfo*>(this);
    return nullptr;
  }

  // Statement imports have no status texts.
  HRESULT STDMETHODCALLTYPE GetStatusText(LONG /*code*/, BSTR* text) override {
    return RunComMethod([&] { RequirePointer(text); });
  }

  HRESULT STDMETHODCALLTYPE ImportStatement(IBankReconciliation* reconciliation, IBankStatement* statement) override {
    return RunComMethod([&] { return RunStatementImport(status_, reconciliation, statement); });
  }
};

}  // namespace

HRESULT CreateBankStatementService(IUnknown* outer, REFIID iid, void** out) noexcept {
  return BankStatementService::CreateInstance(outer, iid, out);
}

}  // namespace kelvarn
