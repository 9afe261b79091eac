// The option assembly of a run: class path, VM parameters, output files and
// the "Cmd" arguments.
#pragma once

#include <string>

namespace javelin {

class Launcher;

bool AssembleJvmOptions(Launcher& launcher);
std::u16string BuildClassPath(const std::u16string& value);
void ResolveClassPathEntry(const std::u16string& entry, std::u16string& classPath);

}  // namespace javelin
