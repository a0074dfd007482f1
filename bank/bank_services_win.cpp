#include "bank/bank_services_win.h"

#include <cwchar>

#include "bank/service_enumerator_win.h"
#include "bank/service_list_win.h"
#include "frame/class_table_win.h"
#include "frame/com_object_win.h"
#include "frame/error_reporting_win.h"
#include "frame/owners_win.h"
#include "services/bank_payment_service_win.h"
#include "services/bank_statement_service_win.h"

namespace kelvarn {
namespace {

// The name an entry reports through its service interface; null when it has none.
UniqueBstr ServiceNameOf(IDispatch* entry) {
  UniqueBstr name;
  ComPtr<IDispatch> shared = ComPtr<IDispatch>::Share(entry);
  if (auto payment = shared.As<ITrelkPaymentService>()) {
    payment->get_ServiceName(name.put());
  } else if (auto statement = shared.As<ITrelkReconciliationService>()) {
    statement->get_ServiceName(name.put());
  }
  return name;
}

// Exact, case-sensitive comparison of whole strings; a null string equals only a null string.
bool SameName(BSTR wanted, BSTR name) noexcept {
  if (!wanted || !name) return !wanted && !name;
  const UINT length = SysStringLen(wanted);
  return SysStringLen(name) == length && std::wmemcmp(wanted, name, length) == 0;
}

class BankServices final
    : public ComObject<BankServices, IBankServices, BankServicesImplementation, BankServicesErrorInfo> {
 public:
  explicit BankServices(IUnknown* outer) noexcept : ComObject(outer) {}
  // The list's destruction releases each service's reference, last to first; services the host
  // still holds live on.
  ~BankServices() = default;

  void* FindInterface(REFIID iid) noexcept {
    if (iid == IID_IDispatch || iid == __uuidof(IBankServices) || iid == __uuidof(ITrelkBankServices)) {
      return static_cast<IBankServices*>(this);
    }
    if (iid == IID_ISupportErrorInfo) return static_cast<ISupportErrorInfo*>(this);
    return nullptr;
  }

  // Completes the creation: the payment service at position 0, the statement service at 1.
  HRESULT FinalConstruct() noexcept {
    return RunComMethod([&] {
      services_.RemoveAll();
      AddNewService(&CreateBankPaymentService, __uuidof(IBankPaymentService));
      AddNewService(&CreateBankStatementService, __uuidof(IBankStatementService));
    });
  }

  HRESULT STDMETHODCALLTYPE get_Item(VARIANT* index, IDispatch** service) override {
    return RunComMethod([&] {
      RequirePointer(service);
      *service = nullptr;  // nothing half-set on a rejected lookup
      const LONG position = FindServiceIndex(index);
      if (!services_.IsPosition(position)) ThrowHresult(kInvalidArgument);
      *service = ComPtr<IDispatch>::Share(services_.At(position)).release();
    });
  }

  HRESULT STDMETHODCALLTYPE get_Count(LONG* count) override {
    return RunComMethod([&] { *RequirePointer(count) = services_.Count(); });
  }

  // JScript's Enumerator asks for the enumerator as a method alone, VBScript's For Each as a
  // method or property: both reach NewEnum, a property in the type library. Likewise JScript
  // calls Item as a method alone when it discards the result (services.Item("x");).
  HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID iid, LCID locale, WORD flags, DISPPARAMS* parameters,
                                   VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override {
    if ((member == DISPID_NEWENUM || member == DISPID_VALUE) && (flags & DISPATCH_METHOD))
      flags |= DISPATCH_PROPERTYGET;
    return ComObject::Invoke(member, iid, locale, flags, parameters, result, exception, argumentError);
  }

  HRESULT STDMETHODCALLTYPE get_NewEnum(IUnknown** enumerator) override {
    return RunComMethod([&] {
      RequirePointer(enumerator);
      *enumerator = nullptr;
      ServiceEnumerator* created = ServiceEnumerator::New(services_, static_cast<IBankServices*>(this), 0);
      if (!created) ThrowHresult(kOutOfMemory);
      created->AddRef();
      *enumerator = static_cast<IEnumVARIANT*>(created);
    });
  }

  void STDMETHODCALLTYPE Destroy() override { delete this; }

  HRESULT STDMETHODCALLTYPE AddService(IDispatch* service) override {
    return RunComMethod([&] { services_.Append(RequirePointer(service)); });
  }

  HRESULT STDMETHODCALLTYPE RemoveService(LONG position) override {
    return RunComMethod([&] {
      if (!services_.IsPosition(position)) ThrowHresult(kInvalidArgument);
      services_.RemoveAt(position);
    });
  }

  HRESULT STDMETHODCALLTYPE RemoveAllServices() override {
    return RunComMethod([&] { services_.RemoveAll(); });
  }

  HRESULT STDMETHODCALLTYPE ServiceAt(LONG position, IDispatch** service) override {
    return RunComMethod([&] {
      RequirePointer(service);
      if (!services_.IsPosition(position)) ThrowHresult(kInvalidArgument);
      *service = ComPtr<IDispatch>::Share(services_.At(position)).release();
    });
  }

  HRESULT STDMETHODCALLTYPE get_Tag(LONG* tag) override {
    return RunComMethod([&] { *RequirePointer(tag) = tag_; });
  }

  HRESULT STDMETHODCALLTYPE put_Tag(LONG tag) override {
    return RunComMethod([&] { tag_ = tag; });
  }

  HRESULT STDMETHODCALLTYPE AcceptKeyedPointer(LONG /*key: unused*/, void* pointer) override {
    return RunComMethod([&] { RequirePointer(pointer); });
  }

 private:
  // Creates a service with `create`, queried for its own dual interface, and appends it; the
  // list's reference is then the service's only one.
  void AddNewService(CreateInstanceFunction create, REFIID iid) {
    ComPtr<IDispatch> service;
    const HRESULT hr = create(nullptr, iid, service.put_void());
    if (FAILED(hr)) ThrowHresult(hr);
    services_.Append(service.get());
  }

  // The position `index` names (a service name, or anything that converts to a number), or -1.
  // Negative positions other than -1 pass through; callers reject them as out of range.
  LONG FindServiceIndex(VARIANT* index) const {
    const LONG entries = services_.Count();
    LONG result = -1;
    if (!index || V_VT(index) == VT_EMPTY || V_VT(index) == VT_ERROR) return -1;
    if (V_VT(index) == VT_BSTR || V_VT(index) == (VT_BSTR | VT_BYREF)) {
      // A by-reference string with no reference counts as the null string.
      BSTR wanted = V_VT(index) == VT_BSTR ? V_BSTR(index) : (V_BSTRREF(index) ? *V_BSTRREF(index) : nullptr);
      for (LONG position = 0; position < entries; ++position) {
        if (SameName(wanted, ServiceNameOf(services_.At(position)).get())) {
          result = position;
          break;
        }
      }
    } else {
      UniqueVariant converted;
      if (SUCCEEDED(VariantChangeType(converted.get(), index, 0, VT_I4))) result = V_I4(converted.get());
    }
    return result >= entries ? -1 : result;
  }

  ServiceList services_;
  LONG tag_ = 0;
};

}  // namespace

HRESULT CreateBankServicesInstance(IUnknown* outer, REFIID iid, void** out) noexcept {
  return BankServices::CreateInstance(outer, iid, out);
}

}  // namespace kelvarn
