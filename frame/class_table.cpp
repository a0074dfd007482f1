#include "frame/class_table.h"

#include <iterator>

#include "bank/bank.h"
#include "bank/bank_services.h"
#include "frame/class_factory.h"
#include "frame/module.h"
#include "resources/resource_ids.h"
#include "services/bank_payment_service.h"
#include "services/bank_statement_service.h"
#include "trelk_kelvarn_bank.h"

namespace kelvarn {
namespace {

// The component category the host looks for to find its bank components.
constexpr CATID kBankComponentCategory = {0x4E28D2A2, 0xEE93, 0x11D3, {0x8A, 0x15, 0x00, 0xE0, 0x29, 0x17, 0x8D, 0x24}};

void NoHook() {}

ClassEntry g_classTable[] = {
    {&CLSID_Bank, IDR_BANK, &kBankComponentCategory, &CreateBankInstance, &NoHook, &NoHook, nullptr},
    {&CLSID_BankServices, IDR_BANK_SERVICES, nullptr, &CreateBankServicesInstance, &NoHook, &NoHook, nullptr},
    {&CLSID_BankPaymentService, IDR_BANK_PAYMENT_SERVICE, nullptr, &CreateBankPaymentService, &NoHook, &NoHook,
     nullptr},
    {&CLSID_BankStatementService, IDR_BANK_STATEMENT_SERVICE, nullptr, &CreateBankStatementService, &NoHook,
     &NoHook, nullptr},
};

}  // namespace

ClassEntry* ClassTableBegin() noexcept { return std::begin(g_classTable); }
ClassEntry* ClassTableEnd() noexcept { return std::end(g_classTable); }

void StartClassTable() noexcept {
  for (ClassEntry& entry : g_classTable) entry.start();
}

void EndClassTable() noexcept {
  for (ClassEntry& entry : g_classTable) {
    if (IClassFactory* classObject = entry.classObject) {
      entry.classObject = nullptr;
      classObject->Release();
    }
    entry.end();
  }
}

HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** out) noexcept {
  if (!out) return E_POINTER;
  *out = nullptr;
  for (ClassEntry& entry : g_classTable) {
    if (*entry.clsid != clsid) continue;
    if (!entry.classObject) {
      CriticalSectionGuard guard(ClassObjectLock());
      if (!entry.classObject) entry.classObject = NewClassFactory(entry.createInstance);
    }
    if (!entry.classObject) return E_OUTOFMEMORY;
    return entry.classObject->QueryInterface(iid, out);
  }
  return CLASS_E_CLASSNOTAVAILABLE;
}

}  // namespace kelvarn
