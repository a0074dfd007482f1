#include "tests/com/com_test_support.h"

#include <objbase.h>

namespace kelvarn::test {
namespace {

template <typename Function>
void Resolve(HMODULE module, const char* name, Function& function) {
  function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// COM on the test thread (the host's single-threaded apartment) and unexpected calls of the
// fakes as test failures.
class ComEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    ASSERT_EQ(Hex(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)), Hex(S_OK));
    SetUnexpectedCallHandler([](const std::string& call) { ADD_FAILURE() << "unexpected call: " << call; });
  }
  void TearDown() override { CoUninitialize(); }
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new ComEnvironment);

}  // namespace

const ComponentModule& Module() {
  static const ComponentModule module = [] {
    ComponentModule loaded;
    char path[MAX_PATH * 4];
    GetFullPathNameA(KELVARN_DLL_PATH, sizeof path, path, nullptr);
    loaded.module = LoadLibraryA(path);
    if (!loaded.module) {
      ADD_FAILURE() << "cannot load " << path;
      return loaded;
    }
    Resolve(loaded.module, "DllGetClassObject", loaded.getClassObject);
    Resolve(loaded.module, "DllCanUnloadNow", loaded.canUnloadNow);
    Resolve(loaded.module, "DllRegisterServer", loaded.registerServer);
    Resolve(loaded.module, "DllUnregisterServer", loaded.unregisterServer);
    return loaded;
  }();
  return module;
}

std::string TakeErrorDescription() {
  ComPtr<IErrorInfo> info;
  if (GetErrorInfo(0, info.put()) != S_OK || !info) return "(none)";
  UniqueBstr description;
  info->GetDescription(description.put());
  return Utf8(description.get());
}

void PostSentinelErrorInfo() {
  ComPtr<ICreateErrorInfo> creator;
  ASSERT_EQ(CreateErrorInfo(creator.put()), S_OK);
  creator->SetDescription(const_cast<LPOLESTR>(L"sentinel"));
  ComPtr<IErrorInfo> info = creator.As<IErrorInfo>();
  ASSERT_TRUE(info);
  SetErrorInfo(0, info.get());
}

}  // namespace kelvarn::test
