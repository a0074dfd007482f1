#pragma once
// Text between the reference host's UTF-8 (command line, JSON) and Windows' wide and ANSI texts.
#include <windows.h>

#include <string>
#include <string_view>

namespace refhost {

std::wstring WideFromUtf8(std::string_view utf8);
std::string Utf8FromWide(std::wstring_view wide);
// The whole BSTR, by its length (a null one is empty).
std::string Utf8FromBstr(BSTR text);
// A text of the system ANSI code page (what the component shows and takes) as UTF-8, and back.
std::string Utf8FromAnsi(std::string_view ansi);
std::string AnsiFromUtf8(std::string_view utf8);
// "0x" and eight lower-case hex digits.
std::string HresultText(HRESULT hr);

}  // namespace refhost
