// What the process knows about itself before any setting is read. Computed
// once at start (a failure to learn the module path is reported there, once)
// and passed down to every stage that needs it.
#pragma once

#include <string>

#include "base/text.h"

namespace javelin {

struct ProcessContext {
  // Full path of the running executable; empty when it could not be read.
  std::u16string modulePath;
  // The module path cut before its last separator (no trailing separator);
  // empty when the module path is unknown or the separator is its first
  // character.
  std::u16string moduleDirectory;
  // The main configuration file beside the executable; empty when no path
  // can be derived from the module path.
  std::u16string iniPath;
  // The application arguments of this start, from the command line.
  TextList arguments;
};

// The folder part of `modulePath` as ProcessContext::moduleDirectory
// defines it.
std::u16string ModuleDirectoryOf(const std::u16string& modulePath);

}  // namespace javelin
