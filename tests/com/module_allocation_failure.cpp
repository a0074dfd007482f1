#include "tests/com/module_allocation_failure.h"

#include <gtest/gtest.h>

#include "tests/com/module_imports.h"

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

}  // namespace

ModuleAllocationFailure::ModuleAllocationFailure(HMODULE module) {
  slot_ = FindImportSlot(module, "msvcrt.dll", "malloc");
  if (!slot_) {
    ADD_FAILURE() << "the component module imports no malloc from msvcrt.dll";
    return;
  }
  original_ = *slot_;
  g_malloc = reinterpret_cast<Malloc>(original_);
  g_failuresLeft = 1;
  WriteImportSlot(slot_, reinterpret_cast<void*>(&FailingMalloc));
}

ModuleAllocationFailure::~ModuleAllocationFailure() {
  if (slot_) WriteImportSlot(slot_, original_);
}

}  // namespace kelvarn::test
