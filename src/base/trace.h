// The launch trace: when the environment variable JAVELIN_TRACE is set, the
// launcher writes one line per decision (paths, settings, runtime candidates
// and why each was taken or passed over, the JVM options, the exit code).
// "1" sends the lines to standard error; any other value names a file that
// the lines are appended to. Without the variable nothing is written. The
// trace only reports: no decision depends on it.
#pragma once

#include <cstdio>
#include <string>

namespace javelin {

// Whether the trace is on (read from the environment once).
bool TraceEnabled();

// Writes "javelin: " + `line` as one line when the trace is on.
void Trace(const std::u16string& line);

// Opens the trace file at `path` for appending. The trace holds arguments
// and JVM options, so the file is created readable by this user only, is
// never reached through a final symbolic link (or reparse point), is not
// inherited by child processes, and an existing file is used only when it
// is a regular file of this user. Null otherwise: then nothing is traced,
// and nothing is said about it (the launcher's only output is its errors).
FILE* OpenTraceFile(const std::u16string& path);

// `text` in double quotes, for values in trace lines.
std::u16string Quoted(const std::u16string& text);

}  // namespace javelin
