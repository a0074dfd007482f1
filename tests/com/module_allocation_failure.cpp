#include "tests/com/module_allocation_failure.h"

#include <gtest/gtest.h>

#include <cstring>

namespace kelvarn::test {
namespace {

using Malloc = void*(__cdecl*)(size_t);
Malloc g_malloc = nullptr;  // the module's own
int g_failuresLeft = 0;

// Only the next allocation fails: later ones (the unwinder's among them) behave as before.
void* __cdecl FailingMalloc(size_t size) {
  if (g_failuresLeft > 0) {
    --g_failuresLeft;
    return nullptr;
  }
  return g_malloc(size);
}

// The import address table slot of `function` imported by name from `library`, or null.
void** FindImportSlot(HMODULE module, const char* library, const char* function) {
  auto* base = reinterpret_cast<BYTE*>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (imports.VirtualAddress == 0) return nullptr;
  for (auto* entry = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); entry->Name; ++entry) {
    if (_stricmp(reinterpret_cast<const char*>(base + entry->Name), library) != 0) continue;
    const DWORD namesOffset = entry->OriginalFirstThunk ? entry->OriginalFirstThunk : entry->FirstThunk;
    auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + namesOffset);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk);
    for (; names->u1.AddressOfData; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) == 0) {
        return reinterpret_cast<void**>(&slots->u1.Function);
      }
    }
  }
  return nullptr;
}

void WriteSlot(void** slot, void* value) {
  DWORD protection = 0;
  VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection);
  *slot = value;
  VirtualProtect(slot, sizeof *slot, protection, &protection);
}

}  // namespace

ModuleAllocationFailure::ModuleAllocationFailure(HMODULE module) {
  slot_ = module ? FindImportSlot(module, "msvcrt.dll", "malloc") : nullptr;
  if (!slot_) {
    ADD_FAILURE() << "the component module imports no malloc from msvcrt.dll";
    return;
  }
  original_ = *slot_;
  g_malloc = reinterpret_cast<Malloc>(original_);
  g_failuresLeft = 1;
  WriteSlot(slot_, reinterpret_cast<void*>(&FailingMalloc));
}

ModuleAllocationFailure::~ModuleAllocationFailure() {
  if (slot_) WriteSlot(slot_, original_);
}

}  // namespace kelvarn::test
