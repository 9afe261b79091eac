#include "launcher/process_setup.h"

#include "base/error_reporter.h"
#include "base/module_path.h"
#include "config/command_line.h"
#include "config/ini_paths.h"

namespace javelin {

ProcessContext ReadProcessContext() {
  ProcessContext context;
  context.arguments = ReadCommandLine();
  const Result<std::u16string> modulePath = GetModulePath();
  if (!modulePath) {
    ReportFailure(modulePath.failure());
  } else {
    context.modulePath = *modulePath;
    context.moduleDirectory = ModuleDirectoryOf(context.modulePath);
    IniPathForExecutable(context.modulePath, context.iniPath);
  }
  return context;
}

}  // namespace javelin
