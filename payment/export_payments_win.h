#pragma once
// The payment export run: the body of IBankPaymentService::ExportPayments, run inside the
// uniform catch sequence (it throws HRESULTs and host-call failures).
#include <windows.h>
#include <oaidl.h>

#include "trelk_bank_payments.h"

namespace kelvarn {

// Run outcomes left in the service's Status.
inline constexpr LONG kExportWritten = 0;
inline constexpr LONG kExportPaymentFailedCheck = 1;
inline constexpr LONG kExportFileOrCollectionFailed = 2;
inline constexpr LONG kExportCancelled = 3;

// `status` is the service's Status; returns S_OK or S_FALSE (a payment failed a check). The
// context object is not used by the export.
HRESULT RunPaymentExport(LONG& status, IBankPayments* payments, IDispatch* context);

}  // namespace kelvarn
