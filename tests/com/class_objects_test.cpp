// Class objects, aggregation, the module's lock count and DllCanUnloadNow.
#include "tests/com/com_test_support.h"
#include "frame/ref_counted_win.h"

namespace kelvarn::test {
namespace {

using ClassObjectTest = ComTest;

const CLSID* const kClasses[] = {&CLSID_Bank, &CLSID_BankServices, &CLSID_BankPaymentService,
                                 &CLSID_BankStatementService};

ComPtr<IClassFactory> ClassObject(REFCLSID clsid) {
  ComPtr<IClassFactory> factory;
  EXPECT_EQ(Hex(Module().getClassObject(clsid, IID_IClassFactory, factory.put_void())), Hex(S_OK));
  return factory;
}

TEST_F(ClassObjectTest, EveryClassHasOneSharedClassObject) {
  for (const CLSID* clsid : kClasses) {
    ComPtr<IClassFactory> first = ClassObject(*clsid);
    ComPtr<IUnknown> second;
    EXPECT_EQ(Module().getClassObject(*clsid, IID_IUnknown, second.put_void()), S_OK);
    EXPECT_EQ(static_cast<IUnknown*>(first.get()), second.get());
  }
}

TEST_F(ClassObjectTest, UnknownClassesAndInterfacesAreRefused) {
  void* out = reinterpret_cast<void*>(1);
  EXPECT_EQ(Hex(Module().getClassObject(IID_IDispatch, IID_IClassFactory, &out)), Hex(CLASS_E_CLASSNOTAVAILABLE));
  EXPECT_EQ(out, nullptr);
  out = reinterpret_cast<void*>(1);
  EXPECT_EQ(Hex(Module().getClassObject(CLSID_BankPaymentService, IID_IDispatch, &out)), Hex(E_NOINTERFACE));
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(Hex(Module().getClassObject(CLSID_BankPaymentService, IID_IClassFactory, nullptr)), Hex(E_POINTER));
}

TEST_F(ClassObjectTest, CreateInstanceChecksItsArguments) {
  ComPtr<IClassFactory> factory = ClassObject(CLSID_BankPaymentService);
  ASSERT_TRUE(factory);
  EXPECT_EQ(Hex(factory->CreateInstance(nullptr, IID_IUnknown, nullptr)), Hex(E_POINTER));
  ComPtr<IUnknown> outer = CreateComponent<IUnknown>(CLSID_BankStatementService);  // any unknown
  void* out = reinterpret_cast<void*>(1);
  EXPECT_EQ(Hex(factory->CreateInstance(outer.get(), __uuidof(IBankPaymentService), &out)), Hex(CLASS_E_NOAGGREGATION));
  EXPECT_EQ(out, nullptr);
  out = reinterpret_cast<void*>(1);
  EXPECT_EQ(Hex(factory->CreateInstance(nullptr, IID_IClassFactory, &out)), Hex(E_NOINTERFACE));
  EXPECT_EQ(out, nullptr);  // and the refused instance is gone again (checked at the end)
}

TEST_F(ClassObjectTest, LiveInstancesKeepTheModuleLoaded) {
  ComPtr<IClassFactory> factory = ClassObject(CLSID_BankStatementService);
  ASSERT_TRUE(factory);
  EXPECT_EQ(Hex(Module().canUnloadNow()), Hex(S_FALSE));  // the host holds the class object
  ComPtr<IUnknown> instance;
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, instance.put_void()), S_OK);
  factory.reset();
  EXPECT_EQ(Hex(Module().canUnloadNow()), Hex(S_FALSE));  // an instance lives
  instance.reset();
  EXPECT_EQ(Hex(Module().canUnloadNow()), Hex(S_OK));  // only the table holds the class object
}

TEST_F(ClassObjectTest, LockServerLocksUntilUnlocked) {
  ComPtr<IClassFactory> factory = ClassObject(CLSID_BankPaymentService);
  ASSERT_TRUE(factory);
  EXPECT_EQ(factory->LockServer(TRUE), S_OK);
  EXPECT_EQ(factory->LockServer(TRUE), S_OK);
  factory.reset();
  EXPECT_EQ(Hex(Module().canUnloadNow()), Hex(S_FALSE));
  factory = ClassObject(CLSID_BankPaymentService);
  EXPECT_EQ(factory->LockServer(FALSE), S_OK);
  factory.reset();
  EXPECT_EQ(Hex(Module().canUnloadNow()), Hex(S_FALSE));
  factory = ClassObject(CLSID_BankPaymentService);
  EXPECT_EQ(factory->LockServer(FALSE), S_OK);
}

