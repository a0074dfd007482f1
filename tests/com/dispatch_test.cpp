// IDispatch of the service objects, answered from the registered type libraries (the
// component's, and the host's for the methods the dual interfaces inherit).
#include "tests/com/com_test_support.h"

namespace kelvarn::test {
namespace {

using DispatchTest = ComTest;

ComPtr<IDispatch> PaymentService() { return CreateComponent<IDispatch>(CLSID_BankPaymentService); }

DISPID IdOf(IDispatch* object, const wchar_t* name, HRESULT* result = nullptr) {
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  DISPID id = 12345;
  const HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  if (result) *result = hr;
  return id;
}

// Invokes with the arguments in call order (reversed into DISPPARAMS as COM wants them).
HRESULT Call(IDispatch* object, DISPID id, WORD flags, std::vector<VARIANT> arguments, VARIANT* result) {
  std::vector<VARIANT> reversed(arguments.rbegin(), arguments.rend());
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS parameters = {reversed.data(), flags == DISPATCH_PROPERTYPUT ? &named : nullptr,
                           static_cast<UINT>(reversed.size()), flags == DISPATCH_PROPERTYPUT ? 1u : 0u};
  EXCEPINFO exception = {};
  UINT argumentError = 0;
  const HRESULT hr =
      object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &parameters, result, &exception, &argumentError);
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrHelpFile);
  return hr;
}

VARIANT Long(LONG value) {
  VARIANT variant;
  VariantInit(&variant);
  V_VT(&variant) = VT_I4;
  V_I4(&variant) = value;
  return variant;
}

TEST_F(DispatchTest, TypeInformationIsThatOfTheDualInterface) {
  ComPtr<IDispatch> service = PaymentService();
  ASSERT_TRUE(service);
  UINT count = 0;
  EXPECT_EQ(service->GetTypeInfoCount(&count), S_OK);
  EXPECT_EQ(count, 1u);
  EXPECT_EQ(Hex(service->GetTypeInfo(0, LOCALE_USER_DEFAULT, nullptr)), Hex(E_POINTER));
  for (UINT index : {0u, 7u}) {  // the index is ignored
    ComPtr<ITypeInfo> info;
    ASSERT_EQ(service->GetTypeInfo(index, LOCALE_USER_DEFAULT, info.put()), S_OK);
    TYPEATTR* attributes = nullptr;
    ASSERT_EQ(info->GetTypeAttr(&attributes), S_OK);
    EXPECT_TRUE(IsEqualGUID(attributes->guid, __uuidof(IBankPaymentService)));
    EXPECT_TRUE(attributes->wTypeFlags & TYPEFLAG_FDUAL);
    info->ReleaseTypeAttr(attributes);
  }
}

TEST_F(DispatchTest, NamesResolveThroughTheHostsTypeLibrary) {
  ComPtr<IDispatch> service = PaymentService();
  ASSERT_TRUE(service);
  const std::pair<const wchar_t*, DISPID> kNames[] = {
      {L"ServiceName", 1},   {L"Status", 2},         {L"AcceptPointer", 3}, {L"AcceptKeyedPointer", 4},
      {L"GetStatusText", 5}, {L"ExportPayments", 6}, {L"servicename", 1},  // late binding ignores case
  };
  for (const auto& [name, id] : kNames) {
    HRESULT hr = E_FAIL;
    EXPECT_EQ(IdOf(service.get(), name, &hr), id) << Utf8(name);
    EXPECT_EQ(Hex(hr), Hex(S_OK)) << Utf8(name);
  }
  HRESULT hr = S_OK;
  IdOf(service.get(), L"NoSuchMember", &hr);
  EXPECT_EQ(Hex(hr), Hex(DISP_E_UNKNOWNNAME));
}

TEST_F(DispatchTest, InvokeCallsTheInheritedMethods) {
  ComPtr<IDispatch> service = PaymentService();
  ASSERT_TRUE(service);
  UniqueVariant result;
  ASSERT_EQ(Hex(Call(service.get(), IdOf(service.get(), L"ServiceName"), DISPATCH_PROPERTYGET, {}, result.put())),
            Hex(S_OK));
  EXPECT_EQ(Describe(result.get()), "VT_BSTR \"Bank Payment Service\"");

  ASSERT_EQ(Hex(Call(service.get(), 2, DISPATCH_PROPERTYPUT, {Long(-4)}, nullptr)), Hex(S_OK));
  ASSERT_EQ(Hex(Call(service.get(), 2, DISPATCH_PROPERTYGET, {}, result.put())), Hex(S_OK));
  EXPECT_EQ(Describe(result.get()), "VT_I4 -4");

  ASSERT_EQ(Hex(Call(service.get(), IdOf(service.get(), L"GetStatusText"), DISPATCH_METHOD, {Long(23)}, result.put())),
            Hex(S_OK));
  EXPECT_EQ(Describe(result.get()),
            "VT_BSTR \"Invalid Payer Sort Code: the sort code must contain exactly 6 digits.\"");

  ComPtr<IDispatch> statement = CreateComponent<IDispatch>(CLSID_BankStatementService);
  ASSERT_TRUE(statement);
  ASSERT_EQ(Hex(Call(statement.get(), IdOf(statement.get(), L"ServiceName"), DISPATCH_PROPERTYGET, {}, result.put())),
            Hex(S_OK));
  EXPECT_EQ(Describe(result.get()), "VT_BSTR \"Bank Reconciliation Service\"");
}

