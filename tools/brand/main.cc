// javelin-brand: gives a prebuilt launcher a product's icon, version
// information and manifest settings.
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "brand.h"
#include "file_io.h"

namespace javelin::brand {
namespace {

constexpr char kUsage[] =
    "Usage: javelin-brand INPUT.exe [-o OUTPUT.exe] [--icon FILE.ico] [--product-name TEXT]\n"
    "                     [--product-version A.B.C.D] [--file-version A.B.C.D] [--company TEXT]\n"
    "                     [--description TEXT] [--copyright TEXT] [--internal-name TEXT]\n"
    "                     [--original-filename TEXT]\n"
    "                     [--execution-level asInvoker|highestAvailable|requireAdministrator]\n"
    "                     [--dpi-aware unaware|system|permonitorv2]\n"
    "       javelin-brand INPUT.exe --show\n"
    "Each --option VALUE may also be written --option=VALUE.\n"
    "Sets the icon, the version information and the manifest settings of a Javelin\n"
    "launcher (javelin.exe, javelinw.exe; x86 or x64). Without -o INPUT is rewritten in\n"
    "place. Versions with fewer than four numbers are filled with zeros. A signature is\n"
    "removed: sign the launcher after branding it. --show prints the version strings.\n";

int Fail(const std::string& message) {
  std::fprintf(stderr, "javelin-brand: %s\n", message.c_str());
  return 1;
}

int Run(const std::vector<std::string>& arguments) {
  std::string input, output, iconPath;
  bool show = false;
  BrandOptions options;
  const std::map<std::string, std::optional<std::string>*> texts = {
      {"--product-name", &options.productName},
      {"--company", &options.company},
      {"--description", &options.description},
      {"--copyright", &options.copyright},
      {"--internal-name", &options.internalName},
      {"--original-filename", &options.originalFilename}};
  for (size_t i = 0; i < arguments.size(); ++i) {
    // --option=value is the same as --option value (and allows an empty value
    // where a build system drops empty arguments).
    std::string argument = arguments[i];
    std::optional<std::string> inlineValue;
    if (argument.rfind("--", 0) == 0 && argument.find('=') != std::string::npos) {
      inlineValue = argument.substr(argument.find('=') + 1);
      argument.erase(argument.find('='));
    }
    if (inlineValue && (argument == "--help" || argument == "--show"))
      return Fail(argument + " takes no value");
    if (argument == "--help" || argument == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (argument == "--show") {
      show = true;
      continue;
    }
    if (argument.size() > 1 && argument[0] == '-') {
      if (!inlineValue && i + 1 == arguments.size())
        return Fail(argument + " needs a value (see --help)");
      const std::string value = inlineValue ? *inlineValue : arguments[++i];
      if (argument == "-o") {
        output = value;
      } else if (argument == "--icon") {
        iconPath = value;
      } else if (texts.count(argument)) {
        *texts.at(argument) = value;
      } else if (argument == "--product-version" || argument == "--file-version") {
        VersionNumbers numbers;
        if (!ParseVersionNumbers(value, &numbers)) {
          return Fail(argument + " \"" + value +
                      "\": one to four dot-separated numbers up to 65535 expected");
        }
        (argument == "--file-version" ? options.fileVersion : options.productVersion) = numbers;
      } else if (argument == "--execution-level") {
        if (value != "asInvoker" && value != "highestAvailable" &&
            value != "requireAdministrator") {
          return Fail("--execution-level \"" + value +
                      "\": asInvoker, highestAvailable or requireAdministrator expected");
        }
        options.executionLevel = value;
      } else if (argument == "--dpi-aware") {
        if (value != "unaware" && value != "system" && value != "permonitorv2") {
          return Fail("--dpi-aware \"" + value + "\": unaware, system or permonitorv2 expected");
        }
        options.dpiAware = value;
      } else {
        return Fail("unknown option " + argument + " (see --help)");
      }
    } else if (input.empty()) {
      input = argument;
    } else {
      return Fail("more than one input file: " + input + " and " + argument);
    }
  }
  if (input.empty()) return Fail("no input file (see --help)");

  std::string error;
  Bytes program;
  if (!ReadWholeFile(input, &program, &error)) return Fail(error);
  if (show) {
    VersionInfo info;
    if (!ReadBranding(program, &info, &error)) return Fail(input + ": " + error);
    for (const auto& [key, value] : info.strings) {
      std::printf("%s=%s\n", Utf16ToUtf8(key).c_str(), Utf16ToUtf8(value).c_str());
    }
    return 0;
  }
  if (!iconPath.empty()) {
    Bytes icon;
    if (!ReadWholeFile(iconPath, &icon, &error)) return Fail(error);
    options.iconFile = std::move(icon);
  }
  Bytes branded;
  std::vector<std::string> notes;
  if (!BrandProgram(program, options, &branded, &notes, &error)) {
    return Fail((options.iconFile && error.find("icon") != std::string::npos ? iconPath : input) +
                ": " + error);
  }
  if (output.empty()) output = input;
  if (!ReplaceWholeFile(output, branded, input, &error)) return Fail(error);
  for (const std::string& note : notes)
    std::fprintf(stderr, "javelin-brand: note: %s\n", note.c_str());
  return 0;
}

}  // namespace
}  // namespace javelin::brand

int main(int argc, char** argv) {
  return javelin::brand::Run(javelin::brand::CommandLineArguments(argc, argv));
}