// An aggregating object: answers IUnknown itself and passes every other query to the inner
// object, recording what reaches it.
class Outer final : public RefCounted<Outer, ApartmentCount, IUnknown> {
 public:
  explicit Outer(CallLog& log) : log_(log) {}
  ComPtr<IUnknown> inner;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    log_.Add(iid == IID_IDispatch ? "outer.QueryInterface(IDispatch)" : "outer.QueryInterface(other)");
    if (iid == IID_IUnknown) {
      *out = static_cast<IUnknown*>(this);
      AddRef();
      return S_OK;
    }
    return inner->QueryInterface(iid, out);
  }
  ULONG STDMETHODCALLTYPE AddRef() override {
    log_.Add("outer.AddRef");
    return RefCounted::AddRef();
  }
  ULONG STDMETHODCALLTYPE Release() override {
    log_.Add("outer.Release");
    return RefCounted::Release();
  }

 private:
  // On the test's stack: the last release deletes nothing.
  friend RefCounted;
  void OnFinalRelease() {}

  CallLog& log_;
};

TEST_F(ClassObjectTest, AggregatedInstancesPassTheirUnknownToTheOuterObject) {
  for (const CLSID* clsid : {&CLSID_BankPaymentService, &CLSID_BankStatementService}) {
    CallLog log;
    Outer outer(log);
    ComPtr<IClassFactory> factory = ClassObject(*clsid);
    ASSERT_TRUE(factory);
    ASSERT_EQ(factory->CreateInstance(&outer, IID_IUnknown, outer.inner.put_void()), S_OK);
    factory.reset();

    // The inner unknown is its own identity.
    ComPtr<IUnknown> innerAgain;
    ASSERT_EQ(outer.inner->QueryInterface(IID_IUnknown, innerAgain.put_void()), S_OK);
    EXPECT_EQ(innerAgain.get(), outer.inner.get());
    innerAgain.reset();
    EXPECT_EQ(log.Take(), Lines{});

    // The interfaces pass AddRef, Release and QueryInterface to the outer object.
    ComPtr<IDispatch> dispatch;
    ASSERT_EQ(outer.inner->QueryInterface(IID_IDispatch, dispatch.put_void()), S_OK);
    EXPECT_NE(static_cast<IUnknown*>(dispatch.get()), outer.inner.get());
    dispatch->AddRef();
    dispatch->Release();
    ComPtr<IDispatch> again;
    EXPECT_EQ(dispatch->QueryInterface(IID_IDispatch, again.put_void()), S_OK);
    ComPtr<IUnknown> identity;
    EXPECT_EQ(dispatch->QueryInterface(IID_IUnknown, identity.put_void()), S_OK);
    EXPECT_EQ(identity.get(), static_cast<IUnknown*>(&outer));
    identity.reset();
    again.reset();
    dispatch.reset();
    EXPECT_EQ(log.Take(), (Lines{"outer.AddRef", "outer.AddRef", "outer.Release", "outer.QueryInterface(IDispatch)",
                                 "outer.AddRef", "outer.QueryInterface(other)", "outer.AddRef", "outer.Release",
                                 "outer.Release", "outer.Release"}));
    EXPECT_EQ(Hex(Module().canUnloadNow()), Hex(S_FALSE));
    outer.inner.reset();  // the inner object goes with the outer object's reference
  }
}

TEST_F(ClassObjectTest, RegisteredClassesAreCreatedByProgId) {
  const wchar_t* const kProgIds[] = {L"TrelkKelvarnBank.BankPaymentService",
                                     L"TrelkKelvarnBank.BankStatementService.1"};
  for (const wchar_t* progId : kProgIds) {
    CLSID clsid;
    ASSERT_EQ(CLSIDFromProgID(progId, &clsid), S_OK) << Utf8(progId);
    ComPtr<IDispatch> object;
    ASSERT_EQ(Hex(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, object.put_void())), Hex(S_OK));
    UINT count = 0;
    EXPECT_EQ(object->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 1u);
  }
}

}  // namespace
}  // namespace kelvarn::test
