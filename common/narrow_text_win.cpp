#include "common/narrow_text_win.h"

#include <cstdarg>
#include <cstdio>
#include <string>

#include "common/hresult.h"

namespace kelvarn {
namespace {

// Bytes `text` takes in the ANSI code page with its terminator; 0 when it has no conversion.
std::size_t AnsiBytes(const wchar_t* text) noexcept {
  const int bytes = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
  return bytes > 0 ? static_cast<std::size_t>(bytes) : 0;
}

// Converts `text` into `buffer`, which has room for its `bytes` (AnsiBytes).
void ConvertToAnsi(char* buffer, std::size_t bytes, const wchar_t* text) noexcept {
  WideCharToMultiByte(CP_ACP, 0, text, -1, buffer, static_cast<int>(bytes), nullptr, nullptr);
}

std::string WideToAnsi(const wchar_t* text) {
  if (!text) ThrowHresult(kInvalidArgument);
  if (*text == L'\0') return std::string();
  const std::size_t bytes = AnsiBytes(text);
  if (bytes == 0) ThrowHresult(kInvalidArgument);  // not convertible at all
  std::string converted(bytes, '\0');
  ConvertToAnsi(converted.data(), bytes, text);
  converted.resize(bytes - 1);  // without the terminator
  return converted;
}

}  // namespace

std::size_t CopyWideAsAnsi(char* buffer, std::size_t capacity, const wchar_t* text) noexcept {
  const std::size_t bytes = AnsiBytes(text);
  if (bytes != 0 && bytes <= capacity) ConvertToAnsi(buffer, bytes, text);
  return bytes;
}

NarrowText& AssignWide(NarrowText& target, const wchar_t* text) { return target.Assign(WideToAnsi(text).c_str()); }

NarrowText& AppendWide(NarrowText& target, const wchar_t* text) { return target.Append(WideToAnsi(text).c_str()); }

BSTR ToNewBstr(const NarrowText& text) {
  const int length = static_cast<int>(text.Length());
  const int characters = length == 0 ? 0 : MultiByteToWideChar(CP_ACP, 0, text.CStr(), length, nullptr, 0);
  BSTR result = SysAllocStringLen(nullptr, static_cast<UINT>(characters));
  if (!result) ThrowHresult(kOutOfMemory);
  if (characters > 0) MultiByteToWideChar(CP_ACP, 0, text.CStr(), length, result, characters);
  result[characters] = L'\0';
  return result;
}

NarrowText& LoadStringResource(NarrowText& target, HINSTANCE module, UINT id) {
  char buffer[kNarrowTextWorkBuffer] = {};
  LoadStringA(module, id, buffer, kNarrowTextWorkBuffer);
  return target.Assign(buffer);
}

NarrowText& FormatText(NarrowText& target, const char* format, ...) {
  if (!format) ThrowHresult(kInvalidArgument);
  char buffer[kNarrowTextWorkBuffer] = {};
  va_list arguments;
  va_start(arguments, format);
  // The runtime's _vsnprintf leaves a cut text unterminated; the last byte stays the terminator.
  _vsnprintf(buffer, kNarrowTextWorkBuffer - 1, format, arguments);
  va_end(arguments);
  buffer[kNarrowTextWorkBuffer - 1] = '\0';
  return target.Assign(buffer);
}

}  // namespace kelvarn
