#include "refhost/component_registration.h"

#include <windows.h>

#include <cstdio>

#include "frame/owners_win.h"
#include "refhost/windows_text.h"
#include "fakehost/type_library_registration.h"
#include "trelk_kelvarn_bank.h"

namespace refhost {
namespace {

// The module a class is registered with (its InprocServer32 default value); "" when none.
std::string RegisteredServer(REFCLSID clsid) {
  wchar_t clsidText[40] = {};
  StringFromGUID2(clsid, clsidText, 40);
  const std::string key = "CLSID\\" + Utf8FromWide(clsidText) + "\\InprocServer32";
  kelvarn::UniqueHkey opened;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, opened.put()) != ERROR_SUCCESS) return "";
  char value[MAX_PATH * 4] = {};
  DWORD size = sizeof value - 1;
  DWORD type = 0;
  if (RegQueryValueExA(opened.get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ)) {
    return "";
  }
  return value;
}

bool ProgIdNames(const wchar_t* progId, REFCLSID expected) {
  CLSID clsid{};
  return SUCCEEDED(CLSIDFromProgID(progId, &clsid)) && IsEqualCLSID(clsid, expected);
}

bool ComponentRegistered(const std::string& dll) {
  for (const CLSID* clsid :
       {&CLSID_Bank, &CLSID_BankServices, &CLSID_BankPaymentService, &CLSID_BankStatementService}) {
    if (_stricmp(RegisteredServer(*clsid).c_str(), dll.c_str()) != 0) return false;
  }
  return ProgIdNames(L"TrelkKelvarnBank.Bank", CLSID_Bank) &&
         ProgIdNames(L"TrelkKelvarnBank.BankPaymentService", CLSID_BankPaymentService) &&
         ProgIdNames(L"TrelkKelvarnBank.BankStatementService", CLSID_BankStatementService);
}

}  // namespace

HRESULT EnsureComponentRegistered(const std::string& dll, const std::vector<std::string>& hostTypeLibraries) {
  // The host's libraries first: the component's own type library refers to them.
  for (const std::string& library : hostTypeLibraries) {
    const std::wstring path = WideFromUtf8(library);
    if (kelvarn::test::IsTypeLibraryFileRegistered(path)) continue;
    std::string failure;
    const HRESULT hr = kelvarn::test::RegisterTypeLibraryFile(path, false, failure);
    if (FAILED(hr)) {
      std::fprintf(stderr, "kelvarn: %s\n", failure.c_str());
      return hr;
    }
    std::fprintf(stderr, "kelvarn: registered the host type library %s\n", library.c_str());
  }
  if (ComponentRegistered(dll)) return S_OK;

  const kelvarn::UniqueModule module(LoadLibraryW(WideFromUtf8(dll).c_str()));
  using RegisterFunction = HRESULT(STDAPICALLTYPE*)();
  const auto registerServer = module ? reinterpret_cast<RegisterFunction>(
                                           reinterpret_cast<void*>(GetProcAddress(module.get(), "DllRegisterServer")))
                                     : nullptr;
  if (!registerServer) {
    const DWORD error = GetLastError();
    std::fprintf(stderr, "kelvarn: cannot load %s (error %lu)\n", dll.c_str(), error);
    return HRESULT_FROM_WIN32(error ? error : ERROR_MOD_NOT_FOUND);
  }
  const HRESULT hr = registerServer();
  if (FAILED(hr)) {
    std::fprintf(stderr, "kelvarn: DllRegisterServer of %s failed: %s\n", dll.c_str(), HresultText(hr).c_str());
    return hr;
  }
  std::fprintf(stderr, "kelvarn: registered %s\n", dll.c_str());
  return S_OK;
}

}  // namespace refhost
