#include "tests/com/bank_test_support.h"

#include "tests/com/com_test_support.h"

#include "frame/owners_win.h"
#include "fakehost/call_log.h"
#include "trelk_kelvarn_bank.h"

namespace kelvarn::test {

std::string DescribeService(IUnknown* service) {
  if (!service) return "null";
  const auto held = ComPtr<IUnknown>::Share(service);
  UniqueBstr name;
  if (auto payment = held.As<IBankPaymentService>()) {
    payment->get_ServiceName(name.put());
    return "payment service " + Quoted(name.get());
  }
  if (auto statement = held.As<IBankStatementService>()) {
    statement->get_ServiceName(name.put());
    return "statement service " + Quoted(name.get());
  }
  return "other object";
}

std::string DescribeElement(const VARIANT& element) {
  switch (V_VT(&element)) {
    case VT_EMPTY:
      return "VT_EMPTY";
    case VT_DISPATCH:
      return "VT_DISPATCH " + DescribeService(V_DISPATCH(&element));
    default:
      return "VT " + std::to_string(V_VT(&element));
  }
}

std::string Outcome(HRESULT hr) { return Hex(hr) + " " + TakeErrorDescription(); }

}  // namespace kelvarn::test
