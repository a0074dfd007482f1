// Early-bound client of the Kelvarn Bank component: the vtable calls a host makes, with the kit's
// header (trelk_kelvarn_bank.h, which includes the three host headers) and GUIDs
// (trelk_kelvarn_bank_i.c). It calls every method of the four interfaces that runs without a
// dialog and without the host's payment or statement objects, and checks each answer.
// Register the component and the host's type libraries first, then build and run, e.g.:
//   x86_64-w64-mingw32-gcc -c -I include include/trelk_kelvarn_bank_i.c -o guids.o
//   x86_64-w64-mingw32-g++ -I include samples/cpp/bank_early_bound.cpp guids.o -o bank_early_bound.exe
//       -static -lole32 -loleaut32 -luuid
// Prints one line per call and, when every answer was the expected one, the closing line
// "bank_early_bound: all calls answered as expected"; otherwise the mismatches and exit code 1.
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "trelk_kelvarn_bank.h"

namespace {

int failures = 0;

std::string Narrow(const wchar_t* text) {
  if (!text) return "";
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string result(size > 0 ? size - 1 : 0, '\0');
  if (size > 1) WideCharToMultiByte(CP_UTF8, 0, text, -1, &result[0], size, nullptr, nullptr);
  return result;
}

// Takes ownership of the BSTR.
std::string TakeText(BSTR text) {
  std::string result = Narrow(text);
  SysFreeString(text);
  return result;
}

void Report(bool ok, const std::string& what, const std::string& detail) {
  std::printf("%s %s: %s\n", ok ? "ok    " : "FAILED", what.c_str(), detail.c_str());
  if (!ok) ++failures;
}

std::string Hex(HRESULT hr) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "0x%08lX", static_cast<unsigned long>(hr));
  return buffer;
}

bool ExpectHr(const std::string& what, HRESULT actual, HRESULT expected) {
  const bool ok = actual == expected;
  Report(ok, what, ok ? Hex(actual) : "returned " + Hex(actual) + ", expected " + Hex(expected));
  return ok;
}

void ExpectText(const std::string& what, const std::string& actual, const std::string& expected) {
  Report(actual == expected, what,
         actual == expected ? "\"" + actual + "\"" : "\"" + actual + "\", expected \"" + expected + "\"");
}

void ExpectNumber(const std::string& what, long actual, long expected) {
  Report(
      actual == expected, what,
      actual == expected ? std::to_string(actual) : std::to_string(actual) + ", expected " + std::to_string(expected));
}

// The description the component posted for the failed call (IErrorInfo), "" when none.
std::string ErrorDescription() {
  IErrorInfo* info = nullptr;
  if (GetErrorInfo(0, &info) != S_OK || !info) return "";
  BSTR description = nullptr;
  info->GetDescription(&description);
  info->Release();
  return TakeText(description);
}

std::string ServiceName(IDispatch* service) {
  ITrelkPaymentService* payment = nullptr;
  if (SUCCEEDED(service->QueryInterface(__uuidof(ITrelkPaymentService), reinterpret_cast<void**>(&payment)))) {
    BSTR name = nullptr;
    payment->get_ServiceName(&name);
    payment->Release();
    return TakeText(name);
  }
  ITrelkReconciliationService* statement = nullptr;
  if (SUCCEEDED(service->QueryInterface(__uuidof(ITrelkReconciliationService), reinterpret_cast<void**>(&statement)))) {
    BSTR name = nullptr;
    statement->get_ServiceName(&name);
    statement->Release();
    return TakeText(name);
  }
  return "(no service interface)";
}

// The host's per-bank configuration as the host provides it: Bank.Configure calls its
// ConfigureBank. Registered on this thread only, for the length of the sample.
class HostConfiguration final : public IBankingConfiguration, public IClassFactory {
 public:
  std::string key;
  long option = -1;
  int calls = 0;

