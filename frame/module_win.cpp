#include "frame/module_win.h"

#include <new>

#include "frame/class_table_win.h"

namespace kelvarn {
namespace {

struct TerminationEntry {
  TerminationCallback callback;
  void* context;
  TerminationEntry* next;
};

HINSTANCE g_instance = nullptr;
volatile LONG g_lockCount = 0;
CRITICAL_SECTION g_classObjectLock;
CRITICAL_SECTION g_typeInfoLock;
CRITICAL_SECTION g_windowCreationLock;
TerminationEntry* g_terminations = nullptr;  // most recent first

void RunTerminationCallbacks() noexcept {
  while (TerminationEntry* entry = g_terminations) {
    g_terminations = entry->next;
    entry->callback(entry->context);
    delete entry;
  }
}

}  // namespace

HINSTANCE ModuleInstance() noexcept { return g_instance; }
void LockModule() noexcept { InterlockedIncrement(&g_lockCount); }
void UnlockModule() noexcept { InterlockedDecrement(&g_lockCount); }
LONG ModuleLockCount() noexcept { return g_lockCount; }
CRITICAL_SECTION& ClassObjectLock() noexcept { return g_classObjectLock; }
CRITICAL_SECTION& TypeInfoLock() noexcept { return g_typeInfoLock; }
CRITICAL_SECTION& WindowCreationLock() noexcept { return g_windowCreationLock; }

bool AddTerminationCallback(TerminationCallback callback, void* context) noexcept {
  auto* entry = new (std::nothrow) TerminationEntry{callback, context, nullptr};
  if (!entry) return false;
  CriticalSectionGuard guard(g_typeInfoLock);
  entry->next = g_terminations;
  g_terminations = entry;
  return true;
}

}  // namespace kelvarn

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  using namespace kelvarn;
  if (reason == DLL_PROCESS_ATTACH) {
    g_instance = instance;
    g_lockCount = 0;
    InitializeCriticalSection(&g_classObjectLock);
    InitializeCriticalSection(&g_typeInfoLock);
    InitializeCriticalSection(&g_windowCreationLock);
    StartClassTable();
    // The module keeps no per-thread state.
    DisableThreadLibraryCalls(instance);
  } else if (reason == DLL_PROCESS_DETACH) {
    // A non-null reserved argument: the process is ending, COM and OLE Automation may already be
    // torn down, and everything the module holds goes with the process.
    if (reserved) return TRUE;
    EndClassTable();
    DeleteCriticalSection(&g_windowCreationLock);
    DeleteCriticalSection(&g_typeInfoLock);
    DeleteCriticalSection(&g_classObjectLock);
    RunTerminationCallbacks();
  }
  return TRUE;
}
