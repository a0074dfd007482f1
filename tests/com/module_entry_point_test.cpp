// The module's entry point at detach, in a private copy of the module: on FreeLibrary it releases
// what it holds of COM and OLE Automation; at process termination it calls neither.
#include <array>
#include <cstdio>
#include <type_traits>
#include <utility>

#include "tests/com/com_test_support.h"
#include "tests/com/fake_type_library.h"
#include "tests/com/module_imports.h"
#include "tests/com/private_module_copy.h"

namespace kelvarn::test {
namespace {

const std::vector<FakeFunction> kFunctions = {{L"ServiceName", 1}, {L"Status", 2}, {L"ImportStatement", 7}};

// The copy's SysFreeString, recorded with the text it frees.
using SysFreeStringFunction = void(WINAPI*)(BSTR);
SysFreeStringFunction g_sysFreeString = nullptr;
SharedCallLog* g_freedLog = nullptr;

void WINAPI RecordingSysFreeString(BSTR text) {
  g_freedLog->Add("SysFreeString(" + Quoted(text) + ")");
  g_sysFreeString(text);
}
static_assert(std::is_same_v<decltype(&RecordingSysFreeString), decltype(&SysFreeString)>, "SysFreeString's type");

// Every other function the copy imports from ole32.dll or oleaut32.dll ends the test program when
// called, naming itself: no such call passes unseen (its arguments are unknown here, so it cannot
// be passed on).
constexpr std::size_t kTrapCount = 64;
std::array<std::string, kTrapCount> g_trapNames;

template <std::size_t Index>
void WINAPI Trap() {
  std::fprintf(stderr, "the module called %s\n", g_trapNames[Index].c_str());
  std::fflush(stderr);
  TerminateProcess(GetCurrentProcess(), 3);
}

template <std::size_t... Index>
constexpr std::array<void(WINAPI*)(), kTrapCount> MakeTraps(std::index_sequence<Index...>) {
  return {&Trap<Index>...};
}
constexpr std::array<void(WINAPI*)(), kTrapCount> kTraps = MakeTraps(std::make_index_sequence<kTrapCount>());

void TrapComAndAutomationCalls(PrivateModuleCopy& module) {
  std::size_t next = 0;
  for (const char* library : {"ole32.dll", "oleaut32.dll"}) {
    for (const std::string& function : ImportedFunctions(module.Handle(), library)) {
      if (function == "SysFreeString") continue;
      ASSERT_LT(next, kTrapCount);
      g_trapNames[next] = std::string(library) + "!" + function;
      module.ReplaceImport(library, function.c_str(), reinterpret_cast<void*>(kTraps[next]));
      ++next;
    }
  }
}

struct DetachCase {
  const char* name;
  void (*detach)(PrivateModuleCopy& module);
  Lines calls;
};

TEST(ModuleEntryPointTest, DetachReleasesTheTypeInformationOnFreeLibraryAndNothingAtProcessTermination) {
  const DetachCase kCases[] = {
      {"FreeLibrary",
       [](PrivateModuleCopy& module) { module.Unload(); },
       {"SysFreeString(\"ServiceName\")", "SysFreeString(\"Status\")", "SysFreeString(\"ImportStatement\")",
        "typeInfo.Release()"}},
      // COM and OLE Automation may already be gone when a process ends.
      {"process termination",
       [](PrivateModuleCopy& module) {
         TrapComAndAutomationCalls(module);
         EXPECT_TRUE(module.CallEntryPoint(DLL_PROCESS_DETACH, reinterpret_cast<void*>(1)));
       },
       {}},
  };
  for (const DetachCase& row : kCases) {
    SCOPED_TRACE(row.name);
    SharedCallLog log;
    auto info = ComPtr<FakeTypeInfo>::Attach(new FakeTypeInfo(log, kFunctions));
    auto library = ComPtr<FakeTypeLib>::Attach(new FakeTypeLib(log, info.get()));
    PrivateModuleCopy module;
    LoadTypeLibrariesFrom(module, library.get(), log);
    g_freedLog = &log;
    g_sysFreeString = reinterpret_cast<SysFreeStringFunction>(
        module.ReplaceImport("oleaut32.dll", "SysFreeString", reinterpret_cast<void*>(&RecordingSysFreeString)));
    ASSERT_TRUE(g_sysFreeString);
    {
      // The interface's type information loaded, with its names cached, and the class object kept.
      auto service = module.Create<IBankStatementService>(CLSID_BankStatementService);
      ASSERT_TRUE(service);
      LPOLESTR names[] = {const_cast<LPOLESTR>(L"Status")};
      DISPID id = DISPID_UNKNOWN;
      ASSERT_EQ(Hex(service->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id)), Hex(S_OK));
    }
    ASSERT_NE(log.Take(), Lines{});

    row.detach(module);

    EXPECT_EQ(log.Take(), row.calls);
  }
}

}  // namespace
}  // namespace kelvarn::test
