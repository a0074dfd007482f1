#pragma once
// DllRegisterServer and DllUnregisterServer: the classes' registry entries (from the registry
// scripts in the module's resources), the implemented component categories and the type library.
#include <windows.h>

namespace kelvarn {

// Writes the registration of every class in table order; the first failure ends it.
HRESULT RegisterServer() noexcept;
// Removes it; always S_OK.
HRESULT UnregisterServer() noexcept;

}  // namespace kelvarn
