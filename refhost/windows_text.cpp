#include "refhost/windows_text.h"

#include <cstdio>

namespace refhost {
namespace {

std::wstring ToWide(UINT codePage, std::string_view text) {
  if (text.empty()) return std::wstring();
  const int length = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}

std::string FromWide(UINT codePage, std::wstring_view wide) {
  if (wide.empty()) return std::string();
  const int length =
      WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), text.data(), length, nullptr, nullptr);
  return text;
}

}  // namespace

std::wstring WideFromUtf8(std::string_view utf8) { return ToWide(CP_UTF8, utf8); }
std::string Utf8FromWide(std::wstring_view wide) { return FromWide(CP_UTF8, wide); }
std::string Utf8FromBstr(BSTR text) { return FromWide(CP_UTF8, std::wstring_view(text, SysStringLen(text))); }
std::string Utf8FromAnsi(std::string_view ansi) { return FromWide(CP_UTF8, ToWide(CP_ACP, ansi)); }
std::string AnsiFromUtf8(std::string_view utf8) { return FromWide(CP_ACP, ToWide(CP_UTF8, utf8)); }

std::string HresultText(HRESULT hr) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lx", static_cast<unsigned long>(hr));
  return text;
}

}  // namespace refhost