TEST_F(DispatchTest, LateBoundFailuresCarryTheDescription) {
  ComPtr<IDispatch> service = PaymentService();
  ASSERT_TRUE(service);
  VARIANT nothing;
  VariantInit(&nothing);
  V_VT(&nothing) = VT_DISPATCH;
  V_DISPATCH(&nothing) = nullptr;
  DISPPARAMS parameters = {&nothing, nullptr, 1, 0};
  EXCEPINFO exception = {};
  UINT argumentError = 0;
  const HRESULT hr = service->Invoke(IdOf(service.get(), L"AcceptPointer"), IID_NULL, LOCALE_USER_DEFAULT,
                                     DISPATCH_METHOD, &parameters, nullptr, &exception, &argumentError);
  // The type information turns the method's failure and its error information into an exception.
  EXPECT_EQ(Hex(hr), Hex(DISP_E_EXCEPTION));
  EXPECT_EQ(Hex(exception.scode), Hex(0x800AFFFC));
  EXPECT_EQ(Utf8(exception.bstrDescription), "Invalid argument");
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrHelpFile);
}

// The collection's enumerator through Invoke: as a method alone (JScript's Enumerator), as a
// property, and as either (VBScript's For Each); each walks both services.
TEST_F(DispatchTest, NewEnumAnswersAMethodAndAPropertyCall) {
  ComPtr<IDispatch> services = CreateComponent<IDispatch>(CLSID_BankServices);
  ASSERT_TRUE(services);
  const std::pair<const char*, WORD> kCalls[] = {
      {"method", DISPATCH_METHOD},
      {"property", DISPATCH_PROPERTYGET},
      {"method or property", DISPATCH_METHOD | DISPATCH_PROPERTYGET},
  };
  for (const auto& [what, flags] : kCalls) {
    VARIANT result;
    VariantInit(&result);
    ASSERT_EQ(Hex(Call(services.get(), DISPID_NEWENUM, flags, {}, &result)), Hex(S_OK)) << what;
    ASSERT_TRUE(V_VT(&result) == VT_UNKNOWN || V_VT(&result) == VT_DISPATCH) << what << ": type " << V_VT(&result);
    ComPtr<IEnumVARIANT> enumerator;
    ASSERT_EQ(V_UNKNOWN(&result)->QueryInterface(IID_IEnumVARIANT, enumerator.put_void()), S_OK) << what;
    VariantClear(&result);
    VARIANT items[3];
    for (VARIANT& item : items) VariantInit(&item);
    ULONG fetched = 0;
    EXPECT_EQ(Hex(enumerator->Next(3, items, &fetched)), Hex(S_FALSE)) << what;
    EXPECT_EQ(fetched, 2u) << what;
    for (VARIANT& item : items) {
      VariantClear(&item);
    }
  }
  VARIANT result;
  VariantInit(&result);
  VARIANT value = Long(0);
  EXPECT_NE(Hex(Call(services.get(), DISPID_NEWENUM, DISPATCH_PROPERTYPUT, {value}, &result)), Hex(S_OK));
  VariantClear(&result);
}

// Item, the collection's value, called as a method alone (JScript discarding the result) finds a
// service and rejects a name that is none with the collection's own error, as a property call does.
TEST_F(DispatchTest, ItemAnswersAMethodCallAsAPropertyCall) {
  ComPtr<IDispatch> services = CreateComponent<IDispatch>(CLSID_BankServices);
  ASSERT_TRUE(services);
  for (const WORD flags : {WORD{DISPATCH_METHOD}, WORD{DISPATCH_PROPERTYGET}}) {
    VARIANT result;
    VariantInit(&result);
    VARIANT position = Long(1);
    EXPECT_EQ(Hex(Call(services.get(), DISPID_VALUE, flags, {position}, &result)), Hex(S_OK)) << flags;
    EXPECT_EQ(V_VT(&result), VT_DISPATCH) << flags;
    VariantClear(&result);
    VARIANT name;
    V_VT(&name) = VT_BSTR;
    V_BSTR(&name) = SysAllocString(L"Bank Payments");
    DISPPARAMS parameters = {&name, nullptr, 1, 0};
    EXCEPINFO exception{};
    UINT argumentError = 0;
    EXPECT_EQ(Hex(services->Invoke(DISPID_VALUE, IID_NULL, LOCALE_USER_DEFAULT, flags, &parameters, &result, &exception,
                                   &argumentError)),
              Hex(DISP_E_EXCEPTION))
        << flags;
    EXPECT_EQ(Hex(exception.scode), Hex(0x800AFFFC)) << flags;
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    VariantClear(&name);
    VariantClear(&result);
  }
}

}  // namespace
}  // namespace kelvarn::test
