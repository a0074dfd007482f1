// The four classes as a hostile late-bound client meets them: from a fixed seed, Invoke with
// every dispatch id of their type information and unknown ones, random argument counts, types and
// flags (within the DISPPARAMS contract), and the collection's Item and the enumerator's Next,
// Skip and Clone through their vtables with hostile values. Nothing may crash, every result is
// one the dispatcher or the component documents, and the module unloads afterwards.
// KELVARN_FUZZ_CALLS sets the number of calls (scripts/fuzz runs a longer round).
#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "tests/com/com_test_support.h"
#include "fakehost/fake_host_components.h"
#include "frame/ref_counted_win.h"

namespace kelvarn::test {
namespace {

using DispatchFuzzTest = ComTest;

constexpr unsigned kSeed = 20261210;
constexpr long kDefaultCalls = 4000;

long CallsToMake() {
  const char* calls = std::getenv("KELVARN_FUZZ_CALLS");
  const long value = calls ? std::strtol(calls, nullptr, 10) : 0;
  return value > 0 ? value : kDefaultCalls;
}

// What a call may answer: success, the dispatcher's own DISP_E_* and type-conversion codes, and
// the component's documented failures (facility 10 descriptions, E_INVALIDARG and E_POINTER of
// the enumerator, DISP_E_EXCEPTION of a failed host call).
bool Allowed(HRESULT hr) {
  if (hr == S_OK || hr == S_FALSE) return true;
  const auto code = static_cast<unsigned long>(hr);
  if (code >= 0x80020001ul && code <= 0x80020013ul) return true;  // DISP_E_*
  if (code >= 0x800AFFFAul && code <= 0x800AFFFEul) return true;  // the component's descriptions
  return hr == E_INVALIDARG || hr == E_POINTER || hr == E_OUTOFMEMORY;
}

// An object of another program handed in as VT_DISPATCH: answers only IUnknown and IDispatch,
// and fails every late-bound call.
class ForeignObject final : public RefCounted<ForeignObject, ApartmentCount, IDispatch> {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid != IID_IUnknown && iid != IID_IDispatch) return E_NOINTERFACE;
    *out = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count) *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return DISP_E_MEMBERNOTFOUND;
  }

 private:
  // On the test's stack: the last release deletes nothing.
  friend RefCounted;
  void OnFinalRelease() {}
};

// The member ids of a type and of the interfaces it derives from (IDispatch's own excluded).
void CollectMemberIds(ITypeInfo* type, std::set<DISPID>& ids, int depth = 0) {
  TYPEATTR* attributes = nullptr;
  if (depth > 8 || FAILED(type->GetTypeAttr(&attributes))) return;
  const bool isDispatch = attributes->guid == IID_IDispatch || attributes->guid == IID_IUnknown;
  const WORD functions = attributes->cFuncs;
  const WORD bases = attributes->cImplTypes;
  type->ReleaseTypeAttr(attributes);
  if (isDispatch) return;
  for (WORD index = 0; index < functions; ++index) {
    FUNCDESC* function = nullptr;
    if (SUCCEEDED(type->GetFuncDesc(index, &function))) {
      ids.insert(function->memid);
      type->ReleaseFuncDesc(function);
    }
  }
  for (WORD index = 0; index < bases; ++index) {
    HREFTYPE reference = 0;
    ComPtr<ITypeInfo> base;
    if (SUCCEEDED(type->GetRefTypeOfImplType(index, &reference)) &&
        SUCCEEDED(type->GetRefTypeInfo(reference, base.put()))) {
      CollectMemberIds(base.get(), ids, depth + 1);
    }
  }
}

constexpr VARTYPE kValueTypes[] = {VT_EMPTY,   VT_NULL, VT_I2,       VT_I4,    VT_R4,   VT_R8,      VT_CY,
                                   VT_DATE,    VT_BSTR, VT_DISPATCH, VT_ERROR, VT_BOOL, VT_VARIANT, VT_UNKNOWN,
                                   VT_DECIMAL, VT_I1,   VT_UI1,      VT_UI2,   VT_UI4,  VT_I8,      VT_UI8,
                                   VT_INT,     VT_UINT, VT_RECORD,   0x7F,     0xFFF};

// The storage behind one argument, so VT_BYREF points at something that lives for the call.
struct Argument {
  VARIANT value;
  VARIANT referenced;  // what a VT_BYREF argument points into
  BSTR text = nullptr;
  IUnknown* object = nullptr;
  SAFEARRAY* array = nullptr;
};

class Fuzzer {
 public:
  explicit Fuzzer(ForeignObject& foreign) : random_(kSeed), foreign_(foreign) {}

