// The launch trace: when the environment variable JAVELIN_TRACE is set, the
// launcher writes one line per decision (paths, settings, runtime candidates
// and why each was taken or passed over, the JVM options, the exit code).
// "1" sends the lines to standard error; any other value names a file that
// the lines are appended to. Without the variable nothing is written. The
// trace only reports: no decision depends on it.
#pragma once

#include <string>

namespace javelin {

// Whether the trace is on (read from the environment once).
bool TraceEnabled();

// Writes "javelin: " + `line` as one line when the trace is on.
void Trace(const std::u16string& line);

// `text` in double quotes, for values in trace lines.
std::u16string Quoted(const std::u16string& text);

}  // namespace javelin
