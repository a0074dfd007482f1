#pragma once
// The class object shared by all creations of one class.
#include <windows.h>
#include <objbase.h>

#include "frame/class_table_win.h"

namespace kelvarn {

// A new class object with one reference (the class table's, which does not lock the module).
// Null when it cannot be allocated.
IClassFactory* NewClassFactory(CreateInstanceFunction createInstance) noexcept;

}  // namespace kelvarn
