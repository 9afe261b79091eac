#include "base/trace.h"

#include <cstdio>
#include <mutex>

#include "base/file_system.h"
#include "base/text.h"

namespace javelin {

namespace {

struct TraceSink {
  bool enabled = false;
  FILE* file = nullptr;  // standard error or the trace file
  std::mutex mutex;      // lines come from several threads

  TraceSink() {
    std::u16string value;
    if (!GetEnvironment(u"JAVELIN_TRACE", value) || value.empty()) return;
    if (value == u"1") {
      file = stderr;
    } else {
      file = OpenAppendFile(value);
    }
    enabled = file != nullptr;
  }
};

TraceSink& Sink() {
  static TraceSink sink;
  return sink;
}

}  // namespace

bool TraceEnabled() { return Sink().enabled; }

void Trace(const std::u16string& line) {
  TraceSink& sink = Sink();
  if (!sink.enabled) return;
  // UTF-8 whatever the platform: the trace is read with a text editor or a
  // terminal, and nothing may be lost on the way.
  const std::string bytes = "javelin: " + ToUtf8(line) + "\n";
  std::lock_guard<std::mutex> lock(sink.mutex);
  fwrite(bytes.data(), 1, bytes.size(), sink.file);
  fflush(sink.file);
}

std::u16string Quoted(const std::u16string& text) { return u"\"" + text + u"\""; }

}  // namespace javelin
