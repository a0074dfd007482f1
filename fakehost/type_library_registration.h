#pragma once
// The host's type libraries registered the way the host's installation registers them.
#include <windows.h>

#include <string>

namespace kelvarn::test {

// Registers (or unregisters) the type library in the file `file`. On failure returns the HRESULT
// and says what failed in `failure` (UTF-8).
HRESULT RegisterTypeLibraryFile(const std::wstring& file, bool unregister, std::string& failure);

// True when the type library in the file `file` is registered and its registration names that
// same file.
bool IsTypeLibraryFileRegistered(const std::wstring& file);

}  // namespace kelvarn::test
