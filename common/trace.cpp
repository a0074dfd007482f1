#include "common/trace.h"

#include <utility>

namespace kelvarn {
namespace {

TraceSink& InstalledSink() {
  static TraceSink sink;
  return sink;
}

}  // namespace

void TraceWrite(const char* text) {
  if (text == nullptr) return;
  const TraceSink& sink = InstalledSink();
  if (sink) {
    sink(text);
  } else {
    DefaultTraceWrite(text);
  }
}

TraceSink SetTraceSink(TraceSink sink) { return std::exchange(InstalledSink(), std::move(sink)); }

}  // namespace kelvarn
