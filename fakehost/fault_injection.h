#pragma once
// A misbehaving host: while a FaultInjection lives, the fakes count every call the component
// makes to them (host components' creation and interface query included) and misbehave on one
// chosen call in one chosen way. A run with no fault chosen only records the calls, so a test can
// then inject each kind that applies at each call it saw:
//
//   std::vector<HostCall> calls;
//   { FaultInjection recording; RunTheExport(); calls = recording.Calls(); }
//   for (std::size_t n = 1; n <= calls.size(); ++n)
//     for (Fault fault : FaultsFor(calls[n - 1].returns)) {
//       FaultInjection injection(n, fault);
//       RunTheExport();   // call n fails, or hands out a null, empty, huge ... value
//     }
//
// The fakes also report every BSTR they hand out to the active BstrAccounting (bstr_accounting.h).
#include <windows.h>
#include <oaidl.h>

#include <cstddef>
#include <string>
#include <vector>

#include "fakehost/call_log.h"

namespace kelvarn::test {

enum class Fault {
  kNone,
  kFail,           // E_FAIL
  kOutOfMemory,    // E_OUTOFMEMORY
  kException,      // DISP_E_EXCEPTION, with the thread's error information set
  kNullOut,        // S_OK, the out value (interface or string) left null
  kEmpty,          // S_OK, an empty string
  kHuge,           // S_OK, a string of 1,000,000 characters
  kEmbeddedNul,    // S_OK, the string with a NUL inside it
  kAboveBmp,       // S_OK, the string with characters above U+FFFF (surrogate pairs)
  kUnterminated,   // GetPaymentFileDefaults: file name, extension and directory without a NUL
  kLongExtension,  // GetPaymentFileDefaults: an extension of more than 3 characters
};

// What a host method hands back, which decides the faults that apply to it.
enum class Returns {
  kStatus,               // only its HRESULT (setters, Reset, ChooseFile, Count, Amount, ...)
  kInterface,            // an interface pointer (Item, BankAccount, AddLine, creation, query)
  kText,                 // a string (the payment's and account's BSTRs, the chooser's path)
  kPaymentFileDefaults,  // GetPaymentFileDefaults' three ANSI buffers
};

// The faults that apply to a method of that kind (the table in fault_injection.cpp).
const std::vector<Fault>& FaultsFor(Returns returns);
std::string FaultName(Fault fault);

struct HostCall {
  std::string name;  // "payment0.get_PayeeSortCode", "configuration.CreateInstance"
  Returns returns;
};

class FaultInjection {
 public:
  // Injects `fault` at call number `injectAt` (from 1); 0 and kNone only count.
  explicit FaultInjection(std::size_t injectAt = 0, Fault fault = Fault::kNone);
  FaultInjection(const FaultInjection&) = delete;
  FaultInjection& operator=(const FaultInjection&) = delete;
  ~FaultInjection();

  static FaultInjection* Active();

  // Counts one call of the component; the fault it meets (kNone unless it is the chosen one and
  // the fault applies to it).
  Fault Next(const std::string& call, Returns returns);

  const std::vector<HostCall>& Calls() const { return calls_; }
  // The chosen call was reached and the fault applied.
  bool Applied() const { return applied_; }

 private:
  std::size_t injectAt_;
  Fault fault_;
  bool applied_ = false;
  std::vector<HostCall> calls_;
  FaultInjection* previous_;
};

// For the fakes: the fault of this call under the active injection (kNone without one).
Fault NextFault(const std::string& call, Returns returns);

// The HRESULT of a failing fault (posting "injected failure" as error information for
// kException); S_OK for the others.
HRESULT FailureOf(Fault fault, CallLog& log);

// The text a string-returning method hands out under `fault`, made from its own value.
// `isNull` comes back true for kNullOut.
std::wstring MisbehavingText(const std::wstring& text, Fault fault, bool& isNull);

}  // namespace kelvarn::test
