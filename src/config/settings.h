// The settings schema: reads the configuration file into Launcher fields.
#pragma once

#include <string>

namespace javelin {

class IniFile;
class Launcher;

// Reads keys 1 to 18 of the schema from the configuration file beside the
// launcher; false when its path cannot be derived or "Main Class" is empty
// (message 210 reported).
bool ReadSettings(Launcher& launcher);

// ReadSettings with the configuration file and the launcher's own path
// given instead of derived.
bool ReadSettingsFrom(Launcher& launcher, const std::u16string& iniPath,
                      const std::u16string& modulePath);

// The two flag families: "Yes" in any letter case, or exactly "yes".
bool IsYesIgnoringCase(const std::u16string& value);
bool IsExactlyLowercaseYes(const std::u16string& value);

// "JRE Path" made absolute against the folder of `modulePath`: an empty
// value stays empty, an absolute one stays as it is, any other value gets
// the folder and a separator in front.
std::u16string MakeJrePathAbsolute(const std::u16string& value, const std::u16string& modulePath);

// Readers of the keys that the single-instance setup and the option
// assembly read with their own reader objects (pass an IniConfig for the
// "+" rule). Values come back as written; expansion is the caller's.
bool ReadServiceMode(IniFile& config);                      // "Application Type" is "service"
bool ReadSingleInstance(IniFile& config);                   // "Single Instance" is "yes"
std::u16string ReadClassPath(IniFile& config);              // "Class Path"
bool ReadEmbeddedJar(IniFile& config);                      // "Embedded Jar" is Yes
std::u16string ReadVirtualMachineParameters(IniFile& config);
std::u16string ReadOutputFile(IniFile& config);             // "Output File"
bool ReadOutputAppend(IniFile& config);                     // "Output Append" is "yes"
std::u16string ReadErrorFile(IniFile& config);              // "Error File"
bool ReadErrorAppend(IniFile& config);                      // "Error Append" is "yes"
std::u16string ReadCmd(IniFile& config);                    // "Cmd"

}  // namespace javelin
