#include "common/trace.h"

namespace kelvarn {

// Without a platform debug channel the trace texts go nowhere unless a sink is installed.
void DefaultTraceWrite(const char*) {}

}  // namespace kelvarn
