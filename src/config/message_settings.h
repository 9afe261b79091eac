// What the configuration says about the texts a user sees: their language,
// single replacements, and how error reports are shown.
#pragma once

#include "config/ini_source.h"

namespace javelin {

struct Settings;

// Reads "Message Language" and the [Messages] section into the message
// table, names error dialogs after "Product Name", and keeps error dialogs
// off in service mode (nobody could close them). Call once the product name
// and the application type are known and before anything else is reported.
void ApplyMessageSettings(const IniConfig& config, const Settings& settings);

}  // namespace javelin
