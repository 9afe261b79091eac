// Why a shared library did not load, and the error line that says so.
#pragma once

#include <cstdint>
#include <string>

namespace javelin {

// The failure of one library load: the platform's error code (Windows:
// GetLastError after LoadLibraryExW) and, where the platform explains its
// failures in words instead (POSIX: dlerror's text), that reason.
struct LibraryLoadError {
  uint32_t code = 0;
  std::u16string reason;
};

// Message 222 for the library `path`. Without a reason the code fills the
// number as a signed 32-bit value: "Konnte Java VM Bibliothek: <path>
// (Fehlernummer= <code>) nicht laden.\n". With a reason, the parenthesis
// holds the reason instead of the label and the number, since a code that the
// loader did not set would say nothing: "... <path> (<reason>) nicht laden.\n".
// A reason that starts with the path and ": " (as dlerror's do) loses that
// start, because the line names the path already.
std::u16string FormatLibraryLoadMessage(const std::u16string& path, const LibraryLoadError& error);

}  // namespace javelin
