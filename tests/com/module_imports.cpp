#include "tests/com/module_imports.h"

#include <cstring>

namespace kelvarn::test {

namespace {

// Calls `visit(name, slot)` for each function imported by name from `library` until it answers
// false.
template <typename Visit>
void VisitImports(HMODULE module, const char* library, Visit&& visit) {
  if (!module) return;
  auto* base = reinterpret_cast<BYTE*>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (imports.VirtualAddress == 0) return;
  for (auto* entry = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); entry->Name; ++entry) {
    if (_stricmp(reinterpret_cast<const char*>(base + entry->Name), library) != 0) continue;
    const DWORD namesOffset = entry->OriginalFirstThunk ? entry->OriginalFirstThunk : entry->FirstThunk;
    auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + namesOffset);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk);
    for (; names->u1.AddressOfData; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      if (!visit(reinterpret_cast<const char*>(byName->Name), reinterpret_cast<void**>(&slots->u1.Function))) return;
    }
  }
}

}  // namespace

void** FindImportSlot(HMODULE module, const char* library, const char* function) {
  void** found = nullptr;
  VisitImports(module, library, [&](const char* name, void** slot) {
    if (std::strcmp(name, function) == 0) found = slot;
    return found == nullptr;
  });
  return found;
}

std::vector<std::string> ImportedFunctions(HMODULE module, const char* library) {
  std::vector<std::string> names;
  VisitImports(module, library, [&](const char* name, void**) {
    names.emplace_back(name);
    return true;
  });
  return names;
}

void WriteImportSlot(void** slot, void* value) {
  DWORD protection = 0;
  VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection);
  *slot = value;
  VirtualProtect(slot, sizeof *slot, protection, &protection);
}

}  // namespace kelvarn::test
