// Version values belong to the configuration layer; this header forwards to
// it for the code that still names the runtime layer's path.
#pragma once

#include "config/version.h"
