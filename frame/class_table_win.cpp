#include "frame/class_table_win.h"

#include <iterator>

#include "bank/bank_win.h"
#include "bank/bank_services_win.h"
#include "frame/class_factory_win.h"
#include "frame/component_category.h"
#include "frame/module_win.h"
#include "resources/resource_ids.h"
#include "services/bank_payment_service_win.h"
#include "services/bank_statement_service_win.h"
#include "trelk_kelvarn_bank.h"

namespace kelvarn {
namespace {

constexpr CATID kBankCategory = {
    kBankComponentCategory.data1,
    kBankComponentCategory.data2,
    kBankComponentCategory.data3,
    {kBankComponentCategory.data4[0], kBankComponentCategory.data4[1], kBankComponentCategory.data4[2],
     kBankComponentCategory.data4[3], kBankComponentCategory.data4[4], kBankComponentCategory.data4[5],
     kBankComponentCategory.data4[6], kBankComponentCategory.data4[7]}};

void NoHook() {}

ClassEntry g_classTable[] = {
    {&CLSID_Bank, IDR_BANK, &kBankCategory, &CreateBankInstance, &NoHook, &NoHook, nullptr},
    {&CLSID_BankServices, IDR_BANK_SERVICES, nullptr, &CreateBankServicesInstance, &NoHook, &NoHook, nullptr},
    {&CLSID_BankPaymentService, IDR_BANK_PAYMENT_SERVICE, nullptr, &CreateBankPaymentService, &NoHook, &NoHook,
     nullptr},
    {&CLSID_BankStatementService, IDR_BANK_STATEMENT_SERVICE, nullptr, &CreateBankStatementService, &NoHook, &NoHook,
     nullptr},
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
