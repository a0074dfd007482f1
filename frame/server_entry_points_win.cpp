// The module's four exports.
#include <windows.h>
#include <objbase.h>

#include "frame/class_table_win.h"
#include "frame/module_win.h"
#include "frame/registration_win.h"

extern "C" {

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) { return kelvarn::GetClassObject(clsid, iid, out); }

STDAPI DllCanUnloadNow() { return kelvarn::ModuleLockCount() == 0 ? S_OK : S_FALSE; }

STDAPI DllRegisterServer() { return kelvarn::RegisterServer(); }

STDAPI DllUnregisterServer() { return kelvarn::UnregisterServer(); }
}
