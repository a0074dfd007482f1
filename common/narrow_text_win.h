#pragma once
// The narrow text's Windows operations: wide text and BSTRs through the ANSI code page, string
// resources and printf-style formatting (both through a 256-byte buffer, so at most 255
// characters). A null text argument throws E_INVALIDARG, a failed allocation E_OUTOFMEMORY.
#include <windows.h>
#include <oleauto.h>

#include <cstddef>

#include "common/narrow_text.h"

namespace kelvarn {

// The buffer that string resources and formatting go through.
inline constexpr int kNarrowTextWorkBuffer = 256;

NarrowText& AssignWide(NarrowText& target, const wchar_t* text);
NarrowText& AppendWide(NarrowText& target, const wchar_t* text);

// Converts the NUL-terminated wide `text` (not null) into `buffer`, terminator included, writing
// nothing unless all of it fits in `capacity` bytes (a fixed buffer: no allocation). Returns the
// bytes the text takes with its terminator, or 0 when it has no conversion at all.
std::size_t CopyWideAsAnsi(char* buffer, std::size_t capacity, const wchar_t* text) noexcept;

// A new BSTR holding the text converted from the ANSI code page; the caller frees it.
BSTR ToNewBstr(const NarrowText& text);

// Replaces `target` with string resource `id` of `module` (empty when there is none); longer
// texts are cut at 255 characters.
NarrowText& LoadStringResource(NarrowText& target, HINSTANCE module, UINT id);

// Replaces `target` with the printf-style formatting of the arguments, cut at 255 characters.
NarrowText& FormatText(NarrowText& target, const char* format, ...);

}  // namespace kelvarn
