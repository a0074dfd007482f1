#pragma once
// Reads what RegisterTypeLib writes to the registry from a type library file in the MSFT format
// (as widl writes it): the library's identity and its automation interfaces. Portable, so the
// installer's rows come from the .tlb itself without running Windows code at build time.
#include <cstdint>
#include <string>
#include <vector>

namespace kelvarn::tools {

struct TypeLibraryInterface {
  std::string name;
  std::string iid;  // "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", upper case
};

struct TypeLibraryIdentity {
  std::string libid;
  std::uint16_t majorVersion = 0;
  std::uint16_t minorVersion = 0;
  std::uint32_t lcid = 0;
  std::uint32_t syskind = 0;  // 0 win16, 1 win32, 2 mac, 3 win64
  std::uint32_t flags = 0;    // LIBFLAGS as the loaded library reports them
  std::string helpString;
  // Interfaces RegisterTypeLib registers: dispinterfaces and OLE Automation (or dual) interfaces,
  // each once, in the library's order.
  std::vector<TypeLibraryInterface> interfaces;
};

// False with a reason in `error` when `bytes` is not a readable MSFT type library.
bool ReadTypeLibrary(const std::string& bytes, TypeLibraryIdentity& identity, std::string& error);

}  // namespace kelvarn::tools
