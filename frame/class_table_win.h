#pragma once
// The table of the module's four creatable classes, in registration and lookup order.
#include <windows.h>
#include <objbase.h>
#include <comcat.h>

#include <cstddef>

namespace kelvarn {

// Creates an instance, plain or aggregated when `outer` is given, and queries it for `iid`.
using CreateInstanceFunction = HRESULT (*)(IUnknown* outer, REFIID iid, void** out);

struct ClassEntry {
  const CLSID* clsid;
  UINT registryScript;               // REGISTRY resource with the class's registry entries
  const CATID* implementedCategory;  // null: none
  CreateInstanceFunction createInstance;
  void (*start)();             // run when the module loads
  void (*end)();               // run when the module unloads
  IClassFactory* classObject;  // created on first request; the table owns one reference
};

ClassEntry* ClassTableBegin() noexcept;
ClassEntry* ClassTableEnd() noexcept;

// Module load and unload: the start hooks; releasing the class objects and the end hooks.
void StartClassTable() noexcept;
void EndClassTable() noexcept;

// DllGetClassObject's work: the class object of `clsid` (created once), queried for `iid`.
HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** out) noexcept;

}  // namespace kelvarn
