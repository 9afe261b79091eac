// Edits of the application manifest's text: the execution level the program
// asks for and how it handles display scaling.
#pragma once

#include <string>

namespace javelin::brand {

// `level`: asInvoker, highestAvailable or requireAdministrator. Replaces the
// level attribute of requestedExecutionLevel; false when the manifest has
// none.
bool SetExecutionLevel(std::string* manifest, const std::string& level, std::string* error);

// `awareness`: unaware, system or permonitorv2. Rewrites the dpiAware and
// dpiAwareness settings; false when the manifest has neither.
bool SetDpiAwareness(std::string* manifest, const std::string& awareness, std::string* error);

}  // namespace javelin::brand