  unsigned Pick(unsigned count) { return std::uniform_int_distribution<unsigned>(0, count - 1)(random_); }
  bool Chance(unsigned inEvery) { return Pick(inEvery) == 0; }
  LONG AnyLong() {
    static const LONG kHostile[] = {0, 1, 2, 3, -1, -2, 0x7FFFFFFF, static_cast<LONG>(0x80000000), 255, 65536};
    return Chance(2) ? kHostile[Pick(std::size(kHostile))] : static_cast<LONG>(random_());
  }

  BSTR AnyText() {
    static const wchar_t* const kTexts[] = {L"",  L"Bank Payment Service", L"Bank Reconciliation Service",
                                            L"1", L"bank payment service", L"\U0001F600",
                                            L"x"};
    if (Chance(6)) return nullptr;
    if (Chance(8)) {
      std::wstring huge(70000, L'9');
      return SysAllocStringLen(huge.data(), static_cast<UINT>(huge.size()));
    }
    if (Chance(8)) return SysAllocStringLen(L"Bank\0Payment", 12);
    return SysAllocString(kTexts[Pick(std::size(kTexts))]);
  }

  // A random value of `type` into `target`, keeping what it owns in `argument`.
  void Fill(VARIANT& target, VARTYPE type, Argument& argument) {
    VariantInit(&target);
    V_VT(&target) = type;
    switch (type) {
      case VT_I2:
        V_I2(&target) = static_cast<SHORT>(AnyLong());
        break;
      case VT_I4:
      case VT_INT:
      case VT_ERROR:
      case VT_UI4:
      case VT_UINT:
        V_I4(&target) = AnyLong();
        break;
      case VT_R4:
        V_R4(&target) = static_cast<float>(AnyLong()) / 3;
        break;
      case VT_R8:
      case VT_DATE:
        V_R8(&target) = Chance(4) ? 1e308 * 10 : AnyLong() / 7.0;
        break;
      case VT_CY:
        V_CY(&target).int64 = static_cast<LONGLONG>(AnyLong()) << Pick(30);
        break;
      case VT_BOOL:
        V_BOOL(&target) = Chance(2) ? VARIANT_TRUE : VARIANT_FALSE;
        break;
      case VT_I1:
      case VT_UI1:
        V_UI1(&target) = static_cast<BYTE>(AnyLong());
        break;
      case VT_UI2:
        V_UI2(&target) = static_cast<USHORT>(AnyLong());
        break;
      case VT_I8:
      case VT_UI8:
        V_I8(&target) = static_cast<LONGLONG>(AnyLong()) * 0x100000001LL;
        break;
      case VT_DECIMAL:
        V_DECIMAL(&target).Lo32 = static_cast<ULONG>(AnyLong());
        V_VT(&target) = VT_DECIMAL;
        break;
      case VT_BSTR:
        argument.text = AnyText();
        V_BSTR(&target) = argument.text;
        break;
      case VT_DISPATCH:
      case VT_UNKNOWN:
        argument.object = Chance(3) ? nullptr : static_cast<IDispatch*>(&foreign_);
        V_DISPATCH(&target) = static_cast<IDispatch*>(static_cast<IUnknown*>(argument.object));
        break;
      case VT_RECORD:
      case VT_VARIANT:
      case 0x7F:
      case 0xFFF:
        // Not valid by value: the dispatcher must refuse it; no pointer is left in it.
        V_I8(&target) = 0;
        break;
      default:
        break;
    }
  }

  void MakeArgument(Argument& argument) {
    VariantInit(&argument.referenced);
    const VARTYPE type = kValueTypes[Pick(std::size(kValueTypes))];
    const unsigned form = Pick(6);
    if (form == 0 && type != VT_EMPTY && type != VT_NULL) {
      // By reference, or a null reference.
      VariantInit(&argument.value);
      if (type == VT_VARIANT) {
        Fill(argument.referenced, kValueTypes[Pick(5)], argument);
        V_VT(&argument.value) = VT_BYREF | VT_VARIANT;
        V_VARIANTREF(&argument.value) = Chance(5) ? nullptr : &argument.referenced;
      } else {
        Fill(argument.referenced, type, argument);
        V_VT(&argument.value) = VT_BYREF | type;
        V_BYREF(&argument.value) = Chance(5) ? nullptr : &V_I4(&argument.referenced);
      }
    } else if (form == 1) {
      argument.array = SafeArrayCreateVector(VT_I4, 0, Pick(4));
      VariantInit(&argument.value);
      V_VT(&argument.value) = VT_ARRAY | VT_I4;
      V_ARRAY(&argument.value) = Chance(5) ? nullptr : argument.array;
    } else {
      Fill(argument.value, type, argument);
    }
  }

