#include "jvm/vm_output_filter.h"

#include <string>

namespace javelin {

namespace {

const char kAnnouncement[] = "AOTConfiguration recorded";

// The JVM serialises its console output itself; this state only spans the
// pieces of one line that it writes in several calls.
bool dropping = false;   // inside the announcement line
std::string heldBlanks;  // blanks that may open the announcement line

bool AllBlanks(const std::string& text) {
  return text.find_first_not_of(" \t") == std::string::npos;
}

void Write(FILE* stream, const std::string& text, size_t from, size_t to) {
  if (!heldBlanks.empty()) {
    fwrite(heldBlanks.data(), 1, heldBlanks.size(), stream);
    heldBlanks.clear();
  }
  if (to > from) fwrite(text.data() + from, 1, to - from, stream);
}

void Filter(FILE* stream, const std::string& text) {
  size_t position = 0;
  while (position < text.size()) {
    if (dropping) {
      const size_t end = text.find('\n', position);
      if (end == std::string::npos) return;
      dropping = false;
      position = end + 1;
      continue;
    }
    const size_t found = text.find(kAnnouncement, position);
    if (found == std::string::npos) {
      const std::string rest = text.substr(position);
      if (AllBlanks(rest) && heldBlanks.size() < 256) {
        heldBlanks += rest;
      } else {
        Write(stream, text, position, text.size());
      }
      return;
    }
    // The announcement's line goes from its start (blanks before it
    // included) to its line end.
    const size_t lineEnd = text.rfind('\n', found);
    const size_t lineStart =
        lineEnd == std::string::npos || lineEnd < position ? position : lineEnd + 1;
    if (lineStart > position) Write(stream, text, position, lineStart);
    heldBlanks.clear();
    dropping = true;
    position = found;
  }
}

}  // namespace

jint JNICALL FilterVmOutput(FILE* stream, const char* format, va_list arguments) {
  va_list copy;
  va_copy(copy, arguments);
  char small[512];
  const int length = vsnprintf(small, sizeof small, format, copy);
  va_end(copy);
  if (length < 0) return length;
  std::string text;
  if (static_cast<size_t>(length) < sizeof small) {
    text.assign(small, static_cast<size_t>(length));
  } else {
    text.resize(static_cast<size_t>(length) + 1);
    vsnprintf(&text[0], text.size(), format, arguments);
    text.resize(static_cast<size_t>(length));
  }
  Filter(stream, text);
  // The JVM's own writes are unbuffered: a thread dump must appear at once
  // and in order with the application's output.
  fflush(stream);
  return length;
}

}  // namespace javelin
