#pragma once
// Identifiers of the module's resources (shared by the .rc file and the C++ code).

#define IDR_BANK 101
#define IDR_BANK_SERVICES 102
#define IDR_BANK_PAYMENT_SERVICE 103
#define IDR_BANK_STATEMENT_SERVICE 104

#define IDI_KELVARN_BANK 200

// Texts of the payment result codes: string 300 + code (codes 0 and 20 to 35 have one).
#define IDS_RESULT_CODE_BASE 300
#define IDS_RESULT_CODE_LAST 335

#define IDD_PROCESSING_DATE 1001
#define IDC_PROCESSING_DATE_LABEL 2001
#define IDC_PROCESSING_DATE_PICKER 2003
#define IDC_PROCESSING_DATE_GROUP 2012
