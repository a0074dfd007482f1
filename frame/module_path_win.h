#pragma once
// The module's full file path.
#include <string>

namespace kelvarn {

std::string ModulePathAnsi();   // for the registry entries (ANSI entry points)
std::wstring ModulePathWide();  // for the type library functions

}  // namespace kelvarn
