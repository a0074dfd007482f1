#pragma once
// Shared by the COM tests: the component module loaded from the build, the fixture that checks
// every test ends with no reference leaked, and readers of the thread's error information.
#include <windows.h>
#include <oaidl.h>

#include <gtest/gtest.h>

#include <string>

#include "frame/owners_win.h"
#include "fakehost/call_log.h"
#include "trelk_kelvarn_bank.h"

namespace kelvarn::test {

// The module's four exports, from the DLL the build produced (the one registered in the prefix).
struct ComponentModule {
  HMODULE module = nullptr;
  HRESULT(STDAPICALLTYPE* getClassObject)(REFCLSID, REFIID, void**) = nullptr;
  HRESULT(STDAPICALLTYPE* canUnloadNow)() = nullptr;
  HRESULT(STDAPICALLTYPE* registerServer)() = nullptr;
  HRESULT(STDAPICALLTYPE* unregisterServer)() = nullptr;
};
const ComponentModule& Module();

// A new instance of one of the component's classes through its class object.
template <typename Interface>
ComPtr<Interface> CreateComponent(REFCLSID clsid) {
  ComPtr<IClassFactory> factory;
  EXPECT_EQ(Module().getClassObject(clsid, IID_IClassFactory, factory.put_void()), S_OK);
  ComPtr<Interface> object;
  if (factory) {
    EXPECT_EQ(factory->CreateInstance(nullptr, __uuidof(Interface), object.put_void()), S_OK);
  }
  return object;
}

// Every COM test ends with DllCanUnloadNow answering S_OK: no instance, class object hold or
// server lock left behind. Tests hold their objects in locals, released before TearDown.
class ComTest : public ::testing::Test {
 protected:
  void SetUp() override { SetErrorInfo(0, nullptr); }
  void TearDown() override { EXPECT_EQ(Hex(Module().canUnloadNow()), Hex(S_OK)) << "a reference was leaked"; }
};

// The description of the thread's error information (taking it off the thread), or "(none)".
std::string TakeErrorDescription();

// Posts a sentinel error object, to show that a call left the thread's error information alone.
void PostSentinelErrorInfo();
inline constexpr char kSentinel[] = "sentinel";

}  // namespace kelvarn::test
