// Temporary entry points until the class table lands.
#include <windows.h>
#include <objbase.h>
extern "C" {
BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
STDAPI DllCanUnloadNow() { return S_OK; }
STDAPI DllGetClassObject(REFCLSID, REFIID, void** out) { if (out) *out = nullptr; return CLASS_E_CLASSNOTAVAILABLE; }
STDAPI DllRegisterServer() { return E_NOTIMPL; }
STDAPI DllUnregisterServer() { return S_OK; }
}
