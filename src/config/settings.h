// The settings schema: reads the configuration file into Launcher fields.
#pragma once

namespace javelin {

class Launcher;

// Reads keys 1 to 18 of the schema; false when the configuration path
// cannot be derived or "Main Class" is empty (message 210).
bool ReadSettings(Launcher& launcher);

}  // namespace javelin
