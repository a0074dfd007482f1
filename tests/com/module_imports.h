#pragma once
// A module's imports, as the loader bound them: the import address table slot through which the
// module calls a function of another DLL, which a test may point at a function of its own.
#include <windows.h>

#include <string>
#include <vector>

namespace kelvarn::test {

// The slot of `function` imported by name from `library` (case-insensitive), or null.
void** FindImportSlot(HMODULE module, const char* library, const char* function);

// The names of the functions the module imports by name from `library`.
std::vector<std::string> ImportedFunctions(HMODULE module, const char* library);

// Writes `value` into the slot (the table is read-only once bound).
void WriteImportSlot(void** slot, void* value);

}  // namespace kelvarn::test
