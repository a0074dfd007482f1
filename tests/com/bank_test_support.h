#pragma once
// Readable forms of what the bank objects hand out, for whole-value assertions in their tests.
#include <windows.h>
#include <oaidl.h>

#include <string>

namespace kelvarn::test {

// "payment service "Bank Payment Service"", "statement service "..."", "other object" or "null".
std::string DescribeService(IUnknown* service);

// An element an enumerator returned: "VT_DISPATCH payment service "..."", "VT_EMPTY", ...
std::string DescribeElement(const VARIANT& element);

// "<hr in hex> <description of the thread's error information>", taking the information off the
// thread after the call that gave `hr` has run: "0x800AFFFC Invalid argument".
std::string Outcome(HRESULT hr);

}  // namespace kelvarn::test
