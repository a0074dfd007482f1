// The type information behind IDispatch as threads of two apartments use an interface for the
// first time at once, in a private copy of the module whose LoadRegTypeLib hands out a fake type
// library: the first thread is held while it builds the name cache, and the second must never
// look names up in a cache that is not complete.
#include <thread>

#include "tests/com/com_test_support.h"
#include "tests/com/fake_type_library.h"
#include "tests/com/private_module_copy.h"

namespace kelvarn::test {
namespace {

const std::vector<FakeFunction> kFunctions = {{L"ServiceName", 1}, {L"Status", 2}, {L"ImportStatement", 7}};

struct NameLookup {
  HRESULT hr = E_UNEXPECTED;
  DISPID id = DISPID_UNKNOWN;
};

// A new apartment's first use of the interface: a new statement service looks `name` up.
NameLookup LookUpInNewApartment(PrivateModuleCopy& module, const wchar_t* name) {
  NameLookup lookup;
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return lookup;
  {
    ComPtr<IBankStatementService> service;
    lookup.hr = module.CreateInstance(CLSID_BankStatementService, __uuidof(IBankStatementService), service.put_void());
    if (SUCCEEDED(lookup.hr)) {
      LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
      lookup.hr = service->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &lookup.id);
    }
  }
  CoUninitialize();
  return lookup;
}

// The holder's load as the fake library sees it: one type information, its attributes, then
// each function's description and name in turn.
Lines LoadCalls() {
  Lines calls = {"LoadRegTypeLib()",
                 "typeLib.AddRef()",
                 "typeLib.GetTypeInfoOfGuid(" + GuidText(__uuidof(IBankStatementService)) + ")",
                 "typeInfo.AddRef()",
                 "typeInfo.QueryInterface(ITypeInfo2)",
                 "typeInfo.GetTypeAttr()",
                 "typeInfo.ReleaseTypeAttr()"};
  for (std::size_t index = 0; index < kFunctions.size(); ++index) {
    const std::string id = std::to_string(kFunctions[index].id);
    calls.push_back("typeInfo.GetFuncDesc(" + std::to_string(index) + ")");
    calls.push_back("typeInfo.GetNames(" + id + ")");
    calls.push_back("typeInfo.ReleaseFuncDesc(" + id + ")");
  }
  calls.push_back("typeLib.Release()");
  return calls;
}

TEST(TypeInfoHolderTest, ASecondApartmentNeverSeesTheNameCacheTheFirstIsStillBuilding) {
  SharedCallLog log;
  auto info = ComPtr<FakeTypeInfo>::Attach(new FakeTypeInfo(log, kFunctions));
  auto library = ComPtr<FakeTypeLib>::Attach(new FakeTypeLib(log, info.get()));
  PrivateModuleCopy module;
  LoadTypeLibrariesFrom(module, library.get(), log);
  const UniqueHandle reached(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  const UniqueHandle proceed(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  const UniqueHandle secondDone(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  // The first thread stops before the name of the last function is in the cache.
  info->HoldGetNames(7, reached.get(), proceed.get());
  log.Take();

  NameLookup first, second;
  std::thread firstThread([&] { first = LookUpInNewApartment(module, L"Status"); });
  const bool firstHeld = WaitForSingleObject(reached.get(), 10000) == WAIT_OBJECT_0;
  std::thread secondThread([&] {
    second = LookUpInNewApartment(module, L"ImportStatement");
    SetEvent(secondDone.get());
  });
  // Ample time for the second lookup, which must wait for the first to finish the cache.
  const bool secondEndedWhileFirstHeld = WaitForSingleObject(secondDone.get(), 1000) == WAIT_OBJECT_0;
  SetEvent(proceed.get());
  firstThread.join();
  secondThread.join();

  ASSERT_TRUE(firstHeld);
  EXPECT_FALSE(secondEndedWhileFirstHeld);
  EXPECT_EQ(Hex(first.hr), Hex(S_OK));
  EXPECT_EQ(first.id, 2);
  EXPECT_EQ(Hex(second.hr), Hex(S_OK));
  EXPECT_EQ(second.id, 7);
  // Loaded once, and both names found in the cache: the type information was never asked.
  EXPECT_EQ(log.Take(), LoadCalls());
}

}  // namespace
}  // namespace kelvarn::test
