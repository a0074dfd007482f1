#pragma once
// The statement reader's short trace texts. On Windows they go to OutputDebugStringA by default;
// tests replace the sink to read them back.
#include <functional>

namespace kelvarn {

using TraceSink = std::function<void(const char* text)>;

void TraceWrite(const char* text);
// Installs a sink; an empty function restores the platform default. Returns the previous sink.
TraceSink SetTraceSink(TraceSink sink);
// The platform's own channel: OutputDebugStringA on Windows, nothing elsewhere.
void DefaultTraceWrite(const char* text);

}  // namespace kelvarn
