// The option assembly of a run: class path, VM parameters, output files and
// the "Cmd" arguments.
#pragma once

#include <string>

namespace javelin {

class Launcher;

// Reads the class path, "Embedded Jar", the VM parameters, the output and
// error files and "Cmd" from the configuration file and appends the
// class-path option and the VM parameters to launcher.jvmOptions. False when
// the configuration path cannot be derived or the class path is empty
// (message 209 reported); then nothing after the class path is taken.
bool AssembleJvmOptions(Launcher& launcher);

// The class path of a "Class Path" value: entries separated by ';', each
// with environment references expanded; absolute entries without '*' taken
// as they are, all others searched on disk relative to the launcher's
// directory. Every entry is followed by the platform's list separator.
std::u16string BuildClassPath(const std::u16string& value);
// The same with the launcher directory given (no trailing separator).
std::u16string BuildClassPath(const std::u16string& value, const std::u16string& launcherDirectory);

// Appends every file or folder that `entry` names (wildcards allowed in its
// last component) to `classPath`, each with its directory and followed by
// the list separator. Nothing is appended when nothing matches.
void ResolveClassPathEntry(const std::u16string& entry, std::u16string& classPath);
void ResolveClassPathEntry(const std::u16string& entry, const std::u16string& launcherDirectory,
                           std::u16string& classPath);

}  // namespace javelin
