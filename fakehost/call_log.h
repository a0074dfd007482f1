#pragma once
// The recording side of the fake host: every call a fake receives becomes one readable text line,
// so a test compares the whole call sequence at once:
//
//   EXPECT_EQ(log.Take(), (Lines{"IBankStatement::Reset()", "IBankStatement::SetBalance(0)"}));
//
// Calls a fake does not expect go to the unexpected-call handler (the tests make it a test
// failure) and answer E_NOTIMPL.
#include <windows.h>
#include <oaidl.h>

#include <string>
#include <vector>

namespace kelvarn::test {

using Lines = std::vector<std::string>;

class CallLog {
 public:
  void Add(std::string line) { lines_.push_back(std::move(line)); }
  const Lines& View() const { return lines_; }
  // The lines so far; the log is empty afterwards.
  Lines Take() {
    Lines taken;
    taken.swap(lines_);
    return taken;
  }

 private:
  Lines lines_;
};

// Called with the call's text ("IBankPayment::get_Details", say) for every unexpected call.
using UnexpectedCallHandler = void (*)(const std::string& call);
UnexpectedCallHandler SetUnexpectedCallHandler(UnexpectedCallHandler handler);
HRESULT UnexpectedCall(const std::string& call);

// Readable forms of arguments: text in double quotes (null BSTR as null), numbers as written.
std::string Utf8(const wchar_t* text);
std::string Quoted(const wchar_t* text);  // "text", or null
std::string Quoted(const char* text);
std::string Number(double value);
std::string Describe(const VARIANT* value);  // VT_I4 3, VT_BSTR "x", null ...
std::string Hex(HRESULT hr);                 // 0x800AFFFC

}  // namespace kelvarn::test
