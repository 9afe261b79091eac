#include "launcher/process_setup.h"

#include "base/module_path.h"
#include "config/command_line.h"
#include "config/ini_paths.h"

namespace javelin {

ProcessContext ReadProcessContext() {
  ProcessContext context;
  context.arguments = ReadCommandLine();
  if (GetModulePath(context.modulePath)) {
    context.moduleDirectory = ModuleDirectoryOf(context.modulePath);
    IniPathForExecutable(context.modulePath, context.iniPath);
  }
  return context;
}

}  // namespace javelin
