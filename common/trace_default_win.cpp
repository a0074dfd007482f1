#include <windows.h>

#include "common/trace.h"

namespace kelvarn {

void DefaultTraceWrite(const char* text) { OutputDebugStringA(text); }

}  // namespace kelvarn
