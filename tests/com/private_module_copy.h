#pragma once
// A copy of the component DLL under a file name of its own, loaded beside the module the other
// tests share: a module with its own state (class objects, type information, termination
// callbacks) that a test may rewire through its imports, end through its entry point, or unload.
#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <string>

#include "frame/owners_win.h"

namespace kelvarn::test {

class PrivateModuleCopy {
 public:
  // Copies the build's DLL into the temporary directory and loads the copy (a test failure when
  // that fails).
  PrivateModuleCopy();
  PrivateModuleCopy(const PrivateModuleCopy&) = delete;
  PrivateModuleCopy& operator=(const PrivateModuleCopy&) = delete;
  // Unloads the copy (unless Unload ran) and removes its file.
  ~PrivateModuleCopy();

  HMODULE Handle() const { return module_; }

  // Points the copy's import of `function` from `library` at `replacement` for the copy's life;
  // returns the function it called before (null, with a test failure, when it imports no such
  // function). The copy is the test's alone, so nothing is put back.
  void* ReplaceImport(const char* library, const char* function, void* replacement);

  // A new instance of one of the copy's classes through its class object (for any thread: it
  // reports to no test).
  HRESULT CreateInstance(REFCLSID clsid, REFIID iid, void** out);
  template <typename Interface>
  ComPtr<Interface> Create(REFCLSID clsid) {
    ComPtr<Interface> object;
    EXPECT_EQ(CreateInstance(clsid, __uuidof(Interface), object.put_void()), S_OK);
    return object;
  }

  // Calls the copy's entry point (the runtime's start-up code, which calls DllMain) as the loader
  // does for `reason`.
  BOOL CallEntryPoint(DWORD reason, void* reserved);

  // FreeLibrary: the loader calls the entry point for detach with a null reserved argument.
  void Unload();

 private:
  std::string path_;
  HMODULE module_ = nullptr;
  HRESULT(STDAPICALLTYPE* getClassObject_)(REFCLSID, REFIID, void**) = nullptr;
};

}  // namespace kelvarn::test
