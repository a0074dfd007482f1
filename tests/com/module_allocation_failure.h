#pragma once
// Out-of-memory inside the component module, with no seam in it: after a
// ModuleAllocationFailure is made, the module's next `malloc` (its import from msvcrt.dll, which
// its operator new calls) answers null. The module's import address table is patched and
// restored when the object goes.
#include <windows.h>

namespace kelvarn::test {

class ModuleAllocationFailure {
 public:
  // Fails the test (and patches nothing) when the module has no such import.
  explicit ModuleAllocationFailure(HMODULE module);
  ModuleAllocationFailure(const ModuleAllocationFailure&) = delete;
  ModuleAllocationFailure& operator=(const ModuleAllocationFailure&) = delete;
  ~ModuleAllocationFailure();

 private:
  void** slot_ = nullptr;
  void* original_ = nullptr;
};

}  // namespace kelvarn::test