  // IUnknown, shared by both interfaces; the object lives on the stack of main.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == __uuidof(IBankingConfiguration)) {
      *object = static_cast<IBankingConfiguration*>(this);
    } else if (iid == IID_IClassFactory) {
      *object = static_cast<IClassFactory*>(this);
    } else {
      return E_NOINTERFACE;
    }
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }

  // IDispatch: the component calls the configuration by vtable only.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return E_NOTIMPL;
  }

  HRESULT STDMETHODCALLTYPE ConfigureBank(char* bankKey, LONG bankOption) override {
    ++calls;
    key = bankKey ? bankKey : "(null)";
    option = bankOption;
    return S_OK;  // the real host shows its settings dialog here
  }
  HRESULT STDMETHODCALLTYPE GetStatementFileRequest(char*, StatementFileRequest*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetPaymentFileDefaults(char*, char*, char*, char*) override { return E_NOTIMPL; }

  // IClassFactory
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
    if (outer) return CLASS_E_NOAGGREGATION;
    return QueryInterface(iid, object);
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

void CheckBank(IBank* bank) {
  BSTR name = nullptr;
  if (ExpectHr("IBank::get_BankName", bank->get_BankName(&name), S_OK))
    ExpectText("  BankName", TakeText(name), "Kelvarn Bank");
  long code = 0;
  if (ExpectHr("IBank::get_FixedCode", bank->get_FixedCode(&code), S_OK)) ExpectNumber("  FixedCode", code, 1);
  ExpectHr("IBank::get_BankName(nullptr)", bank->get_BankName(nullptr), static_cast<HRESULT>(0x800AFFFC));
  ExpectText("  its error description", ErrorDescription(), "Invalid argument");

  // Without the host's configuration registered, the component cannot create it.
  ExpectHr("IBank::Configure, no host configuration", bank->Configure(0), DISP_E_EXCEPTION);
  HostConfiguration host;
  DWORD cookie = 0;
  if (ExpectHr("CoRegisterClassObject(BankingConfiguration)",
               CoRegisterClassObject(__uuidof(BankingConfiguration), static_cast<IClassFactory*>(&host),
                                     CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie),
               S_OK)) {
    ExpectHr("IBank::Configure", bank->Configure(0), S_OK);
    ExpectNumber("  ConfigureBank calls", host.calls, 1);
    ExpectText("  ConfigureBank key", host.key, "Kelvarn Bank");
    ExpectNumber("  ConfigureBank option", host.option, 3);
    CoRevokeClassObject(cookie);
  }
}

template <typename Service>
void CheckService(Service* service, const std::string& interfaceName, const std::string& expectedName) {
  BSTR name = nullptr;
  if (ExpectHr(interfaceName + "::get_ServiceName", service->get_ServiceName(&name), S_OK))
    ExpectText("  ServiceName", TakeText(name), expectedName);
  long status = -1;
  if (ExpectHr(interfaceName + "::get_Status", service->get_Status(&status), S_OK))
    ExpectNumber("  Status before any run", status, 0);
  ExpectHr(interfaceName + "::put_Status(2)", service->put_Status(2), S_OK);
  if (ExpectHr(interfaceName + "::get_Status", service->get_Status(&status), S_OK))
    ExpectNumber("  Status after put_Status(2)", status, 2);
  service->put_Status(0);
  ExpectHr(interfaceName + "::AcceptPointer", service->AcceptPointer(service), S_OK);
  ExpectHr(interfaceName + "::AcceptKeyedPointer", service->AcceptKeyedPointer(7, service), S_OK);
}

void CheckStatusTexts(IBankPaymentService* payments, IBankStatementService* statements) {
  struct Case {
    long code;
    const char* text;  // "" for none
  };
  const Case cases[] = {
      {0, "Payment processed successfully."},
      {21, "Invalid Amount specified for payment: negative payments not supported."},
      {23, "Invalid Payer Sort Code: the sort code must contain exactly 6 digits."},
      {30, "Invalid or missing Payee bank account name."},
      {35, "An error occurred with the status field."},
      {1, ""},
      {36, ""},
      {-1, ""},
  };
  for (const Case& c : cases) {
    BSTR text = nullptr;
    const std::string what = "IBankPaymentService::GetStatusText(" + std::to_string(c.code) + ")";
    if (ExpectHr(what, payments->GetStatusText(c.code, &text), S_OK)) ExpectText("  text", TakeText(text), c.text);
  }
  BSTR text = nullptr;
  if (ExpectHr("IBankStatementService::GetStatusText(0)", statements->GetStatusText(0, &text), S_OK))
    ExpectText("  text", TakeText(text), "");
}

void CheckEnumerator(IBankServices* services) {
  IUnknown* unknown = nullptr;
  if (!ExpectHr("IBankServices::get_NewEnum", services->get_NewEnum(&unknown), S_OK)) return;
  IEnumVARIANT* items = nullptr;
  const HRESULT hr = unknown->QueryInterface(IID_IEnumVARIANT, reinterpret_cast<void**>(&items));
  unknown->Release();
  if (!ExpectHr("  QueryInterface(IEnumVARIANT)", hr, S_OK)) return;

  VARIANT got[3];
  for (VARIANT& v : got) VariantInit(&v);
  ULONG fetched = 0;
  // Asked for three, the enumerator hands out the two services and answers S_FALSE.
  if (ExpectHr("IEnumVARIANT::Next(3)", items->Next(3, got, &fetched), S_FALSE)) {
    ExpectNumber("  fetched", static_cast<long>(fetched), 2);
    const char* expected[] = {"Bank Payment Service", "Bank Reconciliation Service"};
    for (ULONG i = 0; i < fetched && i < 2; ++i) {
      const bool isDispatch = V_VT(&got[i]) == VT_DISPATCH && V_DISPATCH(&got[i]);
      ExpectText("  item " + std::to_string(i), isDispatch ? ServiceName(V_DISPATCH(&got[i])) : "(not VT_DISPATCH)",
                 expected[i]);
    }
  }
  for (VARIANT& v : got) VariantClear(&v);

  ExpectHr("IEnumVARIANT::Next at the end", items->Next(1, got, &fetched), S_FALSE);
  ExpectNumber("  fetched", static_cast<long>(fetched), 0);
  VariantClear(&got[0]);
  ExpectHr("IEnumVARIANT::Reset", items->Reset(), S_OK);
  ExpectHr("IEnumVARIANT::Skip(1)", items->Skip(1), S_OK);
  ExpectHr("IEnumVARIANT::Skip(5) past the end", items->Skip(5), S_FALSE);
  items->Reset();
  items->Skip(1);

  IEnumVARIANT* clone = nullptr;
  if (ExpectHr("IEnumVARIANT::Clone", items->Clone(&clone), S_OK) && clone) {
    // The clone starts where the original stands: at the second service.
    if (ExpectHr("  clone Next(1)", clone->Next(1, got, nullptr), S_OK)) {
      ExpectText("  clone item", V_VT(&got[0]) == VT_DISPATCH ? ServiceName(V_DISPATCH(&got[0])) : "(not VT_DISPATCH)",
                 "Bank Reconciliation Service");
    }
    VariantClear(&got[0]);
    clone->Release();
  }
  items->Release();
}

void CheckServices(IBank* bank) {
  ITrelkBankServices* base = nullptr;
  if (!ExpectHr("IBank::get_Services", bank->get_Services(&base), S_OK) || !base) return;
  IBankServices* services = nullptr;
  const HRESULT hr = base->QueryInterface(__uuidof(IBankServices), reinterpret_cast<void**>(&services));
  base->Release();
  if (!ExpectHr("  QueryInterface(IBankServices)", hr, S_OK)) return;

  long count = 0;
  if (ExpectHr("IBankServices::get_Count", services->get_Count(&count), S_OK)) ExpectNumber("  Count", count, 2);

  // A position (any number type) or an exact name.
  VARIANT index;
  VariantInit(&index);
  IDispatch* byIndex = nullptr;
  V_VT(&index) = VT_I4;
  V_I4(&index) = 1;
  if (ExpectHr("IBankServices::get_Item(1)", services->get_Item(&index, &byIndex), S_OK) && byIndex) {
    ExpectText("  ServiceName", ServiceName(byIndex), "Bank Reconciliation Service");
    byIndex->Release();
  }
  IDispatch* byName = nullptr;
  V_VT(&index) = VT_BSTR;
  V_BSTR(&index) = SysAllocString(L"Bank Payment Service");
  const HRESULT nameHr = services->get_Item(&index, &byName);
  VariantClear(&index);
  if (ExpectHr("IBankServices::get_Item(\"Bank Payment Service\")", nameHr, S_OK) && byName) {
    ExpectText("  ServiceName", ServiceName(byName), "Bank Payment Service");
  }
  IDispatch* missing = nullptr;
  V_VT(&index) = VT_BSTR;
  V_BSTR(&index) = SysAllocString(L"Bank Payments");
  const HRESULT missingHr = services->get_Item(&index, &missing);
  VariantClear(&index);
  ExpectHr("IBankServices::get_Item(\"Bank Payments\")", missingHr, static_cast<HRESULT>(0x800AFFFC));
  ExpectText("  its error description", ErrorDescription(), "Invalid argument");
  Report(missing == nullptr, "  no service handed out", missing ? "one was" : "none");
  if (missing) missing->Release();

  CheckEnumerator(services);

  IBankPaymentService* payments = nullptr;
  IBankStatementService* statements = nullptr;
  V_VT(&index) = VT_I4;
  V_I4(&index) = 1;
  IDispatch* second = nullptr;
  services->get_Item(&index, &second);
  if (byName &&
      ExpectHr("  QueryInterface(IBankPaymentService)",
               byName->QueryInterface(__uuidof(IBankPaymentService), reinterpret_cast<void**>(&payments)), S_OK)) {
    CheckService(payments, "IBankPaymentService", "Bank Payment Service");
  }
  if (second &&
      ExpectHr("  QueryInterface(IBankStatementService)",
               second->QueryInterface(__uuidof(IBankStatementService), reinterpret_cast<void**>(&statements)), S_OK)) {
    CheckService(statements, "IBankStatementService", "Bank Reconciliation Service");
  }
  if (payments && statements) CheckStatusTexts(payments, statements);
  if (payments) payments->Release();
  if (statements) statements->Release();
  if (second) second->Release();
  if (byName) byName->Release();
  services->Release();
}

}  // namespace

int main() {
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
    std::printf("FAILED CoInitializeEx\n");
    return 1;
  }
  CLSID clsid;
  IBank* bank = nullptr;
  if (ExpectHr("CLSIDFromProgID(\"TrelkKelvarnBank.Bank\")", CLSIDFromProgID(L"TrelkKelvarnBank.Bank", &clsid), S_OK)) {
    Report(IsEqualCLSID(clsid, CLSID_Bank), "  CLSID",
           IsEqualCLSID(clsid, CLSID_Bank) ? "CLSID_Bank" : "another CLSID");
    ExpectHr("CoCreateInstance(IBank)",
             CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IBank, reinterpret_cast<void**>(&bank)), S_OK);
  }
  if (bank) {
    CheckBank(bank);
    CheckServices(bank);
    bank->Release();
  }
  CoUninitialize();
  if (!bank) ++failures;
  if (failures != 0) {
    std::printf("bank_early_bound: %d calls answered otherwise than expected\n", failures);
    return 1;
  }
  std::printf("bank_early_bound: all calls answered as expected\n");
  return 0;
}
