#pragma once
// Module-wide state of the in-process server: instance handle, lock count, critical sections and
// the termination callbacks run when the module unloads.
#include <windows.h>

namespace kelvarn {

inline constexpr char kModuleName[] = "TrelkKelvarnBank.dll";

HINSTANCE ModuleInstance() noexcept;

// Live instances, outside holds on class objects and LockServer locks; DllCanUnloadNow answers
// S_OK only at 0. Interlocked.
void LockModule() noexcept;
void UnlockModule() noexcept;
LONG ModuleLockCount() noexcept;

// Serialises creation of class objects, loading of type information, and the list of windows
// being created (the processing-date dialog).
CRITICAL_SECTION& ClassObjectLock() noexcept;
CRITICAL_SECTION& TypeInfoLock() noexcept;
CRITICAL_SECTION& WindowCreationLock() noexcept;

// Registers a callback run when the module unloads, in the order opposite to registration.
// Returns false when the entry could not be allocated.
using TerminationCallback = void (*)(void* context);
bool AddTerminationCallback(TerminationCallback callback, void* context) noexcept;

// Enters a critical section for the scope.
class CriticalSectionGuard {
 public:
  explicit CriticalSectionGuard(CRITICAL_SECTION& section) noexcept : section_(section) {
    EnterCriticalSection(&section_);
  }
  CriticalSectionGuard(const CriticalSectionGuard&) = delete;
  CriticalSectionGuard& operator=(const CriticalSectionGuard&) = delete;
  ~CriticalSectionGuard() { LeaveCriticalSection(&section_); }

 private:
  CRITICAL_SECTION& section_;
};

}  // namespace kelvarn
