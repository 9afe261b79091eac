// Branding a prebuilt launcher: its icon, version information and manifest
// settings, written into a copy of the program with every other resource
// and every other section kept.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "bytes.h"
#include "version_info.h"

namespace javelin::brand {

struct BrandOptions {
  std::optional<Bytes> iconFile;  // the contents of an .ico file
  std::optional<std::string> productName, company, description, copyright, internalName,
      originalFilename;
  std::optional<VersionNumbers> productVersion, fileVersion;
  std::optional<std::string> executionLevel;  // asInvoker, highestAvailable, requireAdministrator
  std::optional<std::string> dpiAware;        // unaware, system, permonitorv2
};

// Returns the branded program in `out`, or false with a one-line reason
// (the input is not one of our launchers, is truncated, the icon is not an
// .ico). `notes` receives remarks for the user (a removed signature).
// Branding a branded program with the same options gives the same bytes.
bool BrandProgram(const Bytes& program, const BrandOptions& options, Bytes* out,
                  std::vector<std::string>* notes, std::string* error);

// The version information of one of our launchers (empty strings when it
// has none).
bool ReadBranding(const Bytes& program, VersionInfo* info, std::string* error);

}  // namespace javelin::brand
