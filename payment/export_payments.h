#pragma once
// The payment export run: the body of IBankPaymentService::ExportPayments, run inside the
// uniform catch sequence (it throws HRESULTs and host-call failures).
#include <windows.h>
#include <oaidl.h>

#include "trelk_bank_payments.h"

namespace kelvarn {

// `status` is the service's Status; returns S_OK or S_FALSE (a payment failed a check).
HRESULT RunPaymentExport(LONG& status, IBankPayments* payments, IDispatch* context);

}  // namespace kelvarn
