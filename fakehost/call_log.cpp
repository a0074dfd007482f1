#include "fakehost/call_log.h"

#include <cstdio>

namespace kelvarn::test {
namespace {

void PrintUnexpectedCall(const std::string& call) { std::fprintf(stderr, "unexpected call: %s\n", call.c_str()); }

UnexpectedCallHandler g_handler = &PrintUnexpectedCall;

}  // namespace

UnexpectedCallHandler SetUnexpectedCallHandler(UnexpectedCallHandler handler) {
  UnexpectedCallHandler previous = g_handler;
  g_handler = handler ? handler : &PrintUnexpectedCall;
  return previous;
}

HRESULT UnexpectedCall(const std::string& call) {
  g_handler(call);
  return E_NOTIMPL;
}

std::string Utf8(const wchar_t* text) {
  if (!text) return std::string();
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (bytes <= 1) return std::string();
  std::string converted(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, converted.data(), bytes, nullptr, nullptr);
  converted.resize(static_cast<std::size_t>(bytes) - 1);
  return converted;
}

std::string Quoted(const wchar_t* text) { return text ? "\"" + Utf8(text) + "\"" : "null"; }
std::string Quoted(const char* text) { return text ? "\"" + std::string(text) + "\"" : "null"; }

std::string Number(double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.17g", value);
  return buffer;
}

std::string Describe(const VARIANT* value) {
  if (!value) return "null";
  switch (V_VT(value)) {
    case VT_EMPTY:
      return "VT_EMPTY";
    case VT_I4:
      return "VT_I4 " + std::to_string(V_I4(value));
    case VT_I2:
      return "VT_I2 " + std::to_string(V_I2(value));
    case VT_R8:
      return "VT_R8 " + Number(V_R8(value));
    case VT_BSTR:
      return "VT_BSTR " + Quoted(V_BSTR(value));
    case VT_DISPATCH:
      return V_DISPATCH(value) ? "VT_DISPATCH" : "VT_DISPATCH null";
    default:
      return "VT " + std::to_string(V_VT(value));
  }
}

std::string Hex(HRESULT hr) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "0x%08lX", static_cast<unsigned long>(hr));
  return buffer;
}

}  // namespace kelvarn::test