  static void FreeArgument(Argument& argument) {
    SysFreeString(argument.text);
    if (argument.array) SafeArrayDestroy(argument.array);
  }

  std::mt19937& Random() { return random_; }

 private:
  std::mt19937 random_;
  ForeignObject& foreign_;
};

struct Target {
  const char* name;
  ComPtr<IDispatch> object;
  std::vector<DISPID> ids;
};

TEST_F(DispatchFuzzTest, RandomInvokesAndEnumeratorCallsCrashNothingAndAnswerOnlyDocumentedResults) {
  // Host components that are there but fail, so no run opens a dialog.
  CallLog log;
  FakeHostComponents host(log);
  host.configuration.creationFailure = E_FAIL;
  host.chooser.creationFailure = E_FAIL;
  ForeignObject foreign;
  Fuzzer fuzzer(foreign);
  const long callsToMake = CallsToMake();
  long calls = 0;
  std::vector<std::string> unexpected;
  std::map<HRESULT, long> results;
  ULONG foreignReferences = foreign.References();
  auto check = [&](const std::string& what, HRESULT hr, bool throughInvoke = false) {
    ++calls;
    ++results[hr];
    // Wine's dispatcher, refusing a call before the component sees it (wrong argument count,
    // an object argument without the parameter's interface), keeps the references it took of
    // the arguments: only calls that reached the component are held to giving them back.
    const auto code = static_cast<unsigned long>(hr);
    const bool refusedByDispatcher =
        throughInvoke &&
        (hr == E_NOINTERFACE || (code >= 0x80020001ul && code <= 0x80020013ul && hr != DISP_E_EXCEPTION));
    if (refusedByDispatcher) {
      foreignReferences = foreign.References();
      return;
    }
    // Each call gives back every reference it took of the foreign object.
    if (foreign.References() != foreignReferences && unexpected.size() < 20) {
      unexpected.push_back(what + " = " + Hex(hr) + ": the foreign object's references went from " +
                           std::to_string(foreignReferences) + " to " + std::to_string(foreign.References()));
    }
    foreignReferences = foreign.References();
    if (!Allowed(hr) && unexpected.size() < 20) unexpected.push_back(what + " = " + Hex(hr));
  };
  {
    std::vector<Target> targets = {{"Bank", nullptr, {}},
                                   {"BankServices", nullptr, {}},
                                   {"BankPaymentService", nullptr, {}},
                                   {"BankStatementService", nullptr, {}}};
    const CLSID* classes[] = {&CLSID_Bank, &CLSID_BankServices, &CLSID_BankPaymentService, &CLSID_BankStatementService};
    for (std::size_t index = 0; index < targets.size(); ++index) {
      targets[index].object = CreateComponent<IDispatch>(*classes[index]);
      ASSERT_TRUE(targets[index].object) << targets[index].name;
      ComPtr<ITypeInfo> type;
      ASSERT_EQ(Hex(targets[index].object->GetTypeInfo(0, 0, type.put())), Hex(S_OK));
      std::set<DISPID> ids;
      CollectMemberIds(type.get(), ids);
      ASSERT_FALSE(ids.empty()) << targets[index].name;
      targets[index].ids.assign(ids.begin(), ids.end());
      // Unknown ones too.
      for (DISPID unknown : {DISPID_UNKNOWN, DISPID_NEWENUM, DISPID_EVALUATE, 57, 0x7FFFFFFF, -999}) {
        targets[index].ids.push_back(unknown);
      }
    }
    ComPtr<IBankServices> services;
    ASSERT_EQ(targets[1].object.get()->QueryInterface(__uuidof(IBankServices), services.put_void()), S_OK);

    static const WORD kFlags[] = {DISPATCH_METHOD,
                                  DISPATCH_PROPERTYGET,
                                  DISPATCH_METHOD | DISPATCH_PROPERTYGET,
                                  DISPATCH_PROPERTYPUT,
                                  DISPATCH_PROPERTYPUTREF,
                                  0,
                                  0x10,
                                  0xFFFF};
    while (calls < callsToMake) {
      const unsigned choice = fuzzer.Pick(10);
      if (choice < 7) {
        Target& target = targets[fuzzer.Pick(static_cast<unsigned>(targets.size()))];
        const DISPID id = target.ids[fuzzer.Pick(static_cast<unsigned>(target.ids.size()))];
        const WORD flags = kFlags[fuzzer.Pick(std::size(kFlags))];
        const unsigned count = fuzzer.Pick(5);
        std::vector<Argument> arguments(count);
        std::vector<VARIANT> values(count);
        for (unsigned index = 0; index < count; ++index) {
          fuzzer.MakeArgument(arguments[index]);
          values[index] = arguments[index].value;
        }
        DISPID named = DISPID_PROPERTYPUT;
        DISPPARAMS parameters = {count ? values.data() : nullptr, nullptr, count, 0};
        if (count > 0 && (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) && fuzzer.Chance(2)) {
          named = fuzzer.Chance(4) ? 3 : DISPID_PROPERTYPUT;
          parameters.rgdispidNamedArgs = &named;
          parameters.cNamedArgs = 1;
        }
        VARIANT result;
        VariantInit(&result);
        EXCEPINFO exception = {};
        UINT argumentError = 0;
        const bool withResult = !fuzzer.Chance(4);
        const bool withException = !fuzzer.Chance(3);
        const HRESULT hr = target.object->Invoke(id, IID_NULL, 0, flags, fuzzer.Chance(20) ? nullptr : &parameters,
                                                 withResult ? &result : nullptr, withException ? &exception : nullptr,
                                                 fuzzer.Chance(3) ? nullptr : &argumentError);
        check(std::string(target.name) + " Invoke(" + std::to_string(id) + ", flags " + std::to_string(flags) + ", " +
                  std::to_string(count) + " arguments)",
              hr, true);
        VariantClear(&result);
        SysFreeString(exception.bstrSource);
        SysFreeString(exception.bstrDescription);
        SysFreeString(exception.bstrHelpFile);
        for (Argument& argument : arguments) Fuzzer::FreeArgument(argument);
      } else if (choice == 7) {
        Argument argument;
        fuzzer.MakeArgument(argument);
        IDispatch* service = nullptr;
        const bool nullOut = fuzzer.Chance(5);
        const HRESULT hr =
            services->get_Item(fuzzer.Chance(8) ? nullptr : &argument.value, nullOut ? nullptr : &service);
        check("Item", hr);
        if (service) service->Release();
        Fuzzer::FreeArgument(argument);
      } else {
        ComPtr<IUnknown> unknown;
        check("NewEnum", services->get_NewEnum(unknown.put()));
        ComPtr<IEnumVARIANT> enumerator = unknown.As<IEnumVARIANT>();
        ASSERT_TRUE(enumerator);
        for (int step = 0; step < 6; ++step) {
          switch (fuzzer.Pick(4)) {
            case 0: {
              static const ULONG kCounts[] = {0, 1, 2, 3, 0xFFFFFFFF, 0x80000000, 0x40000000};
              const ULONG wanted = kCounts[fuzzer.Pick(std::size(kCounts))];
              ULONG fetched = 0;
              const bool withFetched = fuzzer.Chance(2);
              if (wanted <= 3 && !fuzzer.Chance(4)) {
                VARIANT elements[3];
                check("Next(" + std::to_string(wanted) + ")",
                      enumerator->Next(wanted, elements, withFetched ? &fetched : nullptr));
                for (ULONG index = 0; index < wanted; ++index) VariantClear(&elements[index]);
              } else {
                // A huge count or none, with no array: nowhere to write.
                check("Next(" + std::to_string(wanted) + ", null array)",
                      enumerator->Next(wanted, nullptr, withFetched ? &fetched : nullptr));
              }
              break;
            }
            case 1: {
              static const ULONG kSkips[] = {0, 1, 2, 3, 0xFFFFFFFF, 0x7FFFFFFF, 0x80000001};
              check("Skip", enumerator->Skip(kSkips[fuzzer.Pick(std::size(kSkips))]));
              break;
            }
            case 2: {
              if (fuzzer.Chance(2)) {
                check("Clone(null)", enumerator->Clone(nullptr));
              } else {
                ComPtr<IEnumVARIANT> clone;
                check("Clone", enumerator->Clone(clone.put()));
                if (clone) enumerator = clone;
              }
              break;
            }
            default:
              check("Reset", enumerator->Reset());
          }
        }
      }
    }
  }
  std::printf("fuzzed calls: %ld (seed %u); results:", calls, kSeed);
  for (const auto& [hr, count] : results) std::printf(" %s x%ld", Hex(hr).c_str(), count);
  std::printf("\n");
  // The calls reached the methods, not only the dispatcher's refusals.
  EXPECT_GT(results[S_OK], calls / 20);
  EXPECT_EQ(unexpected, std::vector<std::string>{});
}

}  // namespace
}  // namespace kelvarn::test
