#include "manifest.h"

namespace javelin::brand {
namespace {

// The text between the opening tag of `element` and its closing tag, as an
// offset and a length; false when the element is missing or empty.
bool FindContent(const std::string& text, const std::string& element, size_t* start,
                 size_t* length) {
  for (size_t at = text.find("<" + element); at != std::string::npos;
       at = text.find("<" + element, at + 1)) {
    const char next = at + element.size() + 1 < text.size() ? text[at + element.size() + 1] : '\0';
    if (next != ' ' && next != '>' && next != '\t' && next != '\r' && next != '\n') continue;
    const size_t open = text.find('>', at);
    const size_t close = text.find("</" + element, at);
    if (open == std::string::npos || close == std::string::npos || close < open ||
        text[open - 1] == '/')
      return false;
    *start = open + 1;
    *length = close - open - 1;
    return true;
  }
  return false;
}

}  // namespace

bool SetExecutionLevel(std::string* manifest, const std::string& level, std::string* error) {
  const size_t tag = manifest->find("<requestedExecutionLevel");
  const size_t end = tag == std::string::npos ? tag : manifest->find('>', tag);
  const size_t attribute = tag == std::string::npos ? tag : manifest->find(" level=\"", tag);
  if (attribute == std::string::npos || attribute > end) {
    *error = "the manifest has no requestedExecutionLevel to change";
    return false;
  }
  const size_t value = attribute + 8;
  const size_t quote = manifest->find('"', value);
  manifest->replace(value, quote - value, level);
  return true;
}

bool SetDpiAwareness(std::string* manifest, const std::string& awareness, std::string* error) {
  const bool unaware = awareness == "unaware", system = awareness == "system";
  const std::string aware = unaware ? "false" : system ? "true" : "true/pm";
  const std::string modes = unaware ? "unaware" : system ? "system" : "PerMonitorV2, PerMonitor";
  size_t start = 0, length = 0;
  bool found = false;
  if (FindContent(*manifest, "dpiAwareness", &start, &length)) {
    manifest->replace(start, length, modes);
    found = true;
  }
  if (FindContent(*manifest, "dpiAware", &start, &length)) {
    manifest->replace(start, length, aware);
    found = true;
  }
  if (!found) *error = "the manifest has no dpiAware setting to change";
  return found;
}

}  // namespace javelin::brand
