// TEMPORARY: the export run is not built yet; the method answers E_NOTIMPL through the catch
// sequence. Replace this file with the run.
#include "payment/export_payments.h"

#include "common/hresult.h"

namespace kelvarn {

HRESULT RunPaymentExport(LONG& /*status*/, IBankPayments* /*payments*/, IDispatch* /*context*/) {
  ThrowHresult(E_NOTIMPL);
}

}  // namespace kelvarn
