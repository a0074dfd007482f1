#include "fakehost/fault_injection.h"

#include "fakehost/fake_object.h"

namespace kelvarn::test {
namespace {

FaultInjection* g_active = nullptr;

constexpr std::size_t kHugeLength = 1000000;

}  // namespace

// The faults per kind of host method. A VARIANT of an unexpected type applies to none: no host
// method the component calls hands a VARIANT back (SetLineNumber only receives one).
//
// | method returns                     | E_FAIL | E_OUTOFMEMORY | DISP_E_EXCEPTION | null out | empty | 1,000,000 chars
// | embedded NUL | above U+FFFF | unterminated | extension > 3 |
// |------------------------------------|--------|---------------|------------------|----------|-------|-----------------|--------------|--------------|--------------|---------------|
// | HRESULT only (setters, Reset, Count, Amount, ChooseFile, GetCancelled, GetStatementFileRequest, put_ResultCode) | x
// | x | x | | | | | | | | | an interface (creation, query, Item, BankAccount, AddLine) | x | x | x | x | | | | | | | |
// a string (payment and account BSTRs, GetFileName's path) | x | x | x | x | x | x | x | x | | | |
// GetPaymentFileDefaults' buffers    | x      | x             | x                |          | x     | (unterminated)  |
// x            | (ANSI)       | x            | x             |
const std::vector<Fault>& FaultsFor(Returns returns) {
  static const std::vector<Fault> kStatus = {Fault::kFail, Fault::kOutOfMemory, Fault::kException};
  static const std::vector<Fault> kInterface = {Fault::kFail, Fault::kOutOfMemory, Fault::kException, Fault::kNullOut};
  static const std::vector<Fault> kText = {Fault::kFail,  Fault::kOutOfMemory, Fault::kException,   Fault::kNullOut,
                                           Fault::kEmpty, Fault::kHuge,        Fault::kEmbeddedNul, Fault::kAboveBmp};
  static const std::vector<Fault> kDefaults = {Fault::kFail,         Fault::kOutOfMemory, Fault::kException,
                                               Fault::kEmpty,        Fault::kEmbeddedNul, Fault::kUnterminated,
                                               Fault::kLongExtension};
  switch (returns) {
    case Returns::kStatus:
      return kStatus;
    case Returns::kInterface:
      return kInterface;
    case Returns::kText:
      return kText;
    case Returns::kPaymentFileDefaults:
      return kDefaults;
  }
  return kStatus;
}

std::string FaultName(Fault fault) {
  switch (fault) {
    case Fault::kNone:
      return "none";
    case Fault::kFail:
      return "E_FAIL";
    case Fault::kOutOfMemory:
      return "E_OUTOFMEMORY";
    case Fault::kException:
      return "DISP_E_EXCEPTION";
    case Fault::kNullOut:
      return "null out value";
    case Fault::kEmpty:
      return "empty string";
    case Fault::kHuge:
      return "1,000,000 characters";
    case Fault::kEmbeddedNul:
      return "embedded NUL";
    case Fault::kAboveBmp:
      return "above U+FFFF";
    case Fault::kUnterminated:
      return "unterminated buffers";
    case Fault::kLongExtension:
      return "extension of 5 characters";
  }
  return "?";
}

FaultInjection::FaultInjection(std::size_t injectAt, Fault fault)
    : injectAt_(injectAt), fault_(fault), previous_(g_active) {
  g_active = this;
}

FaultInjection::~FaultInjection() { g_active = previous_; }

FaultInjection* FaultInjection::Active() { return g_active; }

Fault FaultInjection::Next(const std::string& call, Returns returns) {
  calls_.push_back({call, returns});
  if (calls_.size() != injectAt_ || fault_ == Fault::kNone) return Fault::kNone;
  for (Fault applicable : FaultsFor(returns)) {
    if (applicable == fault_) {
      applied_ = true;
      return fault_;
    }
  }
  return Fault::kNone;
}

Fault NextFault(const std::string& call, Returns returns) {
  return g_active ? g_active->Next(call, returns) : Fault::kNone;
}

HRESULT FailureOf(Fault fault, CallLog& log) {
  switch (fault) {
    case Fault::kFail:
      return E_FAIL;
    case Fault::kOutOfMemory:
      return E_OUTOFMEMORY;
    case Fault::kException:
      PostFakeErrorInfo(log, L"injected failure");
      return DISP_E_EXCEPTION;
    default:
      return S_OK;
  }
}

std::wstring MisbehavingText(const std::wstring& text, Fault fault, bool& isNull) {
  isNull = false;
  switch (fault) {
    case Fault::kNullOut:
      isNull = true;
      return std::wstring();
    case Fault::kEmpty:
      return std::wstring();
    case Fault::kHuge: {
      // The value itself, then filler to a million characters.
      std::wstring huge = text;
      huge.resize(kHugeLength, L'7');
      return huge;
    }
    case Fault::kEmbeddedNul: {
      std::wstring cut = text;
      cut.insert(std::min<std::size_t>(2, cut.size()), 1, L'\0');
      return cut;
    }
    case Fault::kAboveBmp:
      return text + L"\U0001F600\U00010348";  // two surrogate pairs
    default:
      return text;
  }
}

}  // namespace kelvarn::test
