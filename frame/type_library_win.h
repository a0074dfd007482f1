#pragma once
// The component's type library (resource TYPELIB 1 of the module): identity and registration.
#include <windows.h>
#include <oaidl.h>

#include "trelk_kelvarn_bank.h"

namespace kelvarn {

inline const GUID& kComponentLibraryId = LIBID_TRELKKELVARNBANKLib;
inline constexpr WORD kComponentLibraryMajor = 1;
inline constexpr WORD kComponentLibraryMinor = 0;

// Loads the type library from the module's own path or, failing that, from the same path with
// ".tlb" in place of its extension, and registers it with the module's directory as help
// directory.
HRESULT RegisterComponentTypeLibrary() noexcept;
// Unregisters it (UnRegisterTypeLib looked up at run time; skipped where it is missing).
HRESULT UnregisterComponentTypeLibrary() noexcept;

}  // namespace kelvarn
