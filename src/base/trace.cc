#include "base/trace.h"

#include <cstdio>

#include "base/file_system.h"
#include "base/text.h"

namespace javelin {

namespace {

struct TraceSink {
  bool enabled = false;
  FILE* file = nullptr;  // standard error or the trace file

  TraceSink() {
    std::u16string value;
    if (!GetEnvironment(u"JAVELIN_TRACE", value) || value.empty()) return;
    if (value == u"1") {
      file = stderr;
    } else {
      file = OpenTraceFile(value);
    }
    enabled = file != nullptr;
  }
};

// Set up while the process starts, before any thread of the launcher or the
// JVM can trace.
const TraceSink sink;

}  // namespace

bool TraceEnabled() { return sink.enabled; }

void Trace(const std::u16string& line) {
  if (!sink.enabled) return;
  // UTF-8 whatever the platform: the trace is read with a text editor or a
  // terminal, and nothing may be lost on the way.
  // Lines come from several threads; each is handed over in one call, which
  // the C runtime's stream lock keeps whole.
  const std::string bytes = "javelin: " + ToUtf8(line) + "\n";
  fwrite(bytes.data(), 1, bytes.size(), sink.file);
  fflush(sink.file);
}

std::u16string Quoted(const std::u16string& text) { return u"\"" + text + u"\""; }

}  // namespace javelin
